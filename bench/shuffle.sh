#!/usr/bin/env bash
# Times shuffle on ten million numbers with a seed against GNU shuf on the
# same range and against seq (the cost of printing the numbers at all), and
# measures the peak memory of each; then says whether shuffle meets its
# targets: at most 0.20 of shuf's time and no more than shuf's memory.
# Output goes to /dev/null.
#
#   bench/shuffle.sh [SHUFFLE] [RUNS]    defaults: build/bin/shuffle and 5
#
# The three commands take turns run by run and each time is the median of
# its runs, so that other work on the machine weighs on all of them alike.
set -euo pipefail

bin=$(realpath "${1:-build/bin/shuffle}")
runs=${2:-5}
n=10000000
[ -x "$bin" ] || { echo "no program at $bin (build first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }
command -v shuf >/dev/null || { echo "needs shuf (GNU coreutils)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=(shuffle shuf seq)
commands=("$bin $n -s10" "shuf -i 1-$n" "seq 1 $n")

# Appends "seconds peak_kB" of one run of command $2 to $work/$1.
run() {
	local start end
	start=$(date +%s%N)
	/usr/bin/time -f %M -o "$work/rss" $2 >/dev/null
	end=$(date +%s%N)
	echo "$(((end - start) / 1000)) $(cat "$work/rss")" >>"$work/$1"
}

for ((r = 0; r < runs; r++)); do
	for i in 0 1 2; do
		run "${names[i]}" "${commands[i]}"
	done
done

# Median time in seconds and largest peak of a command's runs.
median() {
	sort -n "$work/$1" | awk '{ t[NR] = $1; if ($2 > m) m = $2 }
		END { printf "%.3f %d\n", (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2) / 1e6, m }'
}

printf 'n = %d, median of %d runs, output to /dev/null\n' "$n" "$runs"
printf '%-8s %-34s %9s %12s\n' program command seconds peak_RSS_kB
for i in 0 1 2; do
	read -r t m < <(median "${names[i]}")
	printf '%-8s %-34s %9.3f %12d\n' "${names[i]}" "${commands[i]/#$bin/shuffle}" "$t" "$m"
	eval "t_${names[i]}=$t m_${names[i]}=$m"
done
awk -v a="$t_shuffle" -v b="$t_shuf" -v c="$t_seq" -v ma="$m_shuffle" -v mb="$m_shuf" '
function verdict(ok) { return ok ? "met" : "not met" }
BEGIN {
	printf "shuffle / shuf: time %.2fx, peak memory %.2fx\n", a / b, ma / mb
	printf "shuffle / seq:  time %.2fx\n", a / c
	printf "target time <= 0.20x shuf: %s\n", verdict(a / b <= 0.20)
	printf "target peak memory <= 1.00x shuf: %s\n", verdict(ma / mb <= 1.00)
}'
