#!/usr/bin/env bash
# Unpacks a players' package (the Windows ZIP or the Linux .tar.gz) into a fresh folder,
# checks what it holds, and runs its programs from there: the Windows ones under a
# fresh Wine prefix with no MinGW DLL anywhere on the path.
#   scripts/check-package.sh build/windows/package/quorvel-<version>-windows-x64.zip
set -euo pipefail
cd "$(dirname "$0")/.."
package="$(realpath "$1")"
work="$(mktemp -d /tmp/quorvel-package-XXXXXX)"
exe=
cleanUp() {
    if [ -n "$exe" ]; then
        wineserver -k 2>/dev/null || true  # this prefix's server, before its folder goes
    fi
    rm -rf "$work"
}
trap cleanUp EXIT

case "$package" in
    *.zip) unzip -q "$package" -d "$work"; exe=.exe; library=pluginsdk.dll; module=QuorvelPlugin.dll
           build=build/windows ;;
    *.tar.gz) tar xzf "$package" -C "$work"; exe=; library=pluginsdk.so; module=QuorvelPlugin.so
              build=build/release ;;
    *) echo "not a package: $package" >&2; exit 2 ;;
esac
folder="$(find "$work" -mindepth 1 -maxdepth 1 -type d)"

echo "== contents of $(basename "$package")"
(cd "$folder" && find . -type f | sort | sed 's|^\./|  |')
expected="players-guide.txt $library quorvel-report$exe quorvel-sim$exe
scenarios/default.json scenarios/four-servers.json scenarios/graphs-missing.json scenarios/loss-bursts.json
scenarios/non-latin-documents.json scenarios/reload-mid-match.json scenarios/unload-mid-match.json"
actual="$(cd "$folder" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')"
if [ "$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')" != "$actual" ]; then
    echo "unexpected contents: $actual" >&2
    exit 1
fi

run() {
    if [ -n "$exe" ]; then
        wine "$@"
    else
        "$@"
    fi
}
if [ -n "$exe" ]; then
    export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
    unset WINEPATH
    scripts/wine-prefix.sh "$WINEPREFIX"
fi

if [ -n "$exe" ]; then
    # Every line of the guide ends in CR LF, for Notepad.
    test "$(grep -c $'\r$' "$folder/players-guide.txt")" = "$(wc -l < "$folder/players-guide.txt")"
fi

echo "== the programs, run from the unpacked folder"
cd "$folder"
run ./quorvel-report$exe --version
run ./quorvel-sim$exe --version
cp "$OLDPWD/tests/golden/loss-bursts.csv" ./p-performance.csv
run ./quorvel-report$exe p-performance.csv --html page.html | grep "connection: 3 loss bursts"
test -s page.html
# The simulator with a test build of the module, which the package leaves out.
run ./quorvel-sim$exe scenarios/default.json --module "$OLDPWD/$build/bin/$module" --data data \
    | grep "270 rows in 2 matches"
echo "package: $(basename "$package") runs from its folder"
