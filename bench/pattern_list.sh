#!/usr/bin/env bash
# Times pattern_list on the hardest formats that fit its 16,384-byte
# buffer: thousands of groups, deep nesting, nested repeats whose copies
# are each expanded on their own, the longest expansions and many runs.
#
#   bench/pattern_list.sh [PATTERN_LIST]     default: build/bin/pattern_list
#
# Each figure is the best wall time of one whole run (start-up included)
# out of 20 runs, the output thrown away; /bin/true is timed alongside as
# the floor a process start costs. The expansion itself takes well under a
# millisecond for every one of these formats: what the figures show above
# the floor is mostly handing a 16 KB argument to a new process.
set -euo pipefail

bin=$(realpath "${1:-build/bin/pattern_list}")
[ -x "$bin" ] || { echo "no program at $bin (build first)" >&2; exit 2; }

rep() {  # rep TEXT N: TEXT written N times
	local s
	printf -v s "%$2s" ''
	printf '%s' "${s// /$1}"
}

runs=20
best_ms() {  # the fastest of $runs runs of the command, in milliseconds
	local start end us best=
	for ((i = 0; i < runs; i++)); do
		start=${EPOCHREALTIME/./}
		"$@" >/dev/null 2>&1 || true
		end=${EPOCHREALTIME/./}
		us=$((end - start))
		if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best=$us; fi
	done
	awk -v us="$best" 'BEGIN { printf "%.2f", us / 1e3 }'
}

cases=(
	"8191 empty groups|$(rep '()' 8191)"
	"5461 groups of one symbol|$(rep '(x)' 5461)"
	"4095 counted groups|$(rep '3(x)' 4095)"
	"nesting 8191 deep|$(rep '(' 8191)$(rep ')' 8191)"
	"nesting 8000 deep around a symbol|$(rep '(' 8000)x$(rep ')' 8000)"
	"one group copied 8191 times, each copy a group|8191(x())"
	"2( nested 13 deep: 8192 items|$(rep '2(' 13)x$(rep ')' 13)"
	"2( nested 147 deep: 2^147 copies of nothing|$(rep '2(' 147)$(rep ')' 147)"
	"2( nested 40 deep: outgrows the storage|$(rep '2(' 40)x$(rep ')' 40)"
	"3( nested 7 deep, 4 groups a level|$(rep '3(+' 7)$(rep '(x)' 4)$(rep '-)' 7)"
	"the longest expansion: 16383x|16383x"
	"the longest letter group: C16383|C16383"
	"8191 runs: 16382 items|$(rep '2x' 8191)"
	"5461 runs of one|$(rep '1+-' 5461)"
	"length message after 20001 items|x20000(+)("
)

row() {  # row NAME ARG... FORMAT: one line of the table for a run of pattern_list
	local name=$1 status items format=${!#}
	shift
	status=$("$bin" "$@" >/dev/null 2>&1; echo $?) || true
	items=$("$bin" "$@" 2>/dev/null | wc -l) || true
	printf '%-48s %6d %6d %6d %9s\n' "$name" "${#format}" "$items" "$status" "$(best_ms "$bin" "$@")"
}

printf '%-48s %6s %6s %6s %9s\n' case bytes items status ms/run
for c in "${cases[@]}"; do
	row "${c%%|*}" "${c#*|}"
done
row "16383x listed as weights" -w 16383x
row "16383x listed as weights on one line" -we 16383x
printf '%-48s %6s %6s %6s %9s\n' /bin/true '' '' '' "$(best_ms /bin/true)"
