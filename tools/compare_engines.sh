#!/usr/bin/env bash
# Runs two engine binaries over a corpus of studies and reports every file that differs.
#
#   tools/compare_engines.sh OLD_BINARY NEW_BINARY [CORPUS_DIR]
#
# Each run of the corpus (tools/make_corpus.py describes its folders) is made by each binary
# in a fresh working directory at one and the same path (/tmp/evstat_run XXXXXX, so that the
# files naming the directory agree), with the clock frozen at the run's seed (or at
# 2026-01-01 00:00:00 UTC) by faketime, so that both engines seed their generator alike.
# After each pair of runs every file of the two directories is compared, with the exit
# codes, standard output and standard error; a difference is reported with the file's name,
# both sizes and the first line that differs.
#
# Without CORPUS_DIR the corpus is written afresh into a temporary folder: the studies of
# tools/make_corpus.py, the demo's steps run with OLD_BINARY, the golden cases, and the
# runs of the end-to-end tests when build/tests/e2e_tests (or $EVSTAT_E2E_TESTS) exists.
# Keep a corpus for later with EVSTAT_KEEP_CORPUS=DIR.
#
# EVSTAT_COMPARE_THREADS="1 2 3 8": NEW_BINARY runs once per value with EVSTAT_THREADS set
# to it, each run compared with OLD_BINARY's (unset: NEW_BINARY runs once, as it is).
#
# The old engine, for instance main at 2e20320:
#   git worktree add /tmp/evstat-old 2e20320
#   cmake -S /tmp/evstat-old -B /tmp/evstat-old/build -DCMAKE_BUILD_TYPE=Release -DEVSTAT_TESTS=OFF
#   cmake --build /tmp/evstat-old/build --target evstat
#
# Exit status: 0 when every run of every binary agrees, 1 when anything differs, 2 on misuse.
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 ]]; then
    sed -n '2,4p' "$0" >&2
    exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
for binary in "$old" "$new"; do
    [[ -x "$binary" ]] || { echo "compare_engines: $binary is not an executable" >&2; exit 2; }
done
tools=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$tools")

# faketime freezes the clock: installed when missing.
if ! command -v faketime > /dev/null; then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -qq -y --no-install-recommends faketime > /dev/null
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/evstat_compare.XXXXXX")
work=""
trap 'rm -rf "$scratch"; [[ -z "$work" ]] || rm -rf "$work"' EXIT

if [[ $# -eq 3 ]]; then
    corpus=$(realpath "$3")
else
    corpus=${EVSTAT_KEEP_CORPUS:-$scratch/corpus}
    e2e=${EVSTAT_E2E_TESTS:-$source_dir/build/tests/e2e_tests}
    e2e_option=()
    [[ -x "$e2e" ]] && e2e_option=(--e2e "$e2e")
    /usr/bin/python3 "$tools/make_corpus.py" "$corpus" --engine "$old" "${e2e_option[@]}"
fi

# The runs to make of NEW_BINARY: a label and the EVSTAT_THREADS value ("" leaves it as it is).
labels=(new)
threads=("")
if [[ -n "${EVSTAT_COMPARE_THREADS:-}" ]]; then
    labels=()
    threads=()
    for count in $EVSTAT_COMPARE_THREADS; do
        labels+=("new, EVSTAT_THREADS=$count")
        threads+=("$count")
    done
fi

# The working directory of every run: one path, made anew for each run. It holds one
# blank, as the end-to-end tests' directories do.
work=$(mktemp -d "/tmp/evstat_run XXXXXX")
rmdir "$work"
/usr/bin/python3 "$tools/make_corpus.py" resolve "$corpus" "$work" "$scratch/runs"

# The library faketime preloads, used directly (one process less a run).
preload=$(faketime -f '2026-01-01 00:00:00' /usr/bin/printenv LD_PRELOAD)

# run_engine RUN BINARY THREADS OUT: one run in $work, its directory then moved to OUT/dir
# with OUT/status, OUT/stdout and OUT/stderr.
run_engine() {
    local run=$1 binary=$2 count=$3 out=$4 clock words
    clock=$(< "$run/clock")
    mapfile -t words < "$run/args"
    cp -r "$run/dir" "$work"
    mkdir "$out"
    local status=0
    (
        cd "$work"
        [[ -z "$count" ]] || export EVSTAT_THREADS=$count
        TZ=UTC FAKETIME="$clock" LD_PRELOAD="$preload" exec "$binary" "${words[@]}" \
            > "$out/stdout" 2> "$out/stderr" < /dev/null
    ) || status=$?
    echo "$status" > "$out/status"
    mv "$work" "$out/dir"
}

# first_difference A B: the first line at which two files part, as "line N: 'a' / 'b'".
first_difference() {
    local line
    line=$(cmp "$1" "$2" 2>/dev/null | sed -n 's/.* line \([0-9]*\)$/\1/p')
    if [[ -z "$line" ]]; then  # one file is the start of the other
        local a b
        a=$(wc -l < "$1")
        b=$(wc -l < "$2")
        line=$(( (a < b ? a : b) + 1 ))
    fi
    printf "line %s: '%s' / '%s'" "$line" "$(sed -n "${line}p" "$1" | head -c 200)" \
        "$(sed -n "${line}p" "$2" | head -c 200)"
}

# report NAME LABEL A B: what differs between the two runs in A and B, a line each.
report() {
    local name=$1 label=$2 a=$3 b=$4 path
    while IFS= read -r path; do
        local x="$a/$path" y="$b/$path" what=${path#dir/}
        case $path in
            dir) continue ;;
            status) what="the exit code" ;;
            stdout) what="the standard output" ;;
            stderr) what="the standard error" ;;
        esac
        if [[ ! -e "$x" ]]; then
            echo "$name [$label]: $what written by the new engine only ($(stat -c %s "$y") bytes)"
        elif [[ ! -e "$y" ]]; then
            echo "$name [$label]: $what written by the old engine only ($(stat -c %s "$x") bytes)"
        elif [[ -d "$x" || -d "$y" ]]; then
            [[ -d "$x" && -d "$y" ]] || echo "$name [$label]: $what is a directory in one run only"
        elif ! cmp -s "$x" "$y"; then
            echo "$name [$label]: $what differs: $(stat -c %s "$x") bytes old, $(stat -c %s "$y")" \
                "bytes new, $(first_difference "$x" "$y")"
        fi
    done < <( (cd "$a" && find . -mindepth 1 | cut -c3-; cd "$b" && find . -mindepth 1 | cut -c3-) |
              LC_ALL=C sort -u)
}

shopt -s globstar dotglob nullglob
runs=0
files_compared=0
differing=0
for run in "$scratch"/runs/*/; do
    run=${run%/}
    name=$(< "$run/name")
    runs=$((runs + 1))
    run_engine "$run" "$old" "" "$scratch/old"
    written=("$scratch"/old/dir/**)  # the folder itself, then its files and folders
    for i in "${!labels[@]}"; do
        run_engine "$run" "$new" "${threads[$i]}" "$scratch/new"
        files_compared=$((files_compared + ${#written[@]} - 1))
        if ! diff -rq "$scratch/old" "$scratch/new" > /dev/null 2>&1; then
            report "$name" "${labels[$i]}" "$scratch/old" "$scratch/new"
            differing=$((differing + 1))
        fi
        rm -rf "$scratch/new"
    done
    rm -rf "$scratch/old" "$run"
done

echo "corpus: $runs runs, $files_compared files compared (${#labels[@]} run(s) of the new engine a run)"
if [[ $differing -gt 0 ]]; then
    echo "differences in $differing comparisons"
    exit 1
fi
echo "no difference"
