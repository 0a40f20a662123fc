# xfm_motion: framewise displacement, RMS motion and a censor mask from a
# series of transform files, one per frame.

@@ USAGE Usage:\txfm_motion [-r<flt>] [-c<flt>,<flt>,<flt>] [-d<flt>] [-f<flt> [-b<int>] [-a<int>] [-s<int>]] <t4file> [t4file...]\ne.g.,\txfm_motion -f0.5 -b1 -a2 frame0001_to_frame0000_t4 frame0002_to_frame0000_t4 frame0003_to_frame0000_t4\n\toption\n\t-r<flt>\tradius of the RMS sphere in mm (default 80)\n\t-c<flt>,<flt>,<flt>\tcentre of the sphere and of the head in mm (default 0,0,0)\n\t-d<flt>\thead radius in mm that turns rotations into displacement (default 50)\n\t-f<flt>\tcensor the frames whose framewise displacement exceeds this many mm\n\t-b<int>\twith -f, also censor this many frames before each (default 0)\n\t-a<int>\twith -f, also censor this many frames after each (default 0)\n\t-s<int>\twith -f, also censor the runs of kept frames shorter than this (default 1)

=== without a file: one line, the usage text, status 1
$ xfm_motion -f0.5
1| @USAGE@
2| xfm_motion: missing operand
? 1

=== each bad option says what is wrong, prints the usage text and ends with status 1
% xfm_make t_t4 >/dev/null
$ for o in -x -r -r0 -rinf -c1,2 -c1,2,3,4 -d-50 -fnan -f0 '-f1 -b-1' '-f1 -a1.5' '-f1 -s0' '-f1 -a' -b1 '-a0 -s2'; do xfm_motion t_t4 $o >out; echo "$? $(grep -c Usage out) $o"; done
1| 1 1 -x
1| 1 1 -r
1| 1 1 -r0
1| 1 1 -rinf
1| 1 1 -c1,2
1| 1 1 -c1,2,3,4
1| 1 1 -d-50
1| 1 1 -fnan
1| 1 1 -f0
1| 1 1 -f1 -b-1
1| 1 1 -f1 -a1.5
1| 1 1 -f1 -s0
1| 1 1 -f1 -a
1| 1 1 -b1
1| 1 1 -a0 -s2
2| xfm_motion: unknown option -x
2| xfm_motion: -r needs a value
2| xfm_motion: -r takes a positive radius in mm: 0
2| xfm_motion: -r takes a positive radius in mm: inf
2| xfm_motion: -c takes a centre of three numbers, x,y,z: 1,2
2| xfm_motion: -c takes a centre of three numbers, x,y,z: 1,2,3,4
2| xfm_motion: -d takes a positive head radius in mm: -50
2| xfm_motion: -f takes a positive displacement in mm: nan
2| xfm_motion: -f takes a positive displacement in mm: 0
2| xfm_motion: -b takes a number of frames, 0 or more: -1
2| xfm_motion: -a takes a number of frames, 0 or more: 1.5
2| xfm_motion: -s takes a number of frames, 1 or more: 0
2| xfm_motion: -a needs a value
2| xfm_motion: -b works only with -f
2| xfm_motion: -s works only with -f

=== the worked example: a jump of 3 mm at frame 4, the table by default, censored around it, and short runs censored too
% i=0; for x in 0 0 0 3 3 3 3 3; do i=$((i+1)); xfm_make -t$x,0,0 frame000${i}_to_frame0000_t4 >/dev/null; done
$ xfm_motion frame000?_to_frame0000_t4; xfm_motion -f0.5 -b1 -a2 frame000?_to_frame0000_t4; xfm_motion -f0.5 -b1 -a2 -s3 frame000?_to_frame0000_t4 | tail -n1
1| frame\tfd\trms\trms_ref
1| 1\tn/a\tn/a\t0.0000
1| 2\t0.0000\t0.0000\t0.0000
1| 3\t0.0000\t0.0000\t0.0000
1| 4\t3.0000\t3.0000\t3.0000
1| 5\t0.0000\t0.0000\t3.0000
1| 6\t0.0000\t0.0000\t3.0000
1| 7\t0.0000\t0.0000\t3.0000
1| 8\t0.0000\t0.0000\t3.0000
1| frame\tfd\trms\trms_ref\tcensored
1| 1\tn/a\tn/a\t0.0000\t0
1| 2\t0.0000\t0.0000\t0.0000\t0
1| 3\t0.0000\t0.0000\t0.0000\t1
1| 4\t3.0000\t3.0000\t3.0000\t1
1| 5\t0.0000\t0.0000\t3.0000\t1
1| 6\t0.0000\t0.0000\t3.0000\t1
1| 7\t0.0000\t0.0000\t3.0000\t0
1| 8\t0.0000\t0.0000\t3.0000\t0
1| # censor: 2+4x2+
1| # censor: 8x

