#!/usr/bin/env bash
# How far below a memory limit each program refuses: for each program whose
# memory grows with its input, finds the largest input that it still runs
# to the end inside a memory cgroup of LIMIT, and prints the peak resident
# memory of that run and what is left of the limit (the headroom). The
# next larger input must end in the program's memory message, status 255;
# a run killed instead is reported, and makes the script fail.
#
#   bench/headroom.sh [BINDIR] [LIMIT]    defaults: build/bin and 32M
#
# Needs root and a memory cgroup (tests/e2e/tools/memlimit), or stands in
# the address-space limit. pattern_list and xfm_unit are left out: their
# memory does not grow with their input past a fixed bound.
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-build/bin}" && pwd)
limit=${2:-32M}
memlimit=$src/tests/e2e/tools/memlimit
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
killed=0

# run N [OUT]: runs the case's command for input size N inside the limit,
# its standard output to OUT (default /dev/null), its standard error to err.
run() {
	"$memlimit" "$limit" /usr/bin/time -f %M -o rss bash -c "$(make_command "$1")" \
		>"${2:-/dev/null}" 2>err
}

# search NAME LOW HIGH: the largest N in [LOW, HIGH) that runs, within 0.1%.
search() {
	local name=$1 low=$2 high=$3 mid status
	while [ $((high - low)) -gt $((high / 1000 + 1)) ]; do
		mid=$(((low + high) / 2))
		run $mid
		status=$?
		if [ $status -gt 128 ] && [ $status != 255 ]; then
			echo "$name: killed (status $status) at $mid"
			killed=1
		fi
		if [ $status = 0 ]; then low=$mid; else high=$mid; fi
	done
	run $low || { echo "$name: $low no longer runs"; killed=1; return; }
	local rss=$(tail -n 1 rss) kib=$(($(numfmt --from=iec "$limit") / 1024))
	run $high out
	printf '%-22s %12d %12d %12d   then: %s\n' "$name" "$low" "$rss" $((kib - rss)) \
		"$(cat out err | tail -n 1 | cut -c1-40)"
}

printf 'inside a memory limit of %s; the largest input that runs, and its peak in KiB\n' "$limit"
printf '%-22s %12s %12s %12s\n' case input 'peak RSS' headroom

make_command() { echo "'$bin/shuffle' $1"; }
search "shuffle n" 1000 100000000
make_command() { echo "'$bin/shuffle' $1 -s1"; }
search "shuffle n -s1" 1000 100000000

# A transform whose comment line has N bytes, through a pipe.
mkfifo long_to_b_t4
make_command() {
	echo "(head -c $1 /dev/zero | tr '\\0' '#'; printf '\\nt4\\n1 0 0 0\\n0 1 0 0\\n0 0 1 0\\n0 0 0 1\\n') > long_to_b_t4 & '$bin/xfm_reverse' long_to_b_t4"
}
search "xfm_reverse line bytes" 1000 1000000000

# A transform whose first number has N digits, through a pipe.
mkfifo number_to_b_t4
make_command() {
	echo "(printf 't4\\n1'; head -c $1 /dev/zero | tr '\\0' 0; printf ' 0 0 0\\n0 1 0 0\\n0 0 1 0\\n0 0 0 1\\n') > number_to_b_t4 & '$bin/xfm_reverse' number_to_b_t4"
}
search "xfm_reverse digits" 1000 1000000000

# One table of 50 regions and lags -N..N, on one thread and on two.
echo t.dat >t.lst
make_command() {
	echo "awk -v m=$1 'BEGIN { printf \"#lag\"; for (r = 0; r < 50; r++) printf \" R%d\", r; printf \"\\n\"; for (l = -m; l <= m; l++) { printf \"%d\", l; for (r = 0; r < 50; r++) printf \" 0.5\"; printf \"\\n\" } }' > t.dat; '$bin/lag_pool' t.lst"
}
REGKIT_THREADS=1 search "lag_pool mlag, 1 thr" 1000 1000000
REGKIT_THREADS=2 search "lag_pool mlag, 2 thr" 1000 1000000
exit $killed
