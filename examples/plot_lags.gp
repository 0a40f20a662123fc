# Draws the region mean and gammabar of a lag_pool run as curves over the
# lags, into ROOT_lags.png beside the results.
#
#   gnuplot -e "root='examples/out/cohort/cohort'" examples/plot_lags.gp
#
# The result files begin with '#' lines, which gnuplot reads as comments.
if (!exists("root")) root = 'cohort'
roiavg = root.'_ROIavg.dat'
gammabar = root.'_gammabar.dat'
factor = system("sed -n 's/^#sum of gammabar = //p' ".gammabar)

set terminal pngcairo size 800,700 font ',10' noenhanced
set output root.'_lags.png'
set multiplot layout 2,1 title 'lag_pool: '.root
set grid
set xlabel 'lag'
set xzeroaxis

set title 'mean over regions of the group means (ROIavg)'
set ylabel 'ROIavg'
plot roiavg using 1:2 with linespoints lw 2 pt 7 title 'ROIavg'

set title 'mean product of the group means over pairs of regions (gammabar); Bartlett factor '.factor
set ylabel 'gammabar'
plot gammabar using 1:2 with linespoints lw 2 pt 7 lc rgb '#c0392b' title 'gammabar'

unset multiplot
