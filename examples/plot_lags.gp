# Draws the results of a lag_pool run into ROOT_lags.png beside them: the
# group mean of every region at every lag as a heat map, next to the mean
# over regions (ROIavg) and gammabar as curves over the same lags. ROOT is
# the root of the result files' names; the title is its last component.
#
#   gnuplot -e "root='examples/out/cohort/cohort'" examples/plot_lags.gp
#
# Lags are counted in rows of the lag tables, which the x axis calls TRs;
# -e "lagunit='frame'" names another unit.
#
# The regions come from _avg.dat as lag_pool writes it (see lagtable(5)):
# two '#' lines, then a column header "#%9s" with the word lag followed by
# "%10s" with each label, then one row per lag, "%10d" and "%10.4f" for each
# region. A label or value that fills its field has a blank before it, so
# the labels are the header's words after "#" and lag, whatever their
# length. Files of regkit 1.0.0 may hold means that run into the one before
# them; every value has four decimals, which is where the rows are split.
if (!exists("root")) root = 'cohort'
if (!exists("lagunit")) lagunit = 'TR'
avg = root.'_avg.dat'
roiavg = root.'_ROIavg.dat'
gammabar = root.'_gammabar.dat'

cohort = root
while (strstrt(cohort, '/') > 0) { cohort = cohort[strstrt(cohort, '/') + 1:] }

# The rows of _avg.dat, each as the lag and one number per region.
rows = '< awk ''NR > 3 { ' . \
	'line = substr($0, 1, 10); rest = substr($0, 11); ' . \
	'while (match(rest, /-?(nan|inf|[0-9]+[.][0-9][0-9][0-9][0-9])/)) { ' . \
	'line = line " " substr(rest, RSTART, RLENGTH); rest = substr(rest, RSTART + RLENGTH) } ' . \
	'print line }'' '

# Two lines of gnuplot commands: nreg from the first row, then label[1..nreg]
# from the column header.
regions = 'awk ''NR == 3 { ' . \
	'for (i = 3; i <= NF; i++) { f = $i; gsub(/\047/, "\047\047", f); label[i - 2] = f } } ' . \
	'NR == 4 { rest = substr($0, 11); ' . \
	'while (match(rest, /-?(nan|inf|[0-9]+[.][0-9][0-9][0-9][0-9])/)) { ' . \
	'nreg++; rest = substr(rest, RSTART + RLENGTH) } } ' . \
	'END { printf "nreg = %d\n", nreg; ' . \
	'for (i = 1; i <= nreg; i++) printf "label[%d] = \047%s\047; ", i, label[i]; ' . \
	'print "" }'' '

nreg = 0
commands = system(regions."'".avg."'")
eval commands[1:strstrt(commands, "\n") - 1]
if (nreg < 1) {
	print 'plot_lags.gp: '.avg.' cannot be read or has no row of region means'
	exit status 1
}
array label[nreg]
eval commands[strstrt(commands, "\n") + 1:]

factor = system("sed -n 's/^#sum of gammabar = //p' '".gammabar."'")
stats rows."'".avg."'" using 1 nooutput
mlag = -STATS_min
stats rows."'".avg."'" matrix every ::1 using 3 nooutput
big = (abs(STATS_min) > abs(STATS_max)) ? abs(STATS_min) : abs(STATS_max)
if (big == 0 || big != big) big = 1

# Every region is named: past 40 of them the figure grows by 13 pixels, a
# line of the labels' font, for each.
height = (nreg <= 40) ? 640 : 640 + 13 * (nreg - 40)
set terminal pngcairo size 1200,height font ',10' noenhanced
set output root.'_lags.png'
set multiplot title cohort font ',14'
set xlabel 'lag ('.lagunit.'s)'
set xrange [-mlag - 0.5:mlag + 0.5]
if (mlag <= 8) { set xtics 1 }

# Left: regions (in column order, top down) by lags; red above 0, blue
# below, white at 0. Each cell is a box, so that one region draws too.
set origin 0, 0
set size 0.5, 0.95
set title 'group mean of each region (_avg.dat)'
set ylabel 'region'
set yrange [nreg + 0.5:0.5]
set ytics () scale 0
do for [i = 1:nreg] { set ytics add (label[i] i) }
set cbrange [-big:big]
set cblabel 'group mean'
set palette defined (-1 '#2166ac', 0 'white', 1 '#b2182b')
set colorbox
set style fill solid 1.0 noborder
plot rows."'".avg."'" matrix every ::1 using ($2 - mlag):1:(0.5):(0.5):3 \
	with boxxy fillcolor palette notitle
unset colorbox

# Right: the two curves, one above the other. With a single region there is
# no pair, and gammabar is not a number at any lag.
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
set ylabel 'gammabar'
if (nreg > 1) {
	set title 'mean product over pairs of regions (gammabar); Bartlett factor '.factor
	plot gammabar using 1:2 with linespoints lw 2 pt 7 lc rgb '#c0392b' notitle
} else {
	set title 'gammabar: no pair of regions in a single-region cohort'
	set yrange [-1:1]
	set samples 2
	plot NaN notitle
}

unset multiplot
