#!/usr/bin/env bash
# The long run of the status-frame reader's libFuzzer binary: 10 million
# inputs (or the count given) from an empty corpus, with the CI's limits on
# one block and a generous one on the whole process. Prints the inputs
# executed, crashes, hangs, out-of-memory and leak reports, the peak resident
# memory and the live heap at the start and the end of the run.
#
#   bench/fuzz/poll_fuzz_long.sh [inputs] [build folder]
set -uo pipefail
runs=${1:-10000000}
build=${2:-$(dirname "$0")/../../build}
fuzzer=$build/fuzz/libfuzzer/poll_fuzzer
[ -x "$fuzzer" ] || { echo "no $fuzzer: build the target kv_fuzzers (needs clang)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
start=$(date +%s)
KV_FUZZ_HEAP_EVERY=1000000 /usr/bin/time -f "maxrss_kb=%M" \
  "$fuzzer" -runs="$runs" -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb=64 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1
status=$?
end=$(date +%s)

stat() { grep -m1 "^stat::$1:" "$work/log" | awk '{print $2}'; }
count() { find "$work" -maxdepth 1 -name "$1-*" | wc -l; }
echo "inputs executed:   $(stat number_of_executed_units) of $runs"
echo "exit status:       $status"
echo "crashes:           $(count crash)"
echo "hangs (>10 s):     $(count timeout)"
echo "out of memory:     $(count oom)"
echo "leaks:             $(count leak)"
echo "peak RSS:          $(stat peak_rss_mb) MB (libFuzzer), $(($(grep -m1 maxrss_kb "$work/log" | cut -d= -f2) / 1024)) MB (time)"
echo "live heap:         $(grep -m1 '^heap:' "$work/log" | cut -d: -f2-)"
echo "                   $(grep '^heap:' "$work/log" | tail -1 | cut -d: -f2-)"
echo "corpus:            $(ls "$work/corpus" | wc -l) inputs"
echo "wall time:         $((end - start)) s, $(stat average_exec_per_sec) inputs/s"
grep -E "^(==[0-9]+==ERROR|SUMMARY)" "$work/log" | head -5
