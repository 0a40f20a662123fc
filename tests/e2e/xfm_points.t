# xfm_points: maps points through a transform file.

@< MPR_TO_ATLAS fixtures/mpr_to_atlas_t4

=== usage without a transform: option groups and a lone - are no operands
$ xfm_points -i -
1| Usage:\txfm_points <t4file> [pointfile]
1| e.g.,\txfm_points qx42c_anat_ave_to_qx42c_234-3_t4 peaks.txt
1| \toption
1| \t-i\tmap through the inverse transform
? 1

=== a lone --help to each new transform tool: the usage text on standard output, status 0
$ xfm_points --help && xfm_info --help && xfm_rms --help
1| Usage:\txfm_points <t4file> [pointfile]
1| e.g.,\txfm_points qx42c_anat_ave_to_qx42c_234-3_t4 peaks.txt
1| \toption
1| \t-i\tmap through the inverse transform
1| Usage:\txfm_info <t4file> [t4file...]
1| e.g.,\txfm_info qx42c_anat_ave_to_qx42c_234-3_t4
1| \toption
1| Usage:\txfm_rms <t4file> [t4file...]
1| e.g.,\txfm_rms -r80 qx42c_234-3_to_qx42c_234-1_t4 qx42c_234-4_to_qx42c_234-1_t4
1| \toption
1| \t-r<flt>\tradius of the sphere in mm (default 80)
1| \t-c<flt>,<flt>,<flt>\tcentre of the sphere in mm (default 0,0,0)

=== points in, points out: comments and blank lines kept, each line's rest kept, CSV stays CSV; -i maps them back
< a_to_b_t4
| t4
|   0 -1 0 10
|   1  0 0 -5
|   0  0 2  1
|   0  0 0  1
< pts.csv
| # x,y,z,name
| 1,2,3,A
|
|   -4.5, 0.25 ,1e1 ; B
| 7\t8 9 rest here
| 0 0 0\c
$ xfm_points a_to_b_t4 pts.csv && xfm_points a_to_b_t4 pts.csv | xfm_points - -i a_to_b_t4
1| # x,y,z,name
1| 8.0000,-4.0000,7.0000,A
1|
1| 9.7500,-9.5000,21.0000 ; B
1| 2.0000 2.0000 19.0000 rest here
1| 10.0000 -5.0000 1.0000# x,y,z,name
1| 1.0000,2.0000,3.0000,A
1|
1| -4.5000,0.2500,10.0000 ; B
1| 7.0000 8.0000 9.0000 rest here
1| 0.0000 0.0000 0.0000\c

=== a NUL ends the text of a line, not the line
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
% printf '1 2 3\0x\n#\0y\n4 5 6\n' > p
$ xfm_points a_to_b_t4 p
1| 1.0000 2.0000 3.0000
1| #
1| 4.0000 5.0000 6.0000

=== a line without three numbers is a format error naming the file, or - for standard input, and the line
< p
| 1 2 3
| # ok
| 4 5
| 6 7 8
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_points a_to_b_t4 p; echo "status $?"; xfm_points a_to_b_t4 < p
1| 1.0000 2.0000 3.0000
1| # ok
1| status 255
1| 1.0000 2.0000 3.0000
1| # ok
2| xfm_points: p:3 format error
2| xfm_points: -:3 format error
? 255

=== read errors, and standard output on a full device
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_points no_t4; echo "status $?"; xfm_points a_to_b_t4 none; echo "status $?"; echo 1 2 3 | xfm_points a_to_b_t4 >/dev/full
1| status 255
1| status 255
2| xfm_points: no_t4 read error
2| xfm_points: none read error
2| xfm_points: standard output write error
? 255

=== the manual's examples
< mpr_to_atlas_t4
| @MPR_TO_ATLAS@
< peaks.csv
| # x,y,z,label
| -42,-22,58,motor
| 38.5,-70,44.25,parietal
$ xfm_points mpr_to_atlas_t4 peaks.csv > mpr.csv && xfm_points -i mpr_to_atlas_t4 < mpr.csv
1| # x,y,z,label
1| -42.0000,-22.0000,58.0000,motor
1| 38.5000,-70.0000,44.2500,parietal
> mpr.csv
| # x,y,z,label
| -40.3094,-48.6439,55.4213,motor
| 45.8297,-84.9229,37.9247,parietal
