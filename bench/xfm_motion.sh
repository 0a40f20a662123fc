#!/usr/bin/env bash
# Times xfm_motion on a motion series of 10,000 transform files, one per
# frame, against xfm_rms run once per pair of frames (and once on the
# first), which gives the rms column alone; and measures xfm_motion's peak
# memory on a tenth and on all of the frames. Wall time on the clock: the
# baseline's cost is starting 10,000 processes.
#
#   bench/xfm_motion.sh [BINDIR] [FRAMES]    defaults: build/bin and 10000
set -euo pipefail

bin=$(realpath "${1:-build/bin}")
frames=${2:-10000}
[ -x "$bin/xfm_motion" ] && [ -x "$bin/xfm_rms" ] || { echo "no programs in $bin (build first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Small rigid motions as motion correction writes them: turns of a fraction
# of a degree about x, shifts of a fraction of a millimetre.
awk -v n="$frames" 'BEGIN { srand(1); for (f = 1; f <= n; f++) {
	a = (rand() - 0.5) * 0.02; c = cos(a); s = sin(a)
	file = sprintf("frame%05d_to_frame00000_t4", f)
	print "t4" >file
	printf "%10.6f%10.6f%10.6f%10.4f\n", 1, 0, 0, rand() - 0.5 >file
	printf "%10.6f%10.6f%10.6f%10.4f\n", 0, c, -s, rand() - 0.5 >file
	printf "%10.6f%10.6f%10.6f%10.4f\n", 0, s, c, rand() - 0.5 >file
	printf "%10.6f%10.6f%10.6f%10.4f\n", 0, 0, 0, 1 >file
	close(file) } }'
ls frame*_t4 >all
head -n $((frames / 10)) all >tenth

# Prints "seconds peak_kB" of one run of the command $@.
timed() {
	/usr/bin/time -f '%e %M' -o usage "$@" >/dev/null
	cat usage
}

read -r motion_s big_kb < <(timed sh -c 'exec "$0" -f0.5 -b1 -a2 $(cat all)' "$bin/xfm_motion")
read -r _ small_kb < <(timed sh -c 'exec "$0" -f0.5 -b1 -a2 $(cat tenth)' "$bin/xfm_motion")
read -r pairs_s _ < <(timed sh -c 'rms=$0; set -- $(cat all); "$rms" "$1"
	while [ $# -gt 1 ]; do "$rms" "$1" "$2"; shift; done' "$bin/xfm_rms")

awk -v n="$frames" -v m="$motion_s" -v p="$pairs_s" -v small="$small_kb" -v big="$big_kb" 'BEGIN {
	printf "%d frames: xfm_motion %.2f s, xfm_rms once per pair %.2f s, ratio %.4f\n", n, m, p, (p > 0 ? m / p : 0)
	printf "xfm_motion peak memory: %d kB on %d frames, %d kB on %d\n", small, n / 10, big, n
}'
