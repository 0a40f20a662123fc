#!/usr/bin/env bash
# Start-up cost of the transform tools: times many whole runs of each tool
# on a small file against a minimal C program that prints one line, and
# prints the ratio of each to it. The tools are started thousands of times
# from scripts, so this is what they cost.
#
#   bench/startup.sh [BINDIR] [RUNS]    defaults: build/bin and 2000
#
# The runs of a tool alternate one by one with runs of the minimal program
# and the medians are compared, so that other work on the machine weighs
# on both sides alike.
set -eu
src=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-build/bin}" && pwd)
runs=${2:-2000}
cc=${CC:-cc}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

# The baseline is linked as C programs usually are: dynamically.
$cc -O2 -o minimal "$src/minimal.c"
$cc -O2 -o pair "$src/pair.c"

"$bin/xfm_unit" a_to_b_t4 >/dev/null
printf 't4\n 0.98 -0.17 0.02 3.5\n 0.17 0.98 -0.05 -12.25\n -0.01 0.05 1.01 7\n 0 0 0 1\nscale: 1.1\n' >b_to_c_t4

report() {
	local name=$1
	shift
	./pair "$runs" ./minimal -- "$@" | awk -v name="$name" '{
		printf "%-12s %7.3f ms/run   minimal C %7.3f ms/run   ratio %.2f\n",
			name, $2 / 1000, $1 / 1000, $2 / $1
	}'
}

echo "median of $runs runs each"
report xfm_unit "$bin/xfm_unit" out_t4
report xfm_reverse "$bin/xfm_reverse" b_to_c_t4
report xfm_chain "$bin/xfm_chain" a_to_b_t4 b_to_c_t4
report xfm_info "$bin/xfm_info" a_to_b_t4
report xfm_rms "$bin/xfm_rms" a_to_b_t4 b_to_c_t4
