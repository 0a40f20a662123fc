# lag_table: one subject's lag table, each region's autocorrelation at lags
# -M to M over the kept frames, from its region time series.
@@ ID $Id: lag_table.cpp,v 1.1 2026/12/09 20:00:00 regkit Exp $
@@ USAGE Usage:\tlag_table -l<mlag> <series> <lagfile>\ne.g.,\tlag_table -l20 -m3x197+ sub01_ts.csv sub01_lags.dat\n\toptions\n\t-l<int>\tlargest lag, at least 1 (required)\n\t-m<fmt>\tframe mask, as pattern_list expands it: '+' keeps a frame\n\t-H\tthe first line names the regions even when it holds numbers only
@@ HEAD #      lag         a         b
@@ ROW0          0  1.000000  1.000000
@@ ROWS         -1  0.250000 -0.150000\n         0  1.000000  1.000000\n         1  0.250000 -0.150000
@@ FRAMES 1 2\n2 1\n3 4\n4 3

=== the worked example: two regions, four frames, lags -1 to 1
< ts.txt
| a b
| @FRAMES@
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=4 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -l1 ts.txt lags.dat
| #@ID@
| @HEAD@
| @ROWS@

=== a censored frame drops its value from the mean and its pairs from every lag
< ts.txt
| a b
| 1 2
| 2 1
| 9 7
| 3 4
| 4 3
$ lag_table -m2+x2+ -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=5 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -m2+x2+ -l1 ts.txt lags.dat
| #@ID@
| @HEAD@
|         -1  0.300000  0.300000
| @ROW0@
|          1  0.300000  0.300000

=== a mask that censors the first frame
< ts.txt
| a b
| @FRAMES@
| 5 0
$ lag_table -l1 -m1x4+ ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=5 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -l1 -m1x4+ ts.txt lags.dat
| #@ID@
| @HEAD@
|         -1  0.250000 -0.200000
| @ROW0@
|          1  0.250000 -0.200000

=== a spreadsheet's CSV: byte order mark, CR LF, quoted labels with blanks, an empty label
< ts.csv
| \xEF\xBB\xBF"left area", "" ,c\r
| 1, 2 ,1\r
| 2,1,2\r
| 3,4,4\r
| 4,3,3\r
$ lag_table -l1 ts.csv lags.dat
1| @ID@
1| Reading: ts.csv
1| frames=4 kept=4 regions=3 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -l1 ts.csv lags.dat
| #@ID@
| #      lag left_area        r2         c
|         -1  0.250000 -0.150000  0.150000
|          0  1.000000  1.000000  1.000000
|          1  0.250000 -0.150000  0.150000

=== comment lines and blank lines are skipped wherever they are
< ts.txt
| # made by hand
|
| a b
|   # frames follow
| 1 2
| 2 1
| \t
| 3 4
| 4 3
|
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=4 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -l1 ts.txt lags.dat
| #@ID@
| @HEAD@
| @ROWS@

=== no header: a first line of numbers is a frame, the regions r1, r2; tabs with blanks around fields
< ts.tsv
| 1 \t 2
| 2\t1
| 3\t 4
| 4 \t3
$ lag_table -l1 ts.tsv lags.dat
1| @ID@
1| Reading: ts.tsv
1| frames=4 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -l1 ts.tsv lags.dat
| #@ID@
| #      lag        r1        r2
| @ROWS@

=== -H: a first line of numbers names the regions
< ts.txt
| 7 12
| 1 2
| 2 1
| 3 4
| 4 3
$ lag_table -H -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=4 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -H -l1 ts.txt lags.dat
| #@ID@
| #      lag         7        12
| @ROWS@

=== a series from a pipe, which cannot be read twice, is read all the same
< ts.txt
| # counted ahead in a file, not in a pipe
| a b
| @FRAMES@
$ cat ts.txt | lag_table -l1 /dev/stdin lags.dat
1| @ID@
1| Reading: /dev/stdin
1| frames=4 kept=4 regions=2 mlag=1
1| Writing: lags.dat
> lags.dat
| #lag_table -l1 /dev/stdin lags.dat
| #@ID@
| @HEAD@
| @ROWS@

=== a value that is not a number: FILE:LINE counts every line, and the old lagfile stays
% printf 'old\n' >lags.dat
< ts.txt
| # two regions
| a b
| 1 2
| 2 n/a
| 3 4
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
2| lag_table: ts.txt:4 format error
? 255
> lags.dat
| old

