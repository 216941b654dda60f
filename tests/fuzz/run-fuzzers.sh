#!/bin/sh
# Runs every fuzz harness for FUZZ_SECONDS seconds, one after the other.
#   run-fuzzers.sh BUILD_DIR [HARNESS...]
# New corpus entries go to BUILD_DIR/fuzz/corpus/<harness> (the seeds in
# tests/fuzz/corpus stay as they are), crashes to BUILD_DIR/fuzz/artifacts/
# <harness>/, the log of each run to BUILD_DIR/fuzz/logs/<harness>.log.
# Environment: FUZZ_SECONDS (default 60), FUZZ_NICE (default 0), FUZZ_ARGS.
set -u
build=${1:?usage: run-fuzzers.sh BUILD_DIR [HARNESS...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
seconds=${FUZZ_SECONDS:-60}
niceness=${FUZZ_NICE:-0}
harnesses=${*:-$(sed -n 's/^QVS_HARNESS(\(.*\))$/\1/p' "$here/Harnesses.def")}
failed=""
for h in $harnesses; do
    exe="$build/bin/fuzz_$h"
    if [ ! -x "$exe" ]; then
        echo "fuzz: $exe is not built" >&2
        exit 2
    fi
    mkdir -p "$build/fuzz/corpus/$h" "$build/fuzz/artifacts/$h" "$build/fuzz/logs"
    log="$build/fuzz/logs/$h.log"
    echo "fuzz: $h for $seconds s (log $log)"
    # -timeout: an input that runs this long is a hang (a minute: on a loaded
    # machine a niced run can wait seconds for the processor; every parse and
    # exchange is bounded far below it).
    nice -n "$niceness" "$exe" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz/artifacts/$h/" ${FUZZ_ARGS:-} \
        "$build/fuzz/corpus/$h" "$here/corpus/$h" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    echo "fuzz: $h: ${runs:-?} executions in ${secs:-?} s, ${cov:-cov: ?}, exit $rc"
    if [ "$rc" -ne 0 ]; then
        failed="$failed $h"
        grep -E 'ERROR|fuzz check failed|Test unit written|SUMMARY' "$log" | head -5
    fi
done
if [ -n "$failed" ]; then
    echo "fuzz: crashes in:$failed. Fix them, then copy the crash-* input into" \
         "tests/fuzz/regressions/<harness>/ so that fuzz_replay keeps it fixed." >&2
    exit 1
fi
echo "fuzz: no crash"
