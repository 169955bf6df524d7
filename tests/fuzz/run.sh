#!/bin/sh
# Runs every fuzzer of a `fuzz` build for a bounded time or number of executions, under
# AddressSanitizer and UndefinedBehaviorSanitizer, with a memory limit that turns a huge allocation
# into a failure. Each target starts from its seeds and from its own corpus, which keeps the inputs
# that found new code and so grows from run to run; it lives outside the repository.
# Builds nothing: configure and build the `fuzz` preset first.
#
# Usage: tests/fuzz/run.sh [BUILD_DIR]      (default: build/fuzz)
# Environment: FUZZ_SECONDS per target (default 50), or FUZZ_RUNS executions per target instead;
#              FUZZ_TARGETS (default: all five); FUZZ_MEMORY_MB for -malloc_limit_mb (default 256);
#              FUZZ_CORPUS, the folder of the growing corpora (default BUILD_DIR/tests/fuzz/corpus).
# A long campaign: FUZZ_RUNS=1000000 FUZZ_TARGETS="tga bmp pnm load" tests/fuzz/run.sh
# Prints one summary line per target and ends with "N passed, M failed"; exits 1 on any failure.
set -u

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/fuzz}
build=$(cd "$build" 2>/dev/null && pwd) || { echo "no build directory: ${1:-build/fuzz}" >&2; exit 2; }
bin=$build/tests/fuzz
seconds=${FUZZ_SECONDS:-50}
runs_wanted=${FUZZ_RUNS:-}
memory=${FUZZ_MEMORY_MB:-256}
targets=${FUZZ_TARGETS:-"tga bmp pnm load command_line"}
runs=$bin/runs
corpora=${FUZZ_CORPUS:-$bin/corpus}
if [ -n "$runs_wanted" ]; then
    limit="-runs=$runs_wanted"
    extent="$runs_wanted executions"
else
    limit="-max_total_time=$seconds"
    extent="${seconds}s"
fi

[ -d "$bin/seeds" ] || { echo "no seed corpus under $bin: build the fuzz preset first" >&2; exit 2; }

# Sanitizer findings end the run at once and name the line; leaks count as findings too.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

# How many files a folder holds.
count() {
    find "$1" -mindepth 1 -maxdepth 1 -type f | wc -l
}

# The last value of "stat::NAME: value" in a log, or "?".
stat() {
    value=$(sed -n "s/^stat::$1: *//p" "$2" | tail -n 1)
    echo "${value:-?}"
}

passed=0
failed=0
summary=""
for target in $targets; do
    program=$bin/fuzz_$target
    seeds=$bin/seeds/$target
    work=$runs/$target
    corpus=$corpora/$target
    rm -rf "$work"
    mkdir -p "$work/artifacts" "$corpus"
    before=$(count "$corpus")
    log=$work/log.txt
    if [ ! -x "$program" ] || [ ! -d "$seeds" ]; then
        echo "fuzz_$target: not built" >&2
        failed=$((failed + 1))
        summary="$summary
fuzz_$target: FAILED (not built)"
        continue
    fi
    echo "fuzz_$target: $extent from $(count "$seeds") seeds and $before corpus inputs"
    # New inputs go to the growing corpus; the seed folder stays as the build wrote it.
    "$program" "$limit" -timeout=10 -rss_limit_mb=$((memory * 2)) \
        -malloc_limit_mb="$memory" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$corpus" "$seeds" >"$log" 2>&1
    status=$?
    executions=$(stat number_of_executed_units "$log")
    rate=$(stat average_exec_per_sec "$log")
    peak=$(stat peak_rss_mb "$log")
    coverage=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
    units=$(($(count "$corpus") - before))
    line="fuzz_$target: $executions runs, $rate/s, coverage ${coverage:-?}, $units new inputs, peak ${peak} MB"
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        summary="$summary
$line: passed"
    else
        failed=$((failed + 1))
        artifact=$(find "$work/artifacts" -mindepth 1 -maxdepth 1 | head -n 1)
        summary="$summary
$line: FAILED (exit $status${artifact:+, input $artifact})"
        grep -E 'ERROR|SUMMARY|property broken|runtime error' "$log" | head -n 5 >&2
    fi
done

echo "$summary" | sed '/^$/d'
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
