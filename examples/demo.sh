#!/usr/bin/env bash
# A study of the example series run the way a front end runs the engine: a fresh
# working directory, a ParameterFile "Tmp" k ".txt" written into it, the engine run
# once per step with the file's path and the LoadType, and the files it leaves shown.
set -euo pipefail

engine=$(realpath "${1:-build/evstat}")
examples=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/evstat demo XXXXXX")
dir="$work/"
cp "$examples/portpirie.txt" "$work/"

# run_engine FILE LOADTYPE: the path is passed as the front end passes it, split at its blanks.
run_engine() {
    local path="$dir$1"
    # shellcheck disable=SC2086
    (cd "$work" && "$engine" $path "$2" > /dev/null)
    if [[ -f "$work/Erreur.txt" ]]; then
        echo "  the engine reported: $(iconv -f WINDOWS-1252 -t UTF-8 "$work/Erreur.txt")"
        rm -f "$work/Erreur.txt"
    fi
}

# show FILE EXPLANATION...: prints a result file with one explanation per line.
show() {
    local file="$1"
    shift
    local i=0
    while IFS= read -r line || [[ -n "$line" ]]; do
        local label="${*:$((i + 1)):1}"
        printf '  %-26s %s\n' "$line" "$label"
        i=$((i + 1))
    done < "$work/$file"
}

echo "Working directory: $work"
echo
echo "== Task 5: description of the Port Pirie annual maximum sea levels (metres)"
cat > "$work/Tmp1.txt" <<PARAMS
$dir
portpirie.txt
5
${dir}Result1.txt
*
*
*
*
0
0
0
PARAMS
run_engine Tmp1.txt 1
show Result1.txt "theoretical mean: none for a data series" "mean of the series" \
    "theoretical variance: none" "variance of the series (divisor n)" "lower quartile" \
    "upper quartile" "median"
echo
echo "Files left in $work:"
ls "$work"
