#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) and runs each from its
# seed corpus for SECONDS seconds (default 45). A longer run: scripts/fuzz.sh 3600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-45}"
source scripts/packages.sh
ensure_packages "${FUZZ_PACKAGES[@]}" "${NATIVE_PACKAGES[@]}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in launch_log csv_row report scenario; do
    echo "== fuzz_$target for ${seconds}s"
    work="build/fuzz/corpus-$target"
    mkdir -p "$work"
    # New inputs go to the build folder; the committed seeds stay as they are.
    build/fuzz/bin/fuzz_$target -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/crash-$target-" "$work" "fuzz/corpus/$target" 2>&1 | tail -n 4
done
