#!/usr/bin/env bash
# Runs the programs on transforms, scales and lag tables full of nan, -nan,
# inf and -inf, and xfm_make and xfm_motion on turns all round the circle,
# and prints everything they write: standard output and error, exit status
# and files.
# Two builds agree when their prints are the same bytes.
#
#   outputs.sh BINDIR [EMULATOR...]
#
# EMULATOR, when given, runs each program (qemu-aarch64-static, say).
set -euo pipefail
bin=$(cd "$1" && pwd)
shift
emu=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

specials=(nan -nan inf -inf)
# An invertible linear part with its translation, by rows.
base=(2 0.5 -1 10  0.25 3 0.5 -20  -1 0.75 4 30)

# t4 NAME SCALE V0..V11: a transform file with these rows and scale.
t4() {
	local name=$1 scale=$2
	shift 2
	{
		echo t4
		printf '%s %s %s %s\n' "$@" 0 0 0 1
		[ "$scale" = none ] || echo "scale: $scale"
	} >"$name"
}

# run PROGRAM ARGS...: its output and status, then every file named by
# the arguments, as it stands after the run.
run() {
	local status=0
	"${emu[@]}" "$bin/$1" "${@:2}" >stdout 2>stderr || status=$?
	printf '=== %s\n' "$*"
	cat stdout stderr
	printf '\n? %d\n' "$status"
	for f in "${@:2}"; do
		[ -f "$f" ] && printf '> %s\n' "$f" && cat "$f"
	done
	return 0
}

# Transforms: one special value at each position, then two at once in both
# orders, then singular linear parts; each inverted, composed, decomposed,
# measured, and applied to points.
n=0
transform() {
	n=$((n + 1))
	local scale=${specials[n % 4]}
	[ $((n % 5)) -eq 0 ] && scale=none
	t4 a${n}_to_b${n}_t4 "$scale" "$@"
	run xfm_reverse a${n}_to_b${n}_t4 b${n}_to_a${n}_t4
	run xfm_chain a${n}_to_b${n}_t4 b${n}_to_a${n}_t4 a${n}_to_a${n}_t4
	printf '1 2 3\n-4.5,nan,inf\n' >points
	run xfm_points a${n}_to_b${n}_t4 points
	run xfm_points -i a${n}_to_b${n}_t4 points
	run xfm_info a${n}_to_b${n}_t4
	run xfm_rms a${n}_to_b${n}_t4 b${n}_to_a${n}_t4
	run xfm_motion -f1 -c1,-2,3 base_t4 a${n}_to_b${n}_t4 base_t4
}
t4 base_t4 none "${base[@]}"
for v in "${specials[@]}"; do
	for p in 0 1 2 3 4 5 6 7 8 9 10 11; do
		m=("${base[@]}")
		m[p]=$v
		transform "${m[@]}"
	done
done
for pair in "0 5" "5 0" "0 1" "1 0" "6 10" "10 6" "2 3" "3 2" "4 11" "11 4"; do
	set -- $pair
	for vw in "nan -nan" "-nan nan" "inf -inf" "nan inf" "-inf -nan"; do
		m=("${base[@]}")
		m[$1]=${vw% *} m[$2]=${vw#* }
		transform "${m[@]}"
	done
done
transform 0 0 0 1  0 0 0 2  0 0 0 3
transform 1 0 0 1  0 1 0 2  0 0 0 3
transform 1 2 3 0  2 4 6 0  -1 -2 -3 5
transform 1e30 0 0 0  0 1e30 0 0  0 0 1e30 0
transform 1e-30 0 0 1  0 1 0 0  0 0 1 0

# Transforms made from their parts: turns all round the circle, quarter
# turns, every part at once; then values that are not numbers.
turns=$(LC_ALL=C awk 'BEGIN {
	for (a = -720; a <= 720; a += 13.7) printf "%.4f,%.4f,%.4f\n", a, -a / 8, a / 2 + 45 }')
for r in $turns 90,180,270 -90,-180,-270 45,45,45 0,90,0 1e300,-1e-300,12345.678; do
	rm -f m_t4
	run xfm_make -r$r -t1.5,-2,123.4567 -s0.3,-3,1.1 -k0.4,-0.4,0.1 -a0.5 m_t4
done
rm -f m_t4
# A motion series through the same turns, frame by frame across +-180 degrees.
i=0
for r in $turns; do
	i=$((i + 1))
	"${emu[@]}" "$bin/xfm_make" -r$r -t$i,-2,0.5 $(printf 'frame%04d_t4' $i) >/dev/null
done
run xfm_motion -f20.4277 -b1 -s2 frame*_t4
run xfm_motion -r50 -c0,-18,20 -d60 frame*_t4
rm -f frame*_t4
for v in "${specials[@]}"; do
	run xfm_make -r0,$v,0 m_t4
	run xfm_make -a$v m_t4
done

# Scales alone, composed two by two.
for l in "${specials[@]}" 0 -0 2; do
	for r in "${specials[@]}" 0 2; do
		t4 l_to_m_t4 "$l" 1 0 0 0 0 1 0 0 0 0 1 0
		t4 m_to_r_t4 "$r" 1 0 0 0 0 1 0 0 0 0 1 0
		run xfm_chain l_to_m_t4 m_to_r_t4 l_to_r_t4
	done
done

# Lag tables: cohorts of three subjects, three regions and lags -1..1 whose
# cells cycle through the specials and a few numbers; then one region only.
values=(nan 1 -nan 2.5 inf -1 -inf 0 nan -nan 3 inf -inf -inf inf 0.5 -nan)
for c in $(seq 0 15); do
	rm -f s*.dat cohort$c.lst
	for s in 1 2 3; do
		{
			echo '#lag A B C'
			for lag in -1 0 1; do
				i=$(((c * 7 + s * 5 + lag * 3 + 3) % ${#values[@]}))
				echo "$lag ${values[i]} ${values[(i + c + 1) % ${#values[@]}]} ${values[(i + 2 * c + 3) % ${#values[@]}]}"
			done
		} >s$s.dat
		echo s$s.dat >>cohort$c.lst
	done
	run lag_pool cohort$c.lst
	cat cohort${c}_*.dat
done
printf '#lag A\n-1 inf\n0 -nan\n1 2\n' >one.dat
echo one.dat >one.lst
run lag_pool one.lst
cat one_*.dat

# Region time series: ordinary values, values whose squares overflow or
# underflow, and values far from zero that vary in their last digits; with
# and without a mask; then the errors.
for bs in "0 1" "0 1e306" "0 1e-200" "1e8 1e-7" "-0.1 3e-17"; do
	set -- $bs
	i=${bs// /_}
	awk -v b="$1" -v s="$2" 'BEGIN {
		print "a b c"
		for (t = 0; t < 12; t++)
			printf "%.17g %.17g %.17g\n", b + s * ((t * 7) % 5 - 2), b + s * ((t * 3) % 4 - 1.5), b + s * (t % 3) * t
	}' >ts$i.txt
	run lag_table -l3 ts$i.txt lags$i.dat
	run lag_table -l2 -m2+x5+3x+ ts$i.txt masked$i.dat
done
printf 'a,"b"\n1,2\n2,nan\n' >bad.csv
run lag_table -l1 bad.csv bad.dat
run lag_table -l12 ts0_1.txt few.dat
