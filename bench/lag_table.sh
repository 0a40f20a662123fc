#!/usr/bin/env bash
# Times lag_table on a 3,000-frame, 1,000-region series (CSV, about 30 MB)
# against numpy on the same table: reading it (numpy.loadtxt) and the
# autocorrelation at lags 0..M by the same sums, vectorized over regions.
# Checks that the two agree to the printed digits, and prints lag_table's
# peak memory beside the series' own size in doubles.
#
#   [PYTHON=python3] bench/lag_table.sh [LAG_TABLE] [MLAG]
#                                    defaults: build/bin/lag_table, 20
#
# Every time is the processor time (user + system) of the best of five runs,
# the two taking turns, so that a busy machine counts as little as it can.
#
# Target: lag_table in at most 1 s of processor time on one core.
set -euo pipefail

bin=$(realpath "${1:-build/bin/lag_table}")
mlag=${2:-20}
py=${PYTHON:-python3}  # one that has numpy
[ -x "$bin" ] || { echo "no program at $bin (build first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }
"$py" -c "import numpy" 2>/dev/null || { echo "needs numpy (apt-get install python3-numpy)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Autoregressive series around 100, as a pipeline writes them.
awk -v frames=3000 -v nreg=1000 'BEGIN {
	srand(7)
	printf "r1"
	for (r = 2; r <= nreg; r++)
		printf ",r%d", r
	printf "\n"
	for (t = 0; t < frames; t++) {
		for (r = 1; r <= nreg; r++) {
			y[r] = 0.5 * y[r] + rand() - 0.5
			printf "%s%.4f", (r > 1 ? "," : ""), 100 + y[r]
		}
		printf "\n"
	}
}' > ts.csv

cat > acf.py <<'PY'
import sys
import time
import numpy as np
x = np.loadtxt(sys.argv[1], delimiter=",", skiprows=1)
m = int(sys.argv[2])
start = time.process_time()
d = x - x.mean(axis=0)
num = np.array([(d[: len(d) - k] * d[k:]).sum(axis=0) for k in range(m + 1)])
acf = num / num[0]
with open("compute", "a") as f:
    print(time.process_time() - start, file=f)
rows = np.vstack([acf[:0:-1], acf])
np.savetxt(sys.argv[3], np.column_stack([np.arange(-m, m + 1), rows]), fmt=["%10d"] + ["%10.6f"] * x.shape[1], delimiter="")
PY

cpu() {  # processor time of one run, in seconds
	/usr/bin/time -f '%U %S' -o t "$@" >/dev/null 2>&1
	awk '{ print $1 + $2 }' t
}
least() { sort -g | head -n 1; }
ours=() theirs=()
for _ in 1 2 3 4 5; do
	ours+=("$(cpu "$bin" -l"$mlag" ts.csv ours.dat)")
	theirs+=("$(cpu env OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 "$py" acf.py ts.csv "$mlag" numpy.dat)")
done
/usr/bin/time -f %M -o rss "$bin" -l"$mlag" ts.csv ours.dat >/dev/null
"$py" - ours.dat numpy.dat <<'PY'
import sys
import numpy as np
a = np.loadtxt(sys.argv[1], comments="#")
b = np.loadtxt(sys.argv[2])
print("largest difference from numpy: %.1e" % abs(a - b).max())
PY
best=$(printf '%s\n' "${ours[@]}" | least)
awk -v c="$(least < compute)" -v o="$best" -v n="$(printf '%s\n' "${theirs[@]}" | least)" -v m="$(cat rss)" -v l="$mlag" 'BEGIN {
	printf "3000 frames x 1000 regions, lags 0..%d, processor seconds (best of 5)\n", l
	printf "%-24s %8s\n%-24s %8.2f\n%-24s %8.2f\n", "program", "seconds", "lag_table", o, "numpy, loadtxt and acf", n
	printf "%-24s %8.2f\n", "numpy, acf alone", c
	printf "lag_table peak memory: %d kB (the series in doubles: %d kB)\n", m, 3000 * 1000 * 8 / 1024
	printf "target: at most 1 s: %s\n", o <= 1 ? "met" : "not met"
}'
