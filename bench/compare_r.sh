#!/usr/bin/env bash
# The engine beside R on the same input files, each run as a whole process:
#   task 7   Weibull fit of 1,000,000 values      / fitdistrplus::fitdist(x, "weibull")
#   task 11  AD rejection rate, normal, 1,000 files of 200 values / a loop of goftest::ad.test
#   task 17  ET test by resampled differences, normal, 100 files of 200 values, B = 1,000
#            / the same computation as an R loop on one thread
# Each figure is the least of REPEATS runs (3 unless set), in processor seconds (user +
# system: the machine may be shared) with the wall-clock seconds of that run beside it.
# Usage: bench/compare_r.sh path/to/evstat
set -euo pipefail

engine=$(realpath "${1:?usage: $0 path/to/evstat}")
here=$(cd "$(dirname "$0")" && pwd)
repeats=${REPEATS:-3}

if ! command -v Rscript >/dev/null 2>&1 ||
   ! Rscript -e 'library(fitdistrplus); library(goftest)' >/dev/null 2>&1; then
    echo "compare_r: R with fitdistrplus and goftest is not installed; the comparison with R is skipped."
    echo "           (apt-get install r-base-core r-cran-fitdistrplus r-cran-goftest)"
    exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/evstat_compare_r.XXXXXX")
trap 'rm -rf "$work"' EXIT
Rscript "$here/r/make_data.R" "$work"

# ParameterFiles of the engine over the same files.
printf '%s\n' "$work/weibull/" serie.txt 7 "$work/weibull/Result1.txt" Weibull '*' '*' '*' 0 0 0 \
    > "$work/weibull/Tmp1.txt"
printf '%s\n' "$work/ad/" '*' 11 "$work/ad/Result1.txt" Normale 10 0.05 2 5 1 100 0.01 \
    > "$work/ad/Tmp1.txt"
printf '%s\n' "$work/et/" '*' 17 "$work/et/Result1.txt" Normale 20 0.05 2 5 2 1000 0.01 \
    > "$work/et/Tmp1.txt"

# least_run NAME COMMAND...: runs the command `repeats` times, its output to $work/NAME.out;
# sets cpu and wall to the figures of the run with the least processor time (from the
# child's resource usage, to the microsecond).
least_run() {
    local name=$1
    shift
    read -r cpu wall < <(/usr/bin/python3 - "$repeats" "$work/$name.out" "$@" <<'PY'
import os, subprocess, sys, time
repeats, out, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
best = None
for _ in range(repeats):
    with open(out, "w") as sink:
        start = time.monotonic()
        child = subprocess.Popen(command, stdout=sink, stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(child.pid, 0)
        wall = time.monotonic() - start
    cpu = usage.ru_utime + usage.ru_stime
    if best is None or cpu < best[0]:
        best = (cpu, wall)
print("%.3f %.2f" % best)
PY
)
}

printf '\n%-44s %16s %16s %8s %8s\n' "workload (processor s, wall s)" "engine" "R" "R/engine" "goal"
compare() {
    local label=$1 goal=$2 loadType=$3 dir=$4 script=$5
    least_run engine "$engine" "$work/$dir/Tmp1.txt" "$loadType"
    local ecpu=$cpu ewall=$wall
    least_run r Rscript "$here/r/$script" "$work/$dir/${6:-}"
    local ratio
    ratio=$(awk -v r="$cpu" -v e="$ecpu" 'BEGIN { printf "%.1f", (e > 0 ? r / e : 0) }')
    printf '%-44s %7s (%6s) %7s (%6s) %8s %8s\n' "$label" "$ecpu" "$ewall" "$cpu" "$wall" "$ratio" "$goal"
}
compare "task 7, Weibull fit, 1e6 values" ">= 14" 1 weibull weibull_fit.R serie.txt
weibull_r=$(cat "$work/r.out")
compare "task 11, AD rejection rate, 1,000 files" ">= 15" 2 ad ad_rejection_rate.R
ad_r=$(cat "$work/r.out")
compare "task 17, ET resampled, 100 files, B=1000" ">= 10" 2 et et_resampling.R
et_r=$(cat "$work/r.out")

echo
echo "task 7 estimates:  engine (theta = scale^shape, shape): $(head -n 2 "$work/weibull/Result1.txt" | tr -s ' \n' ' ')"
echo "                   R: $weibull_r"
echo "task 11 rates:     engine: $(tr -s ' \n' ' ' < "$work/ad/Result1.txt")"
echo "                   R:      $(echo "$ad_r" | tr -s ' \n' ' ')"
echo "task 17 rates:     engine: $(tr -s ' \n' ' ' < "$work/et/Result1.txt")"
echo "                   R:      $(echo "$et_r" | tr -s ' \n' ' ') (draws of their own: the engine seeds from the clock)"
