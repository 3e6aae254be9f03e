#!/usr/bin/env bash
# Builds and runs every check, in the order that fails fastest:
#   lint      clang-format, clang-tidy and cppcheck on the project's sources
#   dev       native debug build, warnings as errors, every test suite
#   sanitize  the same suites under AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz      each libFuzzer target from its seed corpus for FUZZ_SECONDS (default 45)
#   windows   MinGW-w64 cross build: the same suites plus Windows-only tests, under Wine;
#             then the players' ZIP, unpacked and run under a fresh Wine prefix
#   package   the release build's players' .tar.gz, unpacked and run
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${LINT_PACKAGES[@]}" \
    "${FUZZ_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
ensure_command npm npm

cmake --preset dev >/dev/null
scripts/lint.sh

for preset in dev sanitize; do
    echo "== $preset: build and test"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

scripts/fuzz.sh "${FUZZ_SECONDS:-45}"

echo "== windows: build, and test under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
scripts/wine-prefix.sh build/windows/wineprefix
ctest --preset windows
cmake --build --preset windows --target package >/dev/null
scripts/check-package.sh build/windows/package/quorvel-*-windows-x64.zip

echo "== package: the release build's players' archive"
cmake --preset release >/dev/null
cmake --build --preset release --target package >/dev/null
scripts/check-package.sh build/release/package/quorvel-*-linux-*.tar.gz
