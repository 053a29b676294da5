#!/usr/bin/env bash
# A study of the example series run the way a front end runs the engine: a fresh
# working directory, a ParameterFile "Tmp" k ".txt" written into it, the engine run
# once per step with the file's path and the LoadType, and the files it leaves shown.
set -euo pipefail

engine=$(realpath "${1:-build/evstat}")
examples=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/evstat demo XXXXXX")
dir="$work/"
cp "$examples"/*.txt "$work/"
# Whatever happens, the last line says where the files are.
trap 'echo; echo "The working directory is left in place: $work"' EXIT

# parameters FILE LINE...: writes a ParameterFile, one field a line.
parameters() {
    local file="$1"
    shift
    printf '%s\n' "$@" > "$work/$file"
}

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
        printf '  %-50s %s\n' "$line" "$label"
        i=$((i + 1))
    done < "$work/$file"
}

# show_curve FILE: the first and last points of a curve file and its size.
show_curve() {
    local lines
    lines=$(wc -l < "$work/$1")
    head -n 3 "$work/$1" | sed 's/^/  /'
    echo "  ... ($lines points in all)"
    tail -n 1 "$work/$1" | sed 's/^/  /'
}

echo "Working directory: $work"
echo
echo "== Task 5: description of the Port Pirie annual maximum sea levels (metres)"
parameters Tmp1.txt "$dir" portpirie.txt 5 "${dir}Result1.txt" '*' '*' '*' '*' 0 0 0
run_engine Tmp1.txt 1
show Result1.txt "theoretical mean: none for a data series" "mean of the series" \
    "theoretical variance: none" "variance of the series (divisor n)" "lower quartile" \
    "upper quartile" "median"

echo
echo "== Tasks 2 and 3: a normal law fitted by hand (mean 3.98 m, deviation 0.24 m),"
echo "   density and distribution function from 3.4 to 4.8 m in 14 steps"
parameters Tmp2.txt "$dir" '*' 2 "${dir}Result2.txt" Normale 3.98 0.24 '*' 3.4 4.8 14
run_engine Tmp2.txt 1
echo "  density (sea level <TAB> density):"
show_curve Result2.txt
parameters Tmp3.txt "$dir" '*' 3 "${dir}Result3.txt" Normale 3.98 0.24 '*' 3.4 4.8 14
run_engine Tmp3.txt 1
echo "  distribution function (sea level <TAB> probability of a lower annual maximum):"
show_curve Result3.txt

echo
echo "== Task 1: three samples of 65 annual maxima simulated from that law"
parameters Tmp4.txt "$dir" '*' 1 "${dir}Result4.txt" Normale 3.98 0.24 '*' 65 3 10
run_engine Tmp4.txt 1
show Result4.txt "theoretical mean" "mean of the first sample" "theoretical variance" \
    "variance of the first sample" "lower quartile" "upper quartile" "median"
echo "  numbered data files (each sample sorted): $(cd "$work" && ls Donnees*.txt | tr '\n' ' ')"

echo
echo "== Task 7: a Weibull law fitted to the sea levels, and a generalized Pareto law"
echo "   fitted to their excesses over 3.9 m (the values above 3.9 m, less 3.9 m)"
awk '$1 > 3.9 { printf "%.2f\n", $1 - 3.9 }' "$work/portpirie.txt" > "$work/excesses.txt"
# plot_fit LAW DATA XLABEL DENSITY SURVIVAL: draws a curve pair over its data, when gnuplot is there.
plot_fit() {
    command -v gnuplot > /dev/null || return 0
    (cd "$work" && gnuplot <<PLOT
set terminal pngcairo size 1000,420 noenhanced
set output "$1.png"
set multiplot layout 1,2 title "$1 law fitted to $2"
set xlabel "$3"
set ylabel "density"
set style fill transparent solid 0.35
stats "$2" using 1 nooutput
n = STATS_records
binwidth = (STATS_max - STATS_min) / 10
bin(x) = binwidth * floor(x / binwidth) + binwidth / 2
plot "$2" using (bin(\$1)):(1.0 / (n * binwidth)) smooth frequency with boxes title "data", \\
     "$4" using 1:2 with lines lw 2 title "fitted density"
set ylabel "probability of a higher value"
plot "$2" using 1:(1.0 - \$0 / n) with points pt 7 title "data", \\
     "$5" using 1:2 with lines lw 2 title "fitted survival function"
unset multiplot
PLOT
    ) && echo "  drawn: $work/$1.png"
}
for fit in "Weibull 10 portpirie.txt sea_level_(m)" "GPD 20 excesses.txt excess_over_3.9_m_(m)"; do
    set -- $fit
    law=$1
    k=$2
    parameters "Tmp$k.txt" "$dir" "$3" 7 "${dir}Result$k.txt" "$law" '*' '*' '*' 0 0 0
    run_engine "Tmp$k.txt" 1
    echo "  $law over $3: estimates (the engine's parametrisation) written to Result$k.txt:"
    sed 's/^/    /' "$work/Result$k.txt"
    echo "  curve pairs: Tmp$((k + 1)).txt/Result$((k + 1)).txt (density)," \
        "Tmp$((k + 2)).txt/Result$((k + 2)).txt (survival function)"
    plot_fit "$law" "$3" "${4//_/ }" "Result$((k + 1)).txt" "Result$((k + 2)).txt"
done

echo
echo "== Task 9: four candidate laws for the sea levels, Anderson-Darling test at level 0.05"
laws=(Normale Lognormale Weibull Gamma)
parameters Tmp30.txt "$dir" portpirie.txt 9 "${dir}Result30.txt" "${laws[@]}" 10 0.05 2 10 0 0 0.99
run_engine Tmp30.txt 2
labels=()
for law in "${laws[@]}"; do
    labels+=("$law: first estimate" "$law: second estimate"
        "$law: decision (1 not rejected at the level, 0 rejected)"
        "$law: test statistic, corrected for the law" "$law: critical value")
done
usable=$(($(wc -l < "$work/Result30.txt") - 5 * ${#laws[@]} - 1))
for ((i = 0; i < usable; i++)); do labels+=("position of a usable law in the list"); done
labels+=("number of laws whose estimates could not be made")
show Result30.txt "${labels[@]}"
echo "  density curve pairs of the usable laws: Tmp31.txt/Result31.txt onwards"

echo
echo "== Task 29: the tail of the liability claims (US dollars) over its 100 largest values,"
echo "   by the five tail methods"
methods=(HW EMV Hill HillG Zipf)
parameters Tmp40.txt "$dir" claims_loss.txt 29 "${dir}Result40.txt" "${methods[@]}" 100 0 0.001
run_engine Tmp40.txt 5
labels=()
for m in "${methods[@]}"; do labels+=("$m: shape xi <TAB> scale sigma of the tail"); done
show Result40.txt "${labels[@]}"

echo
echo "== Task 34: the claim exceeded once in 1000 claims (return level at p = 0.001),"
echo "   by each method, for 20 to 300 excesses"
parameters Tmp41.txt "$dir" claims_loss.txt 34 "${dir}Result41.txt" "${methods[@]}" 20 300 0.001
run_engine Tmp41.txt 5
per_method=281
for i in "${!methods[@]}"; do
    first=$((i * per_method + 1))
    at100=$((first + 80))
    printf '  %-6s %s points; at 100 excesses: %s\n' "${methods[$i]}" "$per_method" \
        "$(sed -n "${at100}p" "$work/Result41.txt" | tr '\t' ' ')"
done
if command -v gnuplot > /dev/null; then
    (cd "$work" && gnuplot <<PLOT
set terminal pngcairo size 900,500 noenhanced
set output "return_levels.png"
set title "Claim exceeded once in 1000 claims, by the number of excesses used"
set xlabel "number of excesses"
set ylabel "return level (US dollars)"
set logscale y
set key top left
plot for [i=0:4] "Result41.txt" every ::(i*$per_method)::(i*$per_method+$per_method-1) \\
     using 1:(\$2 > 0 ? \$2 : 1/0) with lines lw 2 title word("${methods[*]}", i+1)
PLOT
    ) && echo "  drawn: $work/return_levels.png"
fi

echo
echo "== Task 19: the 100-year sea level (exceedance probability 0.01) of four laws fitted"
echo "   to the sea levels, against the exponential tail over the 20 highest levels"
laws=(Normale Gamma Weibull Lognormale)
# block_labels NAME...: the five lines of a result block for each law.
block_labels() {
    labels=()
    for law in "$@"; do
        labels+=("$law: verdict (1: the law's quantile lies in the interval)"
            "$law: quantile by the tail over the excesses" "$law: quantile of the fitted law"
            "$law: lower end of the interval" "$law: upper end of the interval")
    done
}
block_labels "${laws[@]}"
for version in 1 3; do
    case $version in
        1) echo "  etVersion 1: asymptotic interval around the tail quantile" ;;
        3) echo "  etVersion 3: percentile interval of the tail quantile over 1000 series drawn from each law" ;;
    esac
    parameters "Tmp5$version.txt" "$dir" portpirie.txt 19 "${dir}Result5$version.txt" "${laws[@]}" \
        20 0.05 10 40 "$version" 1000 0.01
    run_engine "Tmp5$version.txt" 2
    show "Result5$version.txt" "${labels[@]}"
done

echo
echo "== Task 41: the same quantile by the generalized Pareto tail fitted by likelihood (EMV),"
echo "   etVersion 2: the difference between the tail quantile and the law's own, against"
echo "   the differences over 1000 series drawn from each law and refitted"
parameters Tmp60.txt "$dir" portpirie.txt 41 "${dir}Result60.txt" "${laws[@]}" \
    20 0.05 10 40 2 1000 0.01 EMV
run_engine Tmp60.txt 2
show Result60.txt "${labels[@]}"

echo
echo "== Task 44: that verdict for 10 to 40 excesses, each law, the tail fitted by weighted"
echo "   moments (HW), 200 series per test"
parameters Tmp61.txt "$dir" portpirie.txt 44 "${dir}Result61.txt" "${laws[@]}" \
    20 0.05 10 40 2 200 0.01 HW
run_engine Tmp61.txt 2
per_law=31
for i in "${!laws[@]}"; do
    accepted=$(sed -n "$((i * per_law + 1)),$((i * per_law + per_law))p" "$work/Result61.txt" |
        awk '$2 > 0.5 { n++ } END { print n + 0 }')
    printf '  %-11s the tail agrees with the law for %s of the %s numbers of excesses\n' \
        "${laws[$i]}" "$accepted" "$per_law"
done
if command -v gnuplot > /dev/null; then
    (cd "$work" && gnuplot <<PLOT
set terminal pngcairo size 900,720 noenhanced
set output "verdicts.png"
set multiplot layout 4,1 title "Port Pirie, 100-year level: GPD tail (HW) consistent with the law (1) or not (0)"
set yrange [-0.3:1.3]
set ytics ("0" 0, "1" 1)
set xrange [9.5:40.5]
do for [i=0:3] {
    if (i == 3) { set xlabel "number of excesses" }
    set ylabel word("${laws[*]}", i+1)
    plot "Result61.txt" every ::(i*$per_law)::(i*$per_law+$per_law-1) using 1:2 \\
         with linespoints pt 7 lw 2 notitle
}
unset multiplot
PLOT
    ) && echo "  drawn: $work/verdicts.png"
fi

echo
echo "== Task 27: 1500 claims drawn from the predictive law of the claims, exponential law"
echo "   with a Gamma prior (shape 2, rate 50000) on its rate"
parameters Tmp70.txt "$dir" claims_loss.txt 27 "${dir}Result70.txt" Exponentielle 2 50000 '*' \
    1500 1 20 '*' '*' unread unread
run_engine Tmp70.txt 4
show Result70.txt "theoretical mean: none for a predictive law" "mean of the predictive sample" \
    "theoretical variance: none" "variance of the predictive sample" "lower quartile" \
    "upper quartile" "median"
echo "  the sorted predictive sample: Donnees.txt"
if command -v gnuplot > /dev/null; then
    (cd "$work" && gnuplot <<PLOT
set terminal pngcairo size 900,500 noenhanced
set output "predictive.png"
set title "Liability claims: the data and a predictive sample of the exponential law"
set xlabel "claim (US dollars)"
set ylabel "share of the claims"
set style fill transparent solid 0.4
binwidth = 20000
bin(x) = binwidth * floor(x / binwidth) + binwidth / 2
set xrange [0:400000]
plot "claims_loss.txt" using (bin(\$1)):(1.0/1500) smooth frequency with boxes title "data", \\
     "Donnees.txt" using (bin(\$1)):(1.0/1500) smooth frequency with boxes title "predictive sample"
PLOT
    ) && echo "  drawn: $work/predictive.png"
fi

echo
echo "== Task 25: an expert's opinion on the Port Pirie 100-year sea level. The expert says"
echo "   that 4.7 m is exceeded with a probability between 0.02 and 0.005 a year; the prior"
echo "   built on it (confidence \"Moyenne\", risk 0.05) meets the 65 annual maxima. Quantile"
echo "   orders 0.01 (the 100-year level) and 0.001, 10 excesses, tests at 0.05 and 0.1."
# expert_study FILE DATA LAW SIMULATED SIMULATIONLAW P1 P2 P3: writes and runs a task 25
# file whose result is Result<FILE number>; the Weibull shape's support is [1, 20].
expert_study() {
    local number=$1
    parameters "Tmp$number.txt" "$dir" "$2" 25 "${dir}Result$number.txt" "$3" 1 20 "$4" "$5" \
        "$6" "$7" "$8" 1 4.7 0.02 0.005 0.05 Moyenne CVM 0.05 0.1 10 0.01 0.01 0.001 0 0 0
    run_engine "Tmp$number.txt" 3
}
# plot_expert NUMBER LAW DATA DENSITY_FITTED DENSITY_PREDICTIVE SURVIVAL_FITTED SURVIVAL_PREDICTIVE
plot_expert() {
    command -v gnuplot > /dev/null || return 0
    (cd "$work" && gnuplot <<PLOT
set terminal pngcairo size 900,500 noenhanced
width = 0.1
bin(x) = width * floor(x / width) + width / 2
stats "$3" using 1 nooutput
n = STATS_records
set xrange [3.4:5.0]
set output "expert_$1_density.png"
set title "$2: fitted and predictive density over the sea levels"
set xlabel "annual maximum sea level (m)"
set ylabel "density"
set style fill transparent solid 0.3
plot "$3" using (bin(\$1)):(1.0 / (n * width)) smooth freq with boxes title "data", \\
     "$4" using 1:2 with lines lw 2 title "fitted law", \\
     "$5" using 1:2 with lines lw 2 title "predictive law"
set output "expert_$1_survival.png"
set title "$2: probability that a year's maximum exceeds the level"
set ylabel "survival function"
set logscale y
set yrange [1e-4:1]
unset style
plot "$6" using 1:(\$2 > 0 ? \$2 : 1/0) with lines lw 2 title "fitted law", \\
     "$7" using 1:(\$2 > 0 ? \$2 : 1/0) with lines lw 2 title "predictive law"
PLOT
    ) && echo "  drawn: $work/expert_$1_density.png and expert_$1_survival.png"
}
expert_labels=("s1: lower end of the expert's interval for the parameter"
    "s2: upper end" "t1: position of s1 in the shape's support (0 unless WeibullForme)"
    "t2: position of s2" "prior parameter 1" "prior parameter 2"
    "predictive parameter 1" "predictive parameter 2" "predictive parameter 3 (when the law has one)")
expert_tail=("fitted law accepted by the test at 0.05 (1) or rejected (0)"
    "test statistic of the fitted law" "critical value adjusted for n"
    "test statistic of the predictive law" "ET quantile inside the parent's resampled interval (1/0)"
    "ET quantile inside the predictive resampled interval (1/0)"
    "ET estimate of the 100-year level (exceedance 0.01)" "lower end of the predictive interval"
    "upper end" "parent quantile, order 0.01 (100-year level)" "parent quantile, order 0.001"
    "exponential-tail quantile, order 0.01" "exponential-tail quantile, order 0.001"
    "predictive quantile, order 0.01" "predictive quantile, order 0.001")
number=60
for law in Exponentielle Normale WeibullEchelle WeibullForme; do
    echo
    echo "  -- $law (Result$number.txt; curve pairs $((number + 1)) to $((number + 4)))"
    expert_study $number portpirie.txt "$law" 0 '*' '*' '*' '*'
    # The last value has no line end; the predictive list has 2 or 3 values.
    values=$(($(wc -l < "$work/Result$number.txt") + 1))
    labels=("${expert_labels[@]:0:$((values - 15))}")
    show "Result$number.txt" "${labels[@]}" "${expert_tail[@]}"
    plot_expert $number "$law" portpirie.txt "Result$((number + 1)).txt" \
        "Result$((number + 2)).txt" "Result$((number + 3)).txt" "Result$((number + 4)).txt"
    number=$((number + 10))
done

echo
echo "  -- Normale over 65 values simulated from the hand-fitted law (mean 3.98 m, deviation"
echo "     0.24 m), compared with that law (simulated 1; six curve pairs, 101 to 106)"
parameters Tmp99.txt "$dir" '*' 1 "${dir}Result99.txt" Normale 3.98 0.24 '*' 65 1 10
run_engine Tmp99.txt 1
cp "$work/Donnees.txt" "$work/simulated_levels.txt"
expert_study 100 simulated_levels.txt Normale 1 Normale 3.98 0.24 '*'
show Result100.txt "${expert_labels[@]}" "${expert_tail[@]}" \
    "simulation law with its given parameters, order 0.01" "... order 0.001" \
    "simulation law refitted to the series, order 0.01" "... order 0.001"
plot_expert 100 "Normale (simulated series)" simulated_levels.txt Result101.txt Result103.txt \
    Result104.txt Result106.txt

echo
echo "Files left in $work:"
ls "$work"