=== -r, -c and -d against the defaults: rms and rms_ref are what xfm_rms prints for the pair and for the frame alone
% xfm_make -t1,2,3 -r2,0,0 p_t4 >/dev/null; xfm_make -t1,2,1 -r0,0,-3 -s1.01,1,1 q_t4 >/dev/null
$ xfm_motion p_t4 q_t4; xfm_motion -r60 -c0,-18,20 -d40 p_t4 q_t4; xfm_rms -r60 -c0,-18,20 p_t4 q_t4; xfm_rms -r60 -c0,-18,20 q_t4
1| frame\tfd\trms\trms_ref
1| 1\tn/a\tn/a\t4.1375
1| 2\t6.3633\t3.7811\t3.6304
1| frame\tfd\trms\trms_ref
1| 1\tn/a\tn/a\t3.1696
1| 2\t6.5040\t3.0057\t3.0235
1| 3.0057
1| 3.0235

=== angles across 180 degrees count the short way round
% xfm_make -r0,0,179 a_t4 >/dev/null; xfm_make -r0,0,-179 b_t4 >/dev/null; xfm_make -r-179,0,0 c_t4 >/dev/null; xfm_make -r179,0,0 d_t4 >/dev/null
$ xfm_motion a_t4 b_t4 a_t4 | cut -f2 | tail -n2; xfm_motion c_t4 d_t4 | cut -f2 | tail -n1
1| 1.7453
1| 1.7453
1| 1.7453

=== a single file: one row; censored when -s asks for longer runs
% xfm_make -t2,0,0 t_t4 >/dev/null
$ xfm_motion t_t4; xfm_motion -f1 t_t4 | tail -n1; xfm_motion -f1 -s2 t_t4 | tail -n1
1| frame\tfd\trms\trms_ref
1| 1\tn/a\tn/a\t2.0000
1| # censor: 1+
1| # censor: 1x

=== the censor: above the threshold or not a number; -a and -b around it, counts past the ends, -s
% i=0; for x in 0 0 0.5 0.5 N 0.5 0.5 0.5 2; do i=$((i+1)); if [ $x = N ]; then printf 't4\n1 0 0 nan\n0 1 0 0\n0 0 1 0\n0 0 0 1\n' >s${i}_t4; else xfm_make -t$x,0,0 s${i}_t4 >/dev/null; fi; done
$ xfm_motion -f0.5 s?_t4; for o in -a1 -b1000000000000 -s3 '-b1 -a1 -s2'; do xfm_motion -f0.5 $o s?_t4 | tail -n1; done
1| frame\tfd\trms\trms_ref\tcensored
1| 1\tn/a\tn/a\t0.0000\t0
1| 2\t0.0000\t0.0000\t0.0000\t0
1| 3\t0.5000\t0.5000\t0.5000\t0
1| 4\t0.0000\t0.0000\t0.5000\t0
1| 5\tnan\tnan\tnan\t1
1| 6\tnan\tnan\t0.5000\t1
1| 7\t0.0000\t0.0000\t0.5000\t0
1| 8\t0.0000\t0.0000\t0.5000\t0
1| 9\t1.5000\t1.5000\t2.0000\t1
1| # censor: 4+2x2+1x
1| # censor: 4+3x1+1x
1| # censor: 9x
1| # censor: 4+5x
1| # censor: 3+6x

=== a file that cannot be read, or holds no transform, ends the run with no table
% xfm_make t_t4 >/dev/null; : >empty_t4
$ xfm_motion t_t4 none t_t4; echo "status $?"; xfm_motion t_t4 empty_t4
1| status 255
2| xfm_motion: none read error
2| xfm_motion: empty_t4 read error
? 255

=== a lone --version and a lone --help
$ xfm_motion --version; xfm_motion --help
1| xfm_motion (regkit) 1.1.0
1| @USAGE@
