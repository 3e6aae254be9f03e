#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) and runs them side by side,
# each from its seed corpus (every seed is run first) and then for SECONDS seconds
# (default FUZZ_SECONDS, else 15). A longer run: scripts/fuzz.sh 3600
# Any target that finds a crash, a leak, undefined behaviour or a timeout fails the run;
# the input is kept as build/fuzz/crash-<target>-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-${FUZZ_SECONDS:-15}}"
source scripts/packages.sh
ensure_packages "${FUZZ_PACKAGES[@]}" "${NATIVE_PACKAGES[@]}"
targets=(launch_log csv_row report scenario)
cmake --preset fuzz >/dev/null
# The targets and what they link, not every library of the tools.
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

pids=()
for target in "${targets[@]}"; do
    work="build/fuzz/corpus-$target"
    mkdir -p "$work"
    # New inputs go to the build folder; the committed seeds stay as they are.
    build/fuzz/bin/fuzz_$target -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/crash-$target-" "$work" "fuzz/corpus/$target" \
        >"build/fuzz/fuzz_$target.log" 2>&1 &
    pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
    log="build/fuzz/fuzz_${targets[$i]}.log"
    if wait "${pids[$i]}"; then
        echo "== fuzz_${targets[$i]}: ${seconds}s, nothing found"
        tail -n 4 "$log"
    else
        echo "== fuzz_${targets[$i]}: FAILED (exit status $?); its log, $log, ends:"
        tail -n 60 "$log"
        failed=1
    fi
done
exit $failed
