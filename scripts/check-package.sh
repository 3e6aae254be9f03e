#!/usr/bin/env bash
# Checks a players' package (the Windows ZIP or the Linux .tar.gz) as a player meets it:
# copied out of the build tree into an empty folder and unpacked there, the Windows
# programs under a fresh Wine prefix. It checks what the package holds, plays the
# simulator's built-in session as a double click does (its own test build of the module
# found by itself) and reports the file it wrote, then a scenario from another folder.
# No path of the checkout is given to the programs, and every library they load is
# traced: each one not of the system must come from the unpacked folder, the stand-in
# host loaded once (the module bound to the program's own).
#   scripts/check-package.sh build/windows/package/quorvel-<version>-windows-x64.zip
set -euo pipefail
cd "$(dirname "$0")/.."
checkout="$(pwd)"
work="$(mktemp -d /tmp/quorvel-package-XXXXXX)"
wine=
cleanUp() {
    if [ -n "$wine" ]; then
        wineserver -k 2>/dev/null || true  # this prefix's server, before its folder goes
    fi
    rm -rf "$work"
}
trap cleanUp EXIT

package="$work/$(basename "$1")"
cp "$1" "$package"
mkdir "$work/unpacked" "$work/elsewhere"
case "$package" in
    *.zip) unzip -q "$package" -d "$work/unpacked"; wine=yes; exe=.exe; module=.dll; library=.dll ;;
    *.tar.gz) tar xzf "$package" -C "$work/unpacked"; exe=; module=.so; library=.so
              unset LD_LIBRARY_PATH ;;
    *) echo "not a package: $1" >&2; exit 2 ;;
esac
rm "$package"
folder="$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d)"
own=simulator-only

echo "== contents of $(basename "$1")"
(cd "$folder" && find . -type f | sort | sed 's|^\./|  |')
# Every example scenario of the checkout, and nothing else.
expected="players-guide.txt quorvel-report$exe quorvel-sim$exe
$(cd tools/quorvel-sim && ls scenarios/*.json)
$own/README.txt $own/QuorvelPlugin$module $own/pluginsdk$library"
expected="$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')"
actual="$(cd "$folder" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')"
if [ "$expected" != "$actual" ]; then
    echo "unexpected contents: $actual" >&2
    echo "expected:            $expected" >&2
    exit 1
fi
# The guide says what each file is (on Linux it names the Windows files).
for name in quorvel-report quorvel-sim scenarios $own QuorvelPlugin pluginsdk; do
    if ! grep -qF "$name" "$folder/players-guide.txt"; then
        echo "players-guide.txt does not say what $name is" >&2
        exit 1
    fi
done
if grep -n "@[A-Z_]*@" "$folder/players-guide.txt" "$folder/$own/README.txt"; then
    echo "a text of the package kept a placeholder" >&2
    exit 1
fi

if [ -n "$wine" ]; then
    # Every line of the texts ends in CR LF, for Notepad.
    for text in players-guide.txt "$own/README.txt"; do
        test "$(grep -c $'\r$' "$folder/$text")" = "$(wc -l < "$folder/$text")"
    done
    export WINEPREFIX="$work/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
    unset WINEPATH
    WINEDEBUG=-all scripts/wine-prefix.sh "$WINEPREFIX"
fi

# Runs a program of the package with the arguments after the trace file's name, the
# libraries it loads written to that file.
run() {
    local trace="$1"
    shift
    if [ -n "$wine" ]; then
        if ! WINEDEBUG=-all,+loaddll wine "$@" 2>"$trace"; then
            grep -v ":trace:" "$trace" >&2
            return 1
        fi
    else
        LD_DEBUG=libs LD_DEBUG_OUTPUT="$trace" "$@"
    fi
}

# The files of the libraries a run traced in `trace` loaded from outside the system.
libraries_loaded() {
    if [ -n "$wine" ]; then
        # trace:loaddll:... Loaded L"Z:\\tmp\\...\\pluginsdk.dll" at 0000000... : native
        sed -n 's/.*Loaded L"\(.*\)" at .*: native$/\1/p' "$1" | sed 's/\\\\/\\/g'
    else
        sed -n 's/.*calling init: //p' "$1"* | grep -v -E '^/(usr/)?lib(64)?/' || true
    fi
}

# Each library a run loaded comes from the unpacked folder, never the checkout, and
# the stand-in host is loaded once (with the module, when `module_loaded` is yes).
check_libraries() {
    local trace="$1" module_loaded="$2" place="$folder"
    if [ -n "$wine" ]; then
        place="$(winepath -w "$folder")"
    fi
    local loaded
    loaded="$(libraries_loaded "$trace")"
    echo "$loaded" | sed 's/^/  loaded: /'
    if echo "$loaded" | grep -v -F "$place" | grep .; then
        echo "a library was loaded from outside the unpacked package" >&2
        exit 1
    fi
    if echo "$loaded" | grep -i -F "$checkout"; then
        echo "a library was loaded from the checkout" >&2
        exit 1
    fi
    if [ "$(echo "$loaded" | grep -c -i "$own.pluginsdk$library\$")" != 1 ]; then
        echo "the stand-in host was not loaded once, from $own" >&2
        exit 1
    fi
    if [ "$module_loaded" = yes ] &&
        [ "$(echo "$loaded" | grep -c -i "$own.QuorvelPlugin$module\$")" != 1 ]; then
        echo "the module was not loaded once, from $own" >&2
        exit 1
    fi
}

echo "== the programs, run from the unpacked folder"
cd "$folder"
run "$work/trace-version" ./quorvel-report$exe --version
run "$work/trace-version" ./quorvel-sim$exe --version

# A double click: no arguments, the program's folder as the current one, a console of
# its own (nothing in it waits for a key with no terminal to read one from).
QUORVEL_OWN_CONSOLE=1 run "$work/trace-click" ./quorvel-sim$exe </dev/null >"$work/click.txt"
cat "$work/click.txt"
grep -q "^quorvel-sim plays a game session" "$work/click.txt"
grep -q "This run wrote 270 rows, in 1 file." "$work/click.txt"
check_libraries "$work/trace-click" yes
written="quorvel-sim-data/Steam%7C76561190000000000%7C0-performance.csv"
test -s "$written"
# The file it wrote, dropped on the report.
QUORVEL_OWN_CONSOLE=1 QUORVEL_NO_BROWSER=1 run "$work/trace-drop" ./quorvel-report$exe "$written" \
    </dev/null | tee "$work/drop.txt"
grep -q "^Overall: not enough to tell: 2 matches with a verdict" "$work/drop.txt"
test -s "${written%.csv}.html"

# From another folder: a scenario, and its report (a relative path: Wine would take an
# absolute Linux one for a Windows switch).
cd "$work/elsewhere"
run "$work/trace-scenario" "$folder/quorvel-sim$exe" "../unpacked/$(basename "$folder")/scenarios/loss-bursts.json" \
    --data out | grep "This run wrote"
check_libraries "$work/trace-scenario" yes
run "$work/trace-report" "$folder/quorvel-report$exe" out --html page.html |
    grep "connection: 3 loss bursts"
test -s page.html
echo "package: $(basename "$1") plays and reports from its own folder"
