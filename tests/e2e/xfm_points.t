# xfm_points: maps points through a transform file.

# A turn by 90 degrees about z, a stretch along z and a shift: (x, y, z)
# maps to (10 - y, x - 5, 2 z + 1).
@@ TURN t4\n  0 -1 0 10\n  1  0 0 -5\n  0  0 2  1\n  0  0 0  1

=== usage without a transform (option groups and a lone - are no operands), with an unknown option or an operand too many: one line says why
$ xfm_points -i -; xfm_points -I a_to_b_t4 peaks.csv; xfm_points T in.csv out.csv
1| Usage:\txfm_points <t4file> [pointfile]
1| e.g.,\txfm_points qx42c_anat_ave_to_qx42c_234-3_t4 peaks.txt
1| \toption
1| \t-i\tmap through the inverse transform
1| Usage:\txfm_points <t4file> [pointfile]
1| e.g.,\txfm_points qx42c_anat_ave_to_qx42c_234-3_t4 peaks.txt
1| \toption
1| \t-i\tmap through the inverse transform
1| Usage:\txfm_points <t4file> [pointfile]
1| e.g.,\txfm_points qx42c_anat_ave_to_qx42c_234-3_t4 peaks.txt
1| \toption
1| \t-i\tmap through the inverse transform
2| xfm_points: missing operand
2| xfm_points: unknown option -I
2| xfm_points: extra operand out.csv
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

=== points in, points out: comments, blank lines and every byte around the three numbers kept; -i maps them back
< a_to_b_t4
| @TURN@
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
1|   9.7500, -9.5000 ,21.0000 ; B
1| 2.0000\t2.0000 19.0000 rest here
1| 10.0000 -5.0000 1.0000# x,y,z,name
1| 1.0000,2.0000,3.0000,A
1|
1|   -4.5000, 0.2500 ,10.0000 ; B
1| 7.0000\t8.0000 9.0000 rest here
1| 0.0000 0.0000 0.0000\c

# The first line that is neither blank nor a comment is a header when none
# of its fields is a number: tabs, commas or blanks part its fields, and the
# columns named x, y and z hold the point, in any order and any case.
=== a header row names the point's columns; the rest of every line is kept, separators included
< a_to_b_t4
| @TURN@
< peaks.csv
| X,Y,Z,label\r
| 1,2,3,motor\r
|  -4.5 ,0.25,1e1,parietal\r
< electrodes.tsv
| name\tx\ty\tz\tsize
| E1\t1\t2\t3\t5
| C3 ref\t-4.5\t0.25\t10\tn/a
< zyx.txt
| # from a peak table
|
| "id"  "Z"  "y"  "X"
| p1  3  2  1
| p2  10 0.25 -4.5  # second
| p3  "3"  "2"  "1"
$ xfm_points a_to_b_t4 peaks.csv && xfm_points a_to_b_t4 zyx.txt && xfm_points a_to_b_t4 electrodes.tsv | xfm_points -i a_to_b_t4
1| X,Y,Z,label\r
1| 8.0000,-4.0000,7.0000,motor\r
1|  9.7500 ,-9.5000,21.0000,parietal\r
1| # from a peak table
1|
1| "id"  "Z"  "y"  "X"
1| p1  7.0000  -4.0000  8.0000
1| p2  21.0000 -9.5000 9.7500  # second
1| p3  "7.0000"  "-4.0000"  "8.0000"
1| name\tx\ty\tz\tsize
1| E1\t1.0000\t2.0000\t3.0000\t5
1| C3 ref\t-4.5000\t0.2500\t10.0000\tn/a

=== a spreadsheet's export: a quoted field holds its commas and doubled quotes, and every byte but the point's is kept
< a_to_b_t4
| @TURN@
< export.csv
| \xef\xbb\xbf"Electrode name","Z","Y","X",side\r
| "Grid A, 8",18.0,12.5,-58.25,L\r
| "say ""hi"", 2",1,2,3,"R, x"\r
$ xfm_points a_to_b_t4 export.csv
1| \xef\xbb\xbf"Electrode name","Z","Y","X",side\r
1| "Grid A, 8",37.0000,-63.2500,-2.5000,L\r
1| "say ""hi"", 2",3.0000,-2.0000,8.0000,"R, x"\r

=== a row whose point is not known, n/a or empty in all three fields, is kept as it is
< a_to_b_t4
| @TURN@
< e.tsv
| name\tx\ty\tz\tsize
| E1\tn/a\tn/a\tn/a\tn/a
| E2\t1\t2\t3\t5
| E3\t\t\t\t
$ xfm_points a_to_b_t4 e.tsv
1| name\tx\ty\tz\tsize
1| E1\tn/a\tn/a\tn/a\tn/a
1| E2\t8.0000\t-4.0000\t7.0000\t5
1| E3\t\t\t\t

=== a header's unit in parentheses or brackets is no part of the column's name
< a_to_b_t4
| @TURN@
< mm.csv
| label,x (mm),"Y [mm]", Z(mm)
| m,1,2,3
$ xfm_points a_to_b_t4 mm.csv
1| label,x (mm),"Y [mm]", Z(mm)
1| m,8.0000,-4.0000,7.0000

=== a NUL ends the text of a line, not the line
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
% printf '1 2 3\0x\n#\0y\n4 5 6\n' > p
$ xfm_points a_to_b_t4 p
1| 1.0000 2.0000 3.0000
1| #
1| 4.0000 5.0000 6.0000

=== a line without its point, or with only part of it known, is a format error naming the file, or - for standard input, and the line
< p
| 1 2 3
| # ok
| 4 5
| 6 7 8
< e.tsv
| name\tx\ty\tz
| E1\t1\t2\t3
| E2\tn/a\t2\t3
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_points a_to_b_t4 p; echo "status $?"; xfm_points a_to_b_t4 e.tsv; echo "status $?"; xfm_points a_to_b_t4 < p
1| 1.0000 2.0000 3.0000
1| # ok
1| status 255
1| name\tx\ty\tz
1| E1\t1.0000\t2.0000\t3.0000
1| status 255
1| 1.0000 2.0000 3.0000
1| # ok
2| xfm_points: p:3 format error
2| xfm_points: e.tsv:3 format error
2| xfm_points: -:3 format error
? 255

=== read errors (standard input closed too), and standard output on a full device
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_points no_t4; echo "status $?"; xfm_points a_to_b_t4 none; echo "status $?"; xfm_points a_to_b_t4 - <&-; echo "status $?"; echo 1 2 3 | xfm_points a_to_b_t4 >/dev/full
1| status 255
1| status 255
1| status 255
2| xfm_points: no_t4 read error
2| xfm_points: none read error
2| xfm_points: - read error
2| xfm_points: standard output write error
? 255
