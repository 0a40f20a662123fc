#!/usr/bin/env bash
# Times lag_pool on a synthetic cohort against `wc -w` over the same files,
# measures its peak memory for 200 and for 5,000 subjects, and how its speed
# scales with the number of threads that read the tables.
#
#   bench/lag_pool.sh [LAG_POOL]     default: build/bin/lag_pool
#
# The 200 tables (300 regions, lags -20..20, about 25 MB of text) are made
# once; the 5,000-subject list names each of them 25 times, which reads
# 5,000 tables' worth of text without needing 5,000 files on disk. Every
# time is the best of five runs, lag_pool and wc taking turns.
#
# Targets: on all CPUs, the 200-subject cohort in at most 0.5 times the time
# of wc -w; peak memory for 5,000 subjects at most 1.10 times that for 200.
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
		printf "#cross-correlation of sub%03d\n", s > f
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
cpus=$(REGKIT_THREADS= nproc)

seconds() {  # wall time of one run of the command, in seconds
	local t
	t=$( { TIMEFORMAT=%R; time "$@" >/dev/null 2>&1; } 2>&1 )
	echo "$t"
}
least() { sort -g | head -n 1; }

wordcount() { tr '\n' '\0' < "$1" | LC_ALL=C.UTF-8 wc -w --files0-from=- ; }

# best_pair LIST THREADS: best times of lag_pool and of wc -w, alternated.
best_pair() {
	local ours=() theirs=()
	for _ in 1 2 3 4 5; do
		ours+=("$(seconds env REGKIT_THREADS="$2" "$bin" "$1")")
		theirs+=("$(seconds wordcount "$1")")
	done
	echo "$(printf '%s\n' "${ours[@]}" | least) $(printf '%s\n' "${theirs[@]}" | least)"
}

echo "lag_pool against wc -w, $cpus CPUs"
printf '%-8s %7s %9s %10s %9s %7s %8s %12s\n' subjects threads MB lag_pool_s wc_w_s ratio MB/s peak_RSS_kB
declare -A rss ratio
for list in cohort200.lst cohort5000.lst; do
	nsub=$(wc -l < "$list")
	bytes=$((tablebytes * nsub / 200))
	threads_tried=(1 2)
	[ "$cpus" -gt 2 ] && threads_tried+=("$cpus")
	for n in "${threads_tried[@]}"; do
		read -r ours theirs < <(best_pair "$list" "$n")
		/usr/bin/time -f %M -o rss env REGKIT_THREADS="$n" "$bin" "$list" >/dev/null 2>&1
		rss[$nsub.$n]=$(cat rss)
		ratio[$nsub.$n]=$(awk -v t="$ours" -v w="$theirs" 'BEGIN { printf "%.2f", t / w }')
		awk -v s="$nsub" -v n="$n" -v b="$bytes" -v t="$ours" -v w="$theirs" -v m="$(cat rss)" 'BEGIN {
			printf "%-8d %7d %9.1f %10.3f %9.3f %7.2f %8.0f %12d\n", s, n, b / 1e6, t, w, t / w, b / 1e6 / t, m
		}'
	done
done

awk -v r="${ratio[200.$cpus]}" -v n="$cpus" -v a="${rss[5000.$cpus]}" -v b="${rss[200.$cpus]}" 'BEGIN {
	printf "target: 200 subjects on %d threads / wc -w <= 0.50: %.2f, %s\n", n, r, r <= 0.5 ? "met" : "not met"
	printf "target: peak memory 5000 / 200 subjects <= 1.10: %.2f, %s\n", a / b, a / b <= 1.1 ? "met" : "not met"
}'
