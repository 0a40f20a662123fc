# Draws the results of a lag_pool run into ROOT_lags.png beside them: the
# group mean of every region at every lag as a heat map, next to the mean
# over regions (ROIavg) and gammabar as curves over the same lags. ROOT is
# the root of the result files' names; the title is its last component.
#
#   gnuplot -e "root='examples/out/cohort/cohort'" examples/plot_lags.gp
#
# The result files begin with '#' lines, which gnuplot reads as comments.
if (!exists("root")) root = 'cohort'
avg = root.'_avg.dat'
roiavg = root.'_ROIavg.dat'
gammabar = root.'_gammabar.dat'

cohort = root
while (strstrt(cohort, '/') > 0) { cohort = cohort[strstrt(cohort, '/') + 1:] }
factor = system("sed -n 's/^#sum of gammabar = //p' '".gammabar."'")
# The column header of _avg.dat: the word lag, then one label per region.
labels = system("sed -n '/^# *lag /{s/^#//p;q;}' '".avg."'")
nreg = words(labels) - 1

stats avg using 1 nooutput
mlag = -STATS_min
stats avg matrix every ::1 using 3 nooutput
big = (abs(STATS_min) > abs(STATS_max)) ? abs(STATS_min) : abs(STATS_max)
if (big == 0) big = 1

set terminal pngcairo size 1200,640 font ',10' noenhanced
set output root.'_lags.png'
set multiplot title cohort font ',14'
set xlabel 'lag'
set xrange [-mlag - 0.5:mlag + 0.5]
if (mlag <= 8) { set xtics 1 }

# Left: regions (in column order, top down) by lags; red above 0, blue
# below, white at 0.
set origin 0, 0
set size 0.5, 0.95
set title 'group mean of each region (_avg.dat)'
set ylabel 'region'
set yrange [nreg + 0.5:0.5]
if (nreg <= 40) {
	set ytics () scale 0
	do for [i = 1:nreg] { set ytics add (word(labels, i + 1) i) }
}
set cbrange [-big:big]
set palette defined (-1 '#2166ac', 0 'white', 1 '#b2182b')
set colorbox
plot avg matrix every ::1 using ($2 - mlag):1:3 with image notitle
unset colorbox

# Right: the two curves, one above the other.
set yrange [*:*]
set ytics autofreq scale default
set grid
set xzeroaxis
set origin 0.5, 0.475
set size 0.5, 0.475
set title 'mean over regions of the group means (ROIavg)'
set ylabel 'ROIavg'
plot roiavg using 1:2 with linespoints lw 2 pt 7 notitle

set origin 0.5, 0
set title 'mean product over pairs of regions (gammabar); Bartlett factor '.factor
set ylabel 'gammabar'
plot gammabar using 1:2 with linespoints lw 2 pt 7 lc rgb '#c0392b' notitle

unset multiplot
