#!/usr/bin/env bash
# Times quorvel-report against DuckDB doing per-match figures (its npm package,
# bench/duckdb/per-match.mjs) on the same generated performance file, in the same run:
# five runs each, alternating, each under /usr/bin/time -v with its output thrown away.
# Prints, for each program, the median (min-max) wall time and peak resident memory,
# the CPU time over wall time (the cores used), and the ratio of the medians.
# Usage: scripts/compare-with-duckdb.sh [ROWS]   (default 2000000)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages time npm:npm

rows="${1:-2000000}"
runs=5
work=build/compare
file="$work/performance-$rows.csv"
duckdb="$work/duckdb"
results="$work/runs.txt"

nice -n 10 cmake --preset release
nice -n 10 cmake --build --preset release
mkdir -p "$work/time" "$duckdb"
build/release/bin/make-performance-file "$rows" "$file"

# DuckDB exactly as the lock file pins it, integrity hashes checked; reinstalled only
# when the lock changes.
cp bench/duckdb/package.json bench/duckdb/per-match.mjs "$duckdb/"
if ! cmp -s bench/duckdb/package-lock.json "$duckdb/package-lock.json" ||
    [ ! -d "$duckdb/node_modules" ]; then
    cp bench/duckdb/package-lock.json "$duckdb/"
    npm ci --silent --no-audit --no-fund --prefix "$duckdb"
fi

report=(build/release/bin/quorvel-report "$file")
per_match=(node "$duckdb/per-match.mjs" "$file")

# One untimed run of each: fails early, warms the caches, shows what DuckDB read.
"${report[@]}" >/dev/null
"${per_match[@]}"

# "wall_seconds peak_kB cpu_seconds" from a /usr/bin/time -v report.
measures() {
    awk -F': ' '
        /Elapsed \(wall clock\)/ {
            n = split($NF, part, ":")
            for (i = 1; i <= n; i++) wall = wall * 60 + part[i]
        }
        /User time|System time/ { cpu += $NF }
        /Maximum resident set size/ { rss = $NF }
        END { printf "%.2f %d %.2f\n", wall, rss, cpu }' "$1"
}

# Runs the command after the name under /usr/bin/time -v, output to /dev/null, and
# adds "name wall_seconds peak_kB cpu_seconds" to the results.
timed() {
    local name="$1" run="$2"
    shift 2
    local log="$work/time/$name-$run.txt"
    if ! /usr/bin/time -v -o "$log" "$@" >/dev/null; then
        echo "$name failed on run $run:" >&2
        cat "$log" >&2
        exit 1
    fi
    echo "$name $(measures "$log")" >>"$results"
}

: >"$results"
for run in $(seq "$runs"); do
    timed quorvel-report "$run" "${report[@]}"
    timed duckdb "$run" "${per_match[@]}"
done

# "median min max" of column `column` of `name`'s runs.
spread() {
    awk -v name="$1" -v column="$2" '$1 == name { print $column }' "$results" | sort -g |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)], v[1], v[NR] }'
}

# CPU seconds over wall seconds, all of `name`'s runs together: the cores it kept busy.
cores() {
    awk -v name="$1" '$1 == name { cpu += $4; wall += $2 }
        END { printf "%.2f", (wall > 0 ? cpu / wall : 0) }' "$results"
}

echo
megabytes=$(awk -v bytes="$(wc -c <"$file")" 'BEGIN { printf "%.0f", bytes / 1e6 }')
echo "$rows rows ($megabytes MB), $runs runs each, alternating; $(nproc) cores"
line() { printf '%-16s %-26s %-32s %s\n' "$@"; }
line program "wall s: median (min-max)" "peak RSS MiB: median (min-max)" "CPU/wall"
declare -A wall rss
for name in quorvel-report duckdb; do
    read -r wall[$name] wall_min wall_max < <(spread "$name" 2)
    read -r rss[$name] rss_min rss_max < <(spread "$name" 3)
    memory=$(awk -v a="${rss[$name]}" -v b="$rss_min" -v c="$rss_max" \
        'BEGIN { printf "%.0f (%.0f-%.0f)", a / 1024, b / 1024, c / 1024 }')
    line "$name" "${wall[$name]} ($wall_min-$wall_max)" "$memory" "$(cores "$name")"
done
awk -v w1="${wall[quorvel-report]}" -v w2="${wall[duckdb]}" \
    -v r1="${rss[quorvel-report]}" -v r2="${rss[duckdb]}" \
    'BEGIN {
        if (w1 > 0 && r1 > 0)
            printf "duckdb / quorvel-report, medians: wall x%.2f, peak RSS x%.1f\n", w2 / w1, r2 / r1
    }'
