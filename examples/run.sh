#!/usr/bin/env bash
# A small pipeline through the programs on the bundled data. It works in
# examples/out/ (made afresh) and prints what each program produced.
#
#   examples/run.sh [BINDIR]     BINDIR defaults to build/bin
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build/bin}" && pwd)
export PATH="$bin:$PATH"
out=$here/out
rm -rf "$out"
mkdir -p "$out"
cd "$out"

step() { printf '\n==== %s\n' "$*"; }
show() { printf -- '---- %s\n' "$1"; cat "$1"; }

cp "$here"/epi_to_anat_t4 "$here"/anat_to_atlas_t4 "$here"/peaks.csv .
cp "$here"/vol2_to_vol1_t4 "$here"/vol3_to_vol1_t4 .

step "xfm_unit atlas_to_atlas_t4: the identity, to check a chain against"
xfm_unit atlas_to_atlas_t4
show atlas_to_atlas_t4

step "xfm_reverse epi_to_anat_t4: the anatomy back to the functional image"
xfm_reverse epi_to_anat_t4
show anat_to_epi_t4

step "xfm_chain epi_to_anat_t4 anat_to_atlas_t4: the functional image to the atlas"
# The atlas transform carries no scale, so the product carries none either.
xfm_chain epi_to_anat_t4 anat_to_atlas_t4
show epi_to_atlas_t4

step "xfm_chain epi_to_atlas_t4 atlas_to_atlas_t4 check_t4: the identity changes no number"
xfm_chain epi_to_atlas_t4 atlas_to_atlas_t4 check_t4 >/dev/null
matrix() { sed -n '/^t4$/,+4p' "$1"; }
diff <(matrix epi_to_atlas_t4) <(matrix check_t4) && echo "same matrix (the identity has no scale, so the product has none)"

step "xfm_points epi_to_atlas_t4 peaks.csv: two atlas peaks in the functional image"
xfm_points epi_to_atlas_t4 peaks.csv

step "xfm_info epi_to_atlas_t4: the product taken apart"
xfm_info epi_to_atlas_t4

step "xfm_rms vol2_to_vol1_t4 vol3_to_vol1_t4: head motion from volume 2 to 3, in mm"
xfm_rms vol2_to_vol1_t4 vol3_to_vol1_t4

step "xfm_make -r0,0,2 atlas_to_turned_t4: the atlas turned by 2 degrees about z, and how far that moves a head"
xfm_make -r0,0,2 atlas_to_turned_t4
xfm_chain epi_to_atlas_t4 atlas_to_turned_t4 >/dev/null
xfm_rms epi_to_atlas_t4 epi_to_turned_t4

step "xfm_motion -f0.5 -b1 -a2: a 200-frame motion series, its displacement and the frames to censor"
# Small drifts and wobbles, with two jumps of 1 mm in x: after frames 60 and 140.
mkdir motion
awk 'BEGIN { for (i = 1; i <= 200; i++)
	printf "%04d %.2f,%.2f,%.3f %.3f,%.3f,0\n", i, (i > 60) + (i > 140) + 0.01 * (i % 7),
	       0.02 * (i * 3 % 5), 0.001 * i, 0.05 * (i % 3), -0.0005 * i }' |
while read -r i t r; do xfm_make -t"$t" -r"$r" motion/frame${i}_to_frame0000_t4 >/dev/null; done
xfm_motion -f0.5 -b1 -a2 motion/frame*_to_frame0000_t4 >motion.tsv
sed -n '1p;60,64p' motion.tsv
echo ...
tail -n 3 motion.tsv
censor=$(sed -n 's/^# censor: //p' motion.tsv)
echo "pattern_list -w '$censor': $(pattern_list -w "$censor" | grep -c '^1.0$') of 200 frames kept, weight 1.0"

step "lag_table -l3: each subject's region time series to its lag table, lags -3 to 3"
cp -r "$here"/cohort .
cd cohort
for sub in sub-01 sub-02 sub-04; do
	lag_table -l3 ${sub}_ts.csv ${sub}_lag.dat
done
# sub-03 moved as the motion series above: the frames it censors are left
# out ('+' keeps a frame).
lag_table -l3 -m"$censor" sub-03_ts.csv sub-03_lag.dat
show sub-03_lag.dat
for sub in sub-01 sub-02 sub-03 sub-04; do
	cmp -s ${sub}_lag.dat "$here"/cohort/${sub}_lag.dat ||
		{ echo "${sub}_lag.dat differs from the shipped table: when lag_table or the series changed, ship the new one"; exit 1; }
done
cd ..

step "lag_pool cohort.lst: group means over four subjects"
(cd cohort && lag_pool cohort.lst)
show cohort/cohort_avg.dat
show cohort/cohort_ROIavg.dat
show cohort/cohort_gammabar.dat

step "pattern_list: a block design, as symbols on one line and as weights"
pattern_list -e '4x3(2+2-)'
echo
pattern_list -w '4x3(2+2-)' | paste -sd ' '

step "shuffle 4 -s7: a seeded order in which to review the four subjects"
shuffle 4 -s7
echo

step "plot: the group means as a heat map, the region mean and gammabar as curves"
if command -v gnuplot >/dev/null; then
	gnuplot -e "root='cohort/cohort'" "$here"/plot_lags.gp
	echo "wrote $out/cohort/cohort_lags.png"
else
	echo "gnuplot is not installed: 'apt-get install gnuplot-nox' and run this again to draw"
	echo "$out/cohort/cohort_lags.png from the three results."
fi
