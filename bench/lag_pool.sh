#!/usr/bin/env bash
# Times lag_pool on a synthetic cohort against `wc -w` over the same files,
# and measures its peak memory, for 200 and for 5,000 subjects.
#
#   bench/lag_pool.sh [LAG_POOL]     default: build/bin/lag_pool
#
# The 200 tables (300 regions, lags -20..20, about 25 MB of text) are made
# once; the 5,000-subject list names each of them 25 times, which reads
# 5,000 tables' worth of text without needing 5,000 files on disk. Every
# time is the best of three runs.
set -euo pipefail

bin=$(realpath "${1:-build/bin/lag_pool}")
[ -x "$bin" ] || { echo "no program at $bin (build first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Cross-correlation-like values between -1 and 1, as a tool would write them.
awk -v nsub=200 -v nreg=300 -v mlag=20 'BEGIN {
	srand(42)
	for (s = 1; s <= nsub; s++) {
		f = sprintf("sub%03d_lag.dat", s)
		printf "#lagcorr sub%03d_bold.4dfp.img\n", s > f
		printf "#%9s", "lag" > f
		for (r = 1; r <= nreg; r++)
			printf "%10s", sprintf("ROI%03d", r) > f
		printf "\n" > f
		for (l = -mlag; l <= mlag; l++) {
			printf "%10d", l > f
			for (r = 1; r <= nreg; r++)
				printf "%10.4f", (2 * rand() - 1) * exp(-l * l / 50) > f
			printf "\n" > f
		}
		close(f)
	}
}'
ls sub*_lag.dat > cohort200.lst
for i in $(seq 25); do cat cohort200.lst; done > cohort5000.lst
tablebytes=$(cat sub*_lag.dat | wc -c)

best() {  # best wall time in seconds of three runs of the command
	local t best=
	for _ in 1 2 3; do
		t=$( { TIMEFORMAT=%R; time "$@" >/dev/null 2>&1; } 2>&1 )
		if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then
			best=$t
		fi
	done
	echo "$best"
}

wordcount() { tr '\n' '\0' < "$1" | LC_ALL=C.UTF-8 wc -w --files0-from=- ; }

printf '%-8s %9s %10s %9s %7s %8s %12s\n' subjects MB lag_pool_s wc_w_s ratio MB/s peak_RSS_kB
for list in cohort200.lst cohort5000.lst; do
	nsub=$(wc -l < "$list")
	bytes=$((tablebytes * nsub / 200))
	ours=$(best "$bin" "$list")
	theirs=$(best wordcount "$list")
	/usr/bin/time -f %M -o rss "$bin" "$list" >/dev/null 2>&1
	awk -v n="$nsub" -v b="$bytes" -v t="$ours" -v w="$theirs" -v m="$(cat rss)" 'BEGIN {
		printf "%-8d %9.1f %10.3f %9.3f %7.2f %8.0f %12d\n", n, b / 1e6, t, w, t / w, b / 1e6 / t, m
	}'
done
