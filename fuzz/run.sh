#!/usr/bin/env bash
# fuzz/run.sh SECONDS: builds the fuzz targets with clang and runs each for
# SECONDS seconds, starting from its seed corpus in fuzz/corpus/<target>/,
# as many at a time as there are CPUs. The targets are those
# fuzz/CMakeLists.txt lists.
# Fails when any target finds something (a crash, a sanitizer report, a
# failed demand, a leak or a timeout), shows what it found and keeps the
# input in <build>/findings/<target>/. The build goes to build-fuzz, or to
# $REGKIT_FUZZ_BUILD; the corpora grow in a scratch directory, so the seeds
# in the repository stay as they are.
#
# Needs clang and its fuzzer runtime (Debian: libclang-rt-N-dev for clang
# N), cmake and make.
set -euo pipefail

usage() {
	echo "usage: $0 SECONDS" >&2
	exit 2
}
[ $# -eq 1 ] || usage
[[ $1 =~ ^[1-9][0-9]*$ ]] || usage
seconds=$1

top=$(cd "$(dirname "$0")/.." && pwd)
build=${REGKIT_FUZZ_BUILD:-$top/build-fuzz}

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DREGKIT_FUZZ=ON -DBUILD_TESTING=OFF \
	-DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzzers -j2
targets=()
for exe in "$build"/fuzz/fuzz_*; do
	targets+=("${exe##*/fuzz_}")
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# run TARGET: runs one target; its report goes to $scratch/TARGET.report,
# and the file $scratch/TARGET.failed says it found something.
run() {
	local t=$1 corpus=$scratch/corpus/$1 artifacts=$scratch/artifacts/$1 extra=() status=0
	mkdir -p "$corpus" "$artifacts"
	[ ! -d "$top/fuzz/corpus/$t" ] || cp "$top"/fuzz/corpus/"$t"/* "$corpus"/
	[ -f "$top/fuzz/dict/$t.dict" ] && extra+=(-dict="$top/fuzz/dict/$t.dict")
	# expandf's buffer of 16384 bytes must be reachable.
	[ "$t" = expandf ] && extra+=(-max_len=17000)

	"$build"/fuzz/fuzz_"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
		-close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$artifacts"/ \
		"${extra[@]}" "$corpus" >"$scratch/$t.log" 2>&1 || status=$?
	local runs found
	runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second(s)$/\1 runs in \2 s/p' \
		"$scratch/$t.log")
	found=$(find "$artifacts" -type f)
	if [ $status -ne 0 ] || [ -n "$found" ] || [ -z "$runs" ]; then
		touch "$scratch/$t.failed"
		{
			echo "fuzz_$t: FAILED (status $status)"
			tail -n 60 "$scratch/$t.log"
			mkdir -p "$build/findings/$t"
			for a in $found; do
				cp "$a" "$build/findings/$t/"
				echo "-- $build/findings/$t/$(basename "$a") (base64): $(base64 -w0 "$a")"
				# Once more with its output, to show what the target said.
				"$build"/fuzz/fuzz_"$t" "$a" 2>&1 | tail -n 40 || true
			done
		} >"$scratch/$t.report"
	else
		echo "fuzz_$t: $runs, corpus $(ls "$corpus" | wc -l) inputs" >"$scratch/$t.report"
	fi
}

# One target on each CPU at a time.
cpus=$(nproc)
echo "== ${#targets[@]} targets for $seconds s each, $cpus at a time"
for t in "${targets[@]}"; do
	while [ "$(jobs -rp | wc -l)" -ge "$cpus" ]; do
		wait -n || true
	done
	run "$t" &
done
wait

echo "== summary"
failed=()
for t in "${targets[@]}"; do
	cat "$scratch/$t.report"
	[ ! -e "$scratch/$t.failed" ] || failed+=("$t")
done
if [ ${#failed[@]} -gt 0 ]; then
	echo "findings in: ${failed[*]}" >&2
	exit 1
fi
