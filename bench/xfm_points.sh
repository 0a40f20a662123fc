#!/usr/bin/env bash
# Times xfm_points on about 100 MB of point text (four million lines of
# three coordinates in millimetres, as "%.3f %.3f %.3f"), mapped through a
# rotation with a translation, and measures its peak memory on a tenth and
# on all of the points; then says whether it meets its targets: at least
# 100 MB/s on one core, and memory that does not grow with the points.
# Output goes to /dev/null.
#
#   bench/xfm_points.sh [XFM_POINTS] [RUNS]    defaults: build/bin/xfm_points and 5
#
# The time is the median of the runs' processor time.
set -euo pipefail

bin=$(realpath "${1:-build/bin/xfm_points}")
runs=${2:-5}
lines=4000000
[ -x "$bin" ] || { echo "no program at $bin (build first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/a_to_b_t4" <<'T4'
t4
  0.996195 -0.087156  0.000000    2.5000
  0.087156  0.996195  0.000000   -1.2500
  0.000000  0.000000  1.000000    4.0000
  0.000000  0.000000  0.000000    1.0000
T4
awk -v n="$lines" 'BEGIN { srand(1)
	for (i = 0; i < n; i++)
		printf "%.3f %.3f %.3f\n", 180 * rand() - 90, 216 * rand() - 126, 180 * rand() - 72 }' \
	>"$work/points"
head -n $((lines / 10)) "$work/points" >"$work/tenth"
bytes=$(wc -c <"$work/points")

# Prints "microseconds peak_kB" of one run on file $1: the processor time
# it took (user and system), which other work on a shared machine does not
# stretch as it stretches the time on the clock.
run() {
	/usr/bin/time -f '%U %S %M' -o "$work/usage" "$bin" "$work/a_to_b_t4" "$1" >/dev/null
	awk '{ printf "%d %d\n", ($1 + $2) * 1e6, $3 }' "$work/usage"
}

for ((r = 0; r < runs; r++)); do
	run "$work/points" >>"$work/times"
done
read -r small_kb < <(run "$work/tenth" | cut -d' ' -f2)
read -r seconds big_kb < <(sort -n "$work/times" | awk '{ t[NR] = $1; if ($2 > m) m = $2 }
	END { printf "%.3f %d\n", (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2) / 1e6, m }')

awk -v bytes="$bytes" -v s="$seconds" -v runs="$runs" -v small="$small_kb" -v big="$big_kb" '
function verdict(ok) { return ok ? "met" : "not met" }
BEGIN {
	printf "%.1f MB of points, median of %d runs, output to /dev/null\n", bytes / 1e6, runs
	printf "processor time %.3f s, %.1f MB/s\n", s, bytes / 1e6 / s
	printf "peak memory: %d kB on a tenth of the points, %d kB on all\n", small, big
	printf "target >= 100 MB/s: %s\n", verdict(bytes / 1e6 / s >= 100)
	printf "target memory flat in the points (within 1 MB): %s\n", verdict(big - small <= 1024)
}'
