#!/usr/bin/env bash
# Builds and runs every test suite:
#   dev       native debug build, warnings as errors
#   sanitize  the same suite under AddressSanitizer and UndefinedBehaviorSanitizer
#   windows   MinGW-w64 cross build, the same suite plus Windows-only tests, under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
ensure_command npm npm

for preset in dev sanitize; do
    echo "== $preset: configure, build, test"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== windows: configure, build, test under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
scripts/wine-prefix.sh build/windows/wineprefix
ctest --preset windows
