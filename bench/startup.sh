#!/usr/bin/env bash
# Start-up cost of the transform tools: times many whole runs of each tool
# on a small file against a minimal C program that prints one line, and
# prints the ratio of each to it. The tools are started thousands of times
# from scripts, so this is what they cost.
#
#   bench/startup.sh [BINDIR] [RUNS]    defaults: build/bin and 2000
set -eu
bin=$(cd "${1:-build/bin}" && pwd)
runs=${2:-2000}
cc=${CC:-cc}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

printf '#include <stdio.h>\nint main(void) { puts("hello"); return 0; }\n' >minimal.c
$cc -O2 -o minimal minimal.c

"$bin/xfm_unit" a_to_b_t4 >/dev/null
printf 't4\n 0.98 -0.17 0.02 3.5\n 0.17 0.98 -0.05 -12.25\n -0.01 0.05 1.01 7\n 0 0 0 1\nscale: 1.1\n' >b_to_c_t4

# Seconds for $1 runs of the command line that follows, output discarded.
timed() {
	local n=$1 start end
	shift
	start=$(date +%s.%N)
	for ((i = 0; i < n; i++)); do
		"$@" >/dev/null
	done
	end=$(date +%s.%N)
	awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

# The runs are made in rounds that alternate between the minimal program
# and the tool, and the fastest round of each counts: other work on the
# machine only ever slows a round down.
rounds=10
report() {
	local name=$1 base=999999 tool=999999 b t
	shift
	for ((r = 0; r < rounds; r++)); do
		b=$(timed $((runs / rounds)) ./minimal)
		t=$(timed $((runs / rounds)) "$@")
		base=$(awk -v x="$b" -v y="$base" 'BEGIN { print x < y ? x : y }')
		tool=$(awk -v x="$t" -v y="$tool" 'BEGIN { print x < y ? x : y }')
	done
	awk -v name="$name" -v t="$tool" -v b="$base" -v n=$((runs / rounds)) 'BEGIN {
		printf "%-12s %7.3f ms/run   minimal C %7.3f ms/run   ratio %.2f\n",
			name, t * 1000 / n, b * 1000 / n, t / b
	}'
}

echo "$runs runs of each, in $rounds rounds"
report xfm_unit "$bin/xfm_unit" out_t4
report xfm_reverse "$bin/xfm_reverse" b_to_c_t4
report xfm_chain "$bin/xfm_chain" a_to_b_t4 b_to_c_t4
