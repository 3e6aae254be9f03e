# Runs the stages of scripts/test.sh: each stage's output goes to its log in
# build/logs/, the console gets one line as it starts and one as it ends, and the first
# stage that fails stops every other one and shows the end of its log. Lines of
# pipelines run side by side (`pipeline`, then `wait_for_pipelines`); the stages of one
# pipeline run in turn. Sourced by scripts/test.sh.

logs=build/logs
started_at=$(date +%s)
pipelines=()

# Seconds as m:ss.
minutes() {
    awk -v s="$1" 'BEGIN { s = int(s + 0.5); printf "%d:%02d", s / 60, s % 60 }'
}

# Runs `stage` (a function or a command, with its arguments) as the stage `name`, its
# output in the stage's log, in a shell of its own where every failing command ends it;
# records its wall and CPU times. Returns the stage's exit status.
run_stage() {
    local name="$1"
    shift
    local log="$logs/$name.log" begun status
    begun=$(date +%s.%N)
    echo "[$(minutes $(($(date +%s) - started_at)))] $name: started"
    set +e
    (
        set -euo pipefail
        "$@"
        # The CPU time of the stage's commands: cutime and cstime of this shell
        # (fields 16 and 17 of /proc/PID/stat, in clock ticks).
        awk -v tick="$(getconf CLK_TCK)" '{ print ($16 + $17) / tick }' "/proc/$BASHPID/stat" \
            >"$logs/$name.cpu"
    ) >"$log" 2>&1 </dev/null
    status=$?
    set -e
    local ended wall cpu
    ended=$(date +%s.%N)
    wall=$(awk -v a="$begun" -v b="$ended" 'BEGIN { print b - a }')
    if [ "$status" -ne 0 ]; then
        echo "[$(minutes $(($(date +%s) - started_at)))] $name: FAILED (exit status $status)" \
            "after $(minutes "$wall"); the end of $log:"
        tail -n 100 "$log" | sed 's/^/    /'
        print_test_failures "$log"
        return "$status"
    fi
    cpu=$(cat "$logs/$name.cpu")
    printf '%s %s %s %s\n' "$name" "$begun" "$wall" "$cpu" >>"$logs/stages.txt"
    echo "[$(minutes $(($(date +%s) - started_at)))] $name: done in $(minutes "$wall")" \
        "(CPU $(minutes "$cpu"))"
}

# The failures GoogleTest reported in a log, last, where a reader of only the end of the
# output still finds them: each with the lines that say why, then the failed tests'
# names on one line. Nothing when there are none.
print_test_failures() {
    awk '
        { sub(/\r$/, "") }
        / Failure$/ { keep = 8 }
        keep > 0 && shown < 60 { print "    " $0; keep--; shown++ }
        /^\[  FAILED  \] [^ ]+ \(/ { failed = failed " " $4 }
        END { if (failed != "") print "the failed tests in this log:" failed }
    ' "$1"
}

# Starts a function that runs stages in turn as a pipeline beside the others.
pipeline() {
    "$@" &
    pipelines+=($!)
}

# Waits for every pipeline; when one fails, stops the others (each is a process group
# of its own: test.sh runs with job control) and returns its status.
wait_for_pipelines() {
    local finished status
    while [ ${#pipelines[@]} -gt 0 ]; do
        status=0
        wait -n -p finished "${pipelines[@]}" || status=$?
        local remaining=()
        for pid in "${pipelines[@]}"; do
            if [ "$pid" != "$finished" ]; then
                remaining+=("$pid")
            fi
        done
        pipelines=("${remaining[@]+"${remaining[@]}"}")
        if [ "$status" -ne 0 ]; then
            stop_pipelines
            return "$status"
        fi
    done
}

stop_pipelines() {
    for pid in "${pipelines[@]+"${pipelines[@]}"}"; do
        kill -TERM -- "-$pid" 2>/dev/null || true
    done
    for pid in "${pipelines[@]+"${pipelines[@]}"}"; do
        wait "$pid" 2>/dev/null || true
    done
    pipelines=()
}

# The stages' wall and CPU times, in the order they started, and the whole run's.
print_stage_times() {
    echo
    printf '%-22s %8s %8s %8s\n' stage start wall CPU
    sort -k2 -n "$logs/stages.txt" | while read -r name begun wall cpu; do
        printf '%-22s %8s %8s %8s\n' "$name" "$(minutes "$(awk -v a="$begun" -v b="$started_at" \
            'BEGIN { print a - b }')")" "$(minutes "$wall")" "$(minutes "$cpu")"
    done
    local total_cpu
    total_cpu=$(awk '{ s += $4 } END { print s }' "$logs/stages.txt")
    printf '%-22s %8s %8s %8s\n' "all" "" "$(minutes $(($(date +%s) - started_at)))" \
        "$(minutes "$total_cpu")"
}
