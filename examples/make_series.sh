#!/bin/sh
# Writes the example cohort's region time series, examples/cohort/sub-0N_ts.csv:
# four subjects, 200 frames, six regions. Each region is a slow part shared
# by all regions plus a first-order autoregressive part of its own, so that
# the series are autocorrelated as measured ones are. The numbers come from
# a seeded Park-Miller generator in plain arithmetic and a sum of twelve
# uniforms for each normal draw: every awk makes the same files.
#
#   examples/make_series.sh      (run again, it writes the same bytes)
set -eu
cd "$(dirname "$0")/cohort"
for sub in 1 2 3 4; do
	awk -v seed="$((1000 + sub))" -v frames=200 '
	function uniform() { state = (16807 * state) % 2147483647; return state / 2147483647 }
	function normal(   i, s) { s = 0; for (i = 0; i < 12; i++) s += uniform(); return s - 6 }
	BEGIN {
		state = seed
		nreg = split("area_a area_b area_c area_d area_e area_f", label, " ")
		split("0.30 0.45 0.55 0.35 0.60 0.50", phi, " ")
		line = label[1]
		for (r = 2; r <= nreg; r++)
			line = line "," label[r]
		print line
		shared = 0
		for (r = 1; r <= nreg; r++)
			own[r] = 0
		for (t = 0; t < frames; t++) {
			shared = 0.8 * shared + 0.6 * normal()
			line = ""
			for (r = 1; r <= nreg; r++) {
				own[r] = phi[r] * own[r] + normal()
				line = line (r > 1 ? "," : "") sprintf("%.4f", 100 + shared + own[r])
			}
			print line
		}
	}' >"sub-0${sub}_ts.csv"
done