=== an empty field between commas is a format error
% printf 'old\n' >lags.dat
< ts.csv
| a,b
| 1,2
| 2,
| 3,4
$ lag_table -l1 ts.csv lags.dat
1| @ID@
1| Reading: ts.csv
2| lag_table: ts.csv:3 format error
? 255
> lags.dat
| old

=== a number too large for a double is no finite number: a format error
< ts.txt
| a b
| 1 2
| 2 1e999
| 3 4
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
2| lag_table: ts.txt:3 format error
? 255
>! lags.dat

=== a row with a field too many is a format error
% printf 'old\n' >lags.dat
< ts.txt
| a b
| 1 2
| 2 1
| 3 4 5
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
2| lag_table: ts.txt:4 format error
? 255
> lags.dat
| old

=== a short row is a format error
< ts.txt
| a b
| 1 2
| 2
| 3 4
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
2| lag_table: ts.txt:3 format error
? 255
>! lags.dat

=== no more frames than the largest lag; the series' control bytes shown as escapes
% printf 'old\n' >lags.dat
< ts.txt
| a b
| 1 2
| 2 1
% mv ts.txt "$(printf 'ts\033[2J.txt')"
$ lag_table -l2 ts*J.txt lags.dat
1| @ID@
1| Reading: ts\\033[2J.txt
2| lag_table: ts\\033[2J.txt has 2 frames, too few for lags up to 2
? 255
> lags.dat
| old

=== a mask that does not give one symbol per frame
% printf 'old\n' >lags.dat
< ts.txt
| a b
| @FRAMES@
$ lag_table -l1 -m2x3+ ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
2| lag_table: -m2x3+ does not give one symbol for each of the 4 frames of ts.txt
? 255
> lags.dat
| old

=== a region constant over the kept frames, named by its label
% printf 'old\n' >lags.dat
< ts.txt
| a flat
| 1 9
| 2 2
| 3 2
| 4 2
$ lag_table -l1 -mx3+ ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=4 kept=3 regions=2 mlag=1
2| lag_table: ts.txt: region flat is constant over the kept frames
? 255
> lags.dat
| old

=== a region whose squares underflow to 0 has no autocorrelation either
% printf 'old\n' >lags.dat
< ts.txt
| a b
| 1e-200 1
| -1e-200 2
| 3e-200 1
$ lag_table -l1 ts.txt lags.dat
1| @ID@
1| Reading: ts.txt
1| frames=3 kept=3 regions=2 mlag=1
2| lag_table: ts.txt: region a has values too small or too large to square and sum
? 255
> lags.dat
| old

=== usage: no -l
$ lag_table ts.txt lags.dat
1| @ID@
2| lag_table: -l is required
2| @USAGE@
? 1

=== usage: -l of a number that is not a positive integer
$ lag_table -l0 ts.txt lags.dat
1| @ID@
2| lag_table: -l takes a positive integer: -l0
2| @USAGE@
? 1

=== usage: one operand
$ lag_table -l1 ts.txt
1| @ID@
2| lag_table: missing operand
2| @USAGE@
? 1

=== usage: three operands
$ lag_table -l1 ts.txt lags.dat more.dat
1| @ID@
2| lag_table: extra operand more.dat
2| @USAGE@
? 1

=== usage: an unknown letter
$ lag_table -l1 -x ts.txt lags.dat
1| @ID@
2| lag_table: unknown option -x
2| @USAGE@
? 1

=== lag_table's files are lag_pool's tables, a label's bytes from 0x80 up and '#' made '_'
< t1.txt
| a\xC3\xA9x b#y
| @FRAMES@
| 5 0
< t2.txt
| a b
| 2 1
| 1 0
| 4 3
| 3 5
| 2 2
< pair.lst
| s01.dat
| s02.dat
$ lag_table -l1 t1.txt s01.dat >/dev/null && lag_table -l1 t2.txt s02.dat >/dev/null && lag_pool pair.lst 2>/dev/null | tail -n1
1| Bartlett correction factor (sum of gammabar) = 0.9971
> pair_avg.dat
| #lag_pool pair.lst
| #$Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
| @HEAD@
|         -1    0.1077   -0.0135
|          0    1.0000    1.0000
|          1    0.1077   -0.0135
