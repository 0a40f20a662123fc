#!/usr/bin/env bash
# Reading transforms: times xfm_info on one transform file of 100,000 "t4"
# blocks and scale lines (19 MB; the last block counts), against wc -w on
# the same file, the cost of reading its words at all. Processor time, so
# that a slow disk or a busy machine weighs little.
#
#   bench/t4read.sh [XFM_INFO] [RUNS]    defaults: build/bin/xfm_info and 5
#
# The two commands take turns run by run and each time is the median of its
# runs.
set -euo pipefail

bin=$(realpath "${1:-build/bin/xfm_info}")
runs=${2:-5}
[ -x "$bin" ] || { echo "no program at $bin (build first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk 'BEGIN { srand(1); for (b = 0; b < 100000; b++) { print "t4"
	for (i = 0; i < 4; i++)
		printf "%10.6f%10.6f%10.6f%10.4f\n", rand() * 2 - 1, rand() * 2 - 1, rand() * 2 - 1, rand() * 100 - 50
	printf "scale:    %10.6f\n", rand() } }' >"$work/many_to_b_t4"

# Appends the processor seconds of one run of command $2 to $work/$1.
run() {
	/usr/bin/time -f '%U %S' -o "$work/time" $2 >/dev/null
	awk '{ print $1 + $2 }' "$work/time" >>"$work/$1"
}

for ((r = 0; r < runs; r++)); do
	run xfm_info "$bin $work/many_to_b_t4"
	run wc "wc -w $work/many_to_b_t4"
done

median() {
	sort -n "$work/$1" | awk '{ t[NR] = $1 } END { print NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}

x=$(median xfm_info) w=$(median wc)
printf '100,000 blocks, median of %d runs: xfm_info %.2f s, wc -w %.2f s of processor time, ratio %.2f\n' \
	"$runs" "$x" "$w" "$(awk -v x="$x" -v w="$w" 'BEGIN { print (w > 0 ? x / w : 0) }')"
