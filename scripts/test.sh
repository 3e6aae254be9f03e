#!/usr/bin/env bash
# Builds and runs every check; stops at the first failure.
#   packages  every Debian package missing, in one apt-get run
#   format    clang-format on every C++ file (seconds: first, to fail fast)
# then, side by side (build/logs/ holds each stage's output):
#   sanitize  GCC debug build under AddressSanitizer and UndefinedBehaviorSanitizer,
#             warnings as errors, benchmarks included; every test suite, each test a
#             CTest test, run in parallel
#   tidy      clang-tidy on every file on its own (the builds compile several files of a
#             target as one: a unity build); then cppcheck
#   windows   MinGW-w64 cross build; the same suites plus Windows-only tests under Wine,
#             in ANSI code pages 1252 and 932, the console's tests under script(1); then
#             the players' ZIP, unpacked and run under a fresh Wine prefix
#   fuzz      each libFuzzer target from its seed corpus, for FUZZ_SECONDS (default 15)
#   release   the programs and the module as they ship, the players' .tar.gz, unpacked
#             and run
# At the end a table of the stages' wall and CPU times.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/stages.sh

ensure_packages "${NATIVE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${LINT_PACKAGES[@]}" \
    "${FUZZ_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${CACHE_PACKAGES[@]}"

# Every compiler runs through ccache, whose cache (~/.cache/ccache) outlives the
# checkout, as clang-tidy's results do (scripts/tidy.py): a clean checkout of code built
# before compiles and checks only what changed. QUORVEL_NO_CACHE=1 uses neither, as on a
# first run.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$(pwd)"
if [ -n "${QUORVEL_NO_CACHE:-}" ]; then
    export CCACHE_DISABLE=1
fi

rm -rf "$logs"
mkdir -p "$logs"
jobs="$(nproc)"
# Background pipelines are process groups of their own, so a failure stops each whole.
set -m
wine_prefix="$(pwd)/build/windows/wineprefix"
cleanUp() {
    stop_pipelines
    if [ -d "$wine_prefix" ]; then
        WINEPREFIX="$wine_prefix" wineserver -k 2>/dev/null || true
    fi
}
trap cleanUp EXIT

# --- the stages -----------------------------------------------------------------------

sanitize_configure() { cmake --preset sanitize; }
sanitize_build() { cmake --build --preset sanitize; }
sanitize_tests() { ctest --preset sanitize -j "$jobs"; }

windows_build() {
    cmake --preset windows
    cmake --build --preset windows
}
windows_tests() {
    scripts/wine-prefix.sh "$wine_prefix"
    # One Wine server for all the tests, not one started for each. Its services start
    # with the first program run in the prefix and inherit that program's output: they
    # start here, with no output a test's pipe would wait on until they end.
    WINEPREFIX="$wine_prefix" wineserver -p
    WINEPREFIX="$wine_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        wine cmd /c exit 0 </dev/null >/dev/null 2>&1
    # A suite that fails is run once more, alone: under a heavily loaded machine Wine has
    # failed a run that passes every time it is repeated. What failed the first time is
    # said at the end of the whole run, not only in this stage's log; a suite that fails
    # again fails the stage.
    if ! ctest --preset windows -j "$jobs"; then
        echo "--- the failed suites once more ---"
        ctest --preset windows --rerun-failed
        {
            echo "windows-tests passed only when its failed suites ran once more; the first" \
                "run's failures (all of it in $logs/windows-tests.log):"
            print_test_failures "$logs/windows-tests.log"
        } >>"$logs/warnings.txt"
    fi
    WINEPREFIX="$wine_prefix" wineserver -k || true
}
windows_package() {
    cmake --build --preset windows --target package
    scripts/check-package.sh build/windows/package/quorvel-*-windows-x64.zip
}

# Only what the package ships: the benchmarks are built (and warned about) by sanitize.
release_package() {
    cmake --preset release
    cmake --build --preset release --target quorvel-report quorvel-sim QuorvelPlugin pluginsdk
    (cd build/release && cpack)
    scripts/check-package.sh build/release/package/quorvel-*-linux-*.tar.gz
}

# --- the pipelines ----------------------------------------------------------------------

native_pipeline() {
    run_stage sanitize-build sanitize_build
    run_stage sanitize-tests sanitize_tests
}
windows_pipeline() {
    run_stage windows-build windows_build
    run_stage windows-tests windows_tests
    run_stage windows-package windows_package
}
lint_pipeline() {
    run_stage tidy nice -n 5 scripts/lint.sh tidy
    run_stage cppcheck nice -n 5 scripts/lint.sh cppcheck
}
fuzz_pipeline() { run_stage fuzz scripts/fuzz.sh; }
release_pipeline() { run_stage release-package release_package; }

run_stage format scripts/lint.sh format
run_stage sanitize-configure sanitize_configure
pipeline windows_pipeline
pipeline native_pipeline
pipeline lint_pipeline
pipeline release_pipeline
pipeline fuzz_pipeline
wait_for_pipelines
print_stage_times
if [ -f "$logs/warnings.txt" ]; then
    echo
    cat "$logs/warnings.txt"
fi
echo "test.sh: every check passed"
