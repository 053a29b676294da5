#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the same time, one after the other:
#   run_fuzzers.sh BUILD_DIR SECONDS
# Each target grows its own corpus under BUILD_DIR/fuzz-corpus/<target> from the seed
# corpus of tests/fuzz/corpus; a finding (crash, leak, hang of more than the timeout,
# memory beyond the limit) is kept under BUILD_DIR/fuzz-findings/<target>/ and fails
# the script once every target has run. The last statistics line of each target
# (runs, coverage, features, runs per second) is printed.
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=$2
source_dir=$(cd "$(dirname "$0")" && pwd)
# An input may hold a ParameterFile with two data files of a few hundred values each.
max_len=16384
timeout_seconds=25
# The same seed every run (FUZZ_SEED to change it), so that a finding of one run comes back in
# the next on the same corpus, and the inputs a short run tries are those a longer one tried.
seed=${FUZZ_SEED:-1}
# At most this many characters of each finding are printed.
max_printed=24000
failed=0
for target in parameter_file data_file whole_run; do
    corpus="$build/fuzz-corpus/$target"
    findings="$build/fuzz-findings/$target"
    log="$build/fuzz-$target.log"
    mkdir -p "$corpus" "$findings"
    "$build/fuzz_$target" -seed="$seed" -max_total_time="$seconds" -max_len="$max_len" \
        -timeout="$timeout_seconds" -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$source_dir/corpus/$target" > "$log" 2>&1
    status=$?
    stats=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    rate=$(grep -E '^stat::average_exec_per_sec' "$log" | awk '{print $2}')
    echo "fuzz $target: ${runs:-?} runs, ${rate:-?} runs/s; last: $stats"
    if [[ $status -ne 0 ]]; then
        echo "fuzz $target: FINDING (status $status), see $log and $findings/"
        grep -E 'ERROR|SUMMARY|fuzz target:|Test unit written' "$log" | head -n 8
        failed=1
    fi
done
# The findings themselves, last, so that a run whose build directory is gone can be replayed.
for finding in "$build"/fuzz-findings/*/*; do
    [[ -f $finding ]] || continue
    echo "finding $finding ($(wc -c < "$finding") bytes), base64:"
    base64 -w 0 "$finding" | head -c "$max_printed"
    echo
done
exit $failed
