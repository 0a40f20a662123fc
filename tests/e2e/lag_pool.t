# lag_pool: pools per-subject lag tables into group means over subjects
# (_avg.dat), means over regions (_ROIavg.dat) and the Bartlett correction
# factor (_gammabar.dat), written beside the list file.
@@ ID $Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $

=== usage on standard error with status 1, after the revision line
$ lag_pool
1| @ID@
2| Usage:\tlag_pool <lstfile>
2| \toption
? 1

=== a lone --help: the revision line and the usage text on standard output, status 0
$ lag_pool --help
1| @ID@
1| Usage:\tlag_pool <lstfile>
1| \toption

=== option groups alone, --help among them, are no list file; the name is the last path component
$ $(command -v lag_pool) -v --help - -lst
1| @ID@
2| Usage:\tlag_pool <lstfile>
2| \toption
? 1

=== the worked example: one subject, two regions, lags -1 to 1
< t1.dat
| #lag A B
| -1 1 2
| 0 3 4
| 1 5 6
< list.lst
| t1.dat
$ lag_pool list.lst
1| @ID@
1| Reading: list.lst
1| nsub=1 nreg2 mlag=1
1| Reading: t1.dat
1| #lag A B
1| Bartlett correction factor (sum of gammabar) = 44.0000
2| Writing: list_avg.dat
2| Writing: list_ROIavg.dat
2| Writing: list_gammabar.dat
> list_avg.dat
| #lag_pool list.lst
| #@ID@
| #      lag         A         B
|         -1    1.0000    2.0000
|          0    3.0000    4.0000
|          1    5.0000    6.0000
> list_ROIavg.dat
| #lag_pool list.lst
| #@ID@
| #      lag    ROIavg
|         -1    1.5000
|          0    3.5000
|          1    5.5000
> list_gammabar.dat
| #lag_pool list.lst
| #@ID@
| #sum of gammabar = 44.0000
|         -1    2.0000
|          0   12.0000
|          1   30.0000

=== the last header line before the data sets nreg; every '#' in it parts tokens; headers echo as read
< t.dat
| #cross-correlation of sub001 \t\r
| #lag A#1 B
| -1 1 2 3
| 0 4 5 6
| 1 7 8 9
< three.lst
| t.dat
$ lag_pool three.lst
1| @ID@
1| Reading: three.lst
1| nsub=1 nreg3 mlag=1
1| Reading: t.dat
1| #cross-correlation of sub001 \t\r
1| #lag A#1 B
1| Bartlett correction factor (sum of gammabar) = 92.0000
2| Writing: three_avg.dat
2| Writing: three_ROIavg.dat
2| Writing: three_gammabar.dat
> three_avg.dat
| #lag_pool three.lst
| #@ID@
| #      lag         A         1         B
|         -1    1.0000    2.0000    3.0000
|          0    4.0000    5.0000    6.0000
|          1    7.0000    8.0000    9.0000
> three_ROIavg.dat
| #lag_pool three.lst
| #@ID@
| #      lag    ROIavg
|         -1    2.0000
|          0    5.0000
|          1    8.0000
> three_gammabar.dat
| #lag_pool three.lst
| #@ID@
| #sum of gammabar = 92.0000
|         -1    3.6667
|          0   24.6667
|          1   63.6667

# s2 stops after lag 0: its lags 1 and 2 enter the means as zeros. Its lags
# are read as integers (-2.0 is -2, -1.9 is -1), a value that is no number is
# 0, and its one header line with a lag column and two labels replaces A and
# B wherever it stands. A last line without a newline echoes without one.
=== two subjects: a table stopping early, fractional lags, words for values, labels from a later table
< s1.dat
| #lag A B
| -2 1 2
| -1 3 4
| 0 5 6
| 1 7 8
| 2 9 10
| #stop\c
< s2.dat
| #2 regions, 3 lags
| -2.0 2 x
| #lag Left_PCC Right_PCC
| -1.9 3 1e1
| 0 n/a -4
| #end
< pair.lst
| s1.dat
| s2.dat
$ lag_pool pair.lst
1| @ID@
1| Reading: pair.lst
1| nsub=2 nreg2 mlag=2
1| Reading: s1.dat
1| #lag A B
1| #stopReading: s2.dat
1| #2 regions, 3 lags
1| #lag Left_PCC Right_PCC
1| #end
1| Bartlett correction factor (sum of gammabar) = 61.5000
2| Writing: pair_avg.dat
2| Writing: pair_ROIavg.dat
2| Writing: pair_gammabar.dat
> pair_avg.dat
| #lag_pool pair.lst
| #@ID@
| #      lag  Left_PCC Right_PCC
|         -2    1.5000    1.0000
|         -1    3.0000    7.0000
|          0    2.5000    1.0000
|          1    3.5000    4.0000
|          2    4.5000    5.0000
> pair_ROIavg.dat
| #lag_pool pair.lst
| #@ID@
| #      lag    ROIavg
|         -2    1.2500
|         -1    5.0000
|          0    1.7500
|          1    3.7500
|          2    4.7500
> pair_gammabar.dat
| #lag_pool pair.lst
| #@ID@
| #sum of gammabar = 61.5000
|         -2    1.5000
|         -1   21.0000
|          0    2.5000
|          1   14.0000
|          2   22.5000

=== results beside a list in a subdirectory; options before and after; the last list line needs no newline
% mkdir data
< data/sub1.dat
| #lag PCC mPFC
| -1 0.5 0.25
| 0 1 -1
| 1 0.25 0.5
< data/sub2.dat
| #lag PCC mPFC
| -1 0.5 -0.25
| 0 -1 1
| 1 0.75 0.5
< data/study.lst.txt
| data/sub1.dat
| data/sub2.dat\c
$ lag_pool -v data/study.lst.txt -q other.lst
1| @ID@
1| Reading: data/study.lst.txt
1| nsub=2 nreg2 mlag=1
1| Reading: data/sub1.dat
1| #lag PCC mPFC
1| Reading: data/sub2.dat
1| #lag PCC mPFC
1| Bartlett correction factor (sum of gammabar) = 0.2500
2| Writing: data/study_avg.dat
2| Writing: data/study_ROIavg.dat
2| Writing: data/study_gammabar.dat
>! study_avg.dat
>! other_avg.dat
> data/study_avg.dat
| #lag_pool -v data/study.lst.txt -q other.lst
| #@ID@
| #      lag       PCC      mPFC
|         -1    0.5000    0.0000
|          0    0.0000    0.0000
|          1    0.5000    0.5000
> data/study_ROIavg.dat
| #lag_pool -v data/study.lst.txt -q other.lst
| #@ID@
| #      lag    ROIavg
|         -1    0.2500
|          0    0.0000
|          1    0.5000
> data/study_gammabar.dat
| #lag_pool -v data/study.lst.txt -q other.lst
| #@ID@
| #sum of gammabar = 0.2500
|         -1    0.0000
|          0    0.0000
|          1    0.2500

# With one region there is no pair: each gammabar is 0/0, which x86 makes a
# NaN with its sign bit set, and so is their sum. A sum starts from +0, so
# the -0 at lag 0 averages to +0.
=== one region: gammabar and the factor are not a number
< t.dat
| #lag PCC
| -1 0.5
| 0 -0
| 1 -0.75
< one.lst
| t.dat
$ lag_pool one.lst
1| @ID@
1| Reading: one.lst
1| nsub=1 nreg1 mlag=1
1| Reading: t.dat
1| #lag PCC
1| Bartlett correction factor (sum of gammabar) = -nan
2| Writing: one_avg.dat
2| Writing: one_ROIavg.dat
2| Writing: one_gammabar.dat
> one_avg.dat
| #lag_pool one.lst
| #@ID@
| #      lag       PCC
|         -1    0.5000
|          0    0.0000
|          1   -0.7500
> one_ROIavg.dat
| #lag_pool one.lst
| #@ID@
| #      lag    ROIavg
|         -1    0.5000
|          0    0.0000
|          1   -0.7500
> one_gammabar.dat
| #lag_pool one.lst
| #@ID@
| #sum of gammabar = -nan
|         -1      -nan
|          0      -nan
|          1      -nan

=== a value or label that fills its field is written with a blank before it: every line splits into its fields
< t.dat
| #lag Cerebellum Left_Hippocampus_1 Left_Posterior_Cingulate_Cortex1 R
| -1 12345.5 -1234.25 0.5 -999.5
| 0 100000.25 0.5 9999.5 2
| 1 -1000.5 2 -10000 1
< wide.lst
| t.dat
$ lag_pool wide.lst > /dev/null && awk 'NR > 2 { print NF }' wide_avg.dat
1| 6
1| 5
1| 5
1| 5
2| Writing: wide_avg.dat
2| Writing: wide_ROIavg.dat
2| Writing: wide_gammabar.dat
> wide_avg.dat
| #lag_pool wide.lst
| #@ID@
| #      lag Cerebellum Left_Hippocampus_1 Left_Posterior_Cingulate_Cortex1         R
|         -1 12345.5000 -1234.2500    0.5000 -999.5000
|          0 100000.2500    0.5000 9999.5000    2.0000
|          1 -1000.5000    2.0000 -10000.0000    1.0000
> wide_ROIavg.dat
| #lag_pool wide.lst
| #@ID@
| #      lag    ROIavg
|         -1 2528.0625
|          0 27500.5625
|          1 -2749.3750
> wide_gammabar.dat
| #lag_pool wide.lst
| #@ID@
| #sum of gammabar = 163976896.0000
|         -1 -4389678.5000
|          0 166704576.0000
|          1 1662000.1250

=== 1,500 regions with long labels on lines of tens of kilobytes are read whole
< make.awk
| # Two subjects' tables in big.lst: 1,500 regions with labels of 49 bytes,
| # lags -2 to 2; and in "expected" the rows lag_pool must write below the
| # two header lines of big_avg.dat.
| function label(r) {
| 	return sprintf("fine_cortical_parcellation_%s_region_%04d_of_1500", r % 2 ? "LH" : "RH", r)
| }
| function value(s, r, l) {
| 	return s == 1 ? ((r * 7 + l * 3 + 100) % 9 - 4) / 2 : ((r * 5 + l + 100) % 7 - 3) / 4
| }
| BEGIN {
| 	for (s = 1; s <= 2; s++) {
| 		f = "t" s ".dat"
| 		print f > "big.lst"
| 		printf "#lag" > f
| 		for (r = 1; r <= 1500; r++)
| 			printf " %s", label(r) > f
| 		print "" > f
| 		for (l = -2; l <= 2; l++) {
| 			printf "%d", l > f
| 			for (r = 1; r <= 1500; r++)
| 				printf " %12.6f", value(s, r, l) > f
| 			print "" > f
| 		}
| 		close(f)
| 	}
| 	printf "#%9s", "lag" > "expected"
| 	for (r = 1; r <= 1500; r++)
| 		printf " %s", label(r) > "expected"
| 	print "" > "expected"
| 	for (l = -2; l <= 2; l++) {
| 		printf "%10d", l > "expected"
| 		for (r = 1; r <= 1500; r++)
| 			printf "%10.4f", (value(1, r, l) + value(2, r, l)) / 2 > "expected"
| 		print "" > "expected"
| 	}
| }
% awk -f make.awk
$ lag_pool big.lst > out
2| Writing: big_avg.dat
2| Writing: big_ROIavg.dat
2| Writing: big_gammabar.dat
& [ "$(head -n 1 t1.dat | wc -c)" -gt 70000 ] && [ "$(tail -n 1 t2.dat | wc -c)" -gt 19000 ]
& [ "$(sed -n 3p out)" = "nsub=2 nreg1500 mlag=2" ] && [ "$(sed -n 5p out)" = "$(head -n 1 t1.dat)" ]
& [ "$(head -n 1 big_avg.dat)" = "#lag_pool big.lst" ] && tail -n +3 big_avg.dat | cmp - expected
& [ "$(wc -l < big_ROIavg.dat)" = 8 ] && [ "$(wc -l < big_gammabar.dat)" = 8 ]

=== an empty list file is a format error naming it
% : > empty.lst
$ lag_pool empty.lst
1| @ID@
1| Reading: empty.lst
2| lag_pool: empty.lst format error
? 255

=== a list file that cannot be opened, or read, is a read error naming it
% mkdir dir.lst
$ lag_pool none.lst; echo "status $?"; lag_pool dir.lst
1| @ID@
1| Reading: none.lst
1| status 255
1| @ID@
1| Reading: dir.lst
2| lag_pool: none.lst read error
2| lag_pool: dir.lst read error
? 255

=== every listed table is checked before any is read
< t.dat
| #lag A B
| -1 1 2
< list.lst
| t.dat
| missing.dat
| t.dat
$ lag_pool list.lst
1| @ID@
1| Reading: list.lst
2| lag_pool: missing.dat read error
? 255

=== a blank list line names the empty path; a carriage return stays part of the path, and a name's control bytes show as escapes
< t.dat
| #lag A B
| -1 1 2
< blank.lst
| t.dat
|
| t.dat
< crlf.lst
| t.dat\r
% printf 'x\033[2J.dat\n' > "$(printf 'e\033[2J.lst')"
$ lag_pool blank.lst; lag_pool crlf.lst; lag_pool e*J.lst
1| @ID@
1| Reading: blank.lst
1| @ID@
1| Reading: crlf.lst
1| @ID@
1| Reading: e\\033[2J.lst
2| lag_pool:  read error
2| lag_pool: t.dat\\r read error
2| lag_pool: x\\033[2J.dat read error
? 255

=== a table that is a directory is a read error, first or later
% mkdir first.dat later.dat
< t.dat
| #lag A B
| -1 1 2
< first.lst
| first.dat
< later.lst
| t.dat
| later.dat
$ lag_pool first.lst; lag_pool later.lst
1| @ID@
1| Reading: first.lst
1| @ID@
1| Reading: later.lst
1| nsub=2 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
1| Reading: later.dat
2| lag_pool: first.dat read error
2| lag_pool: later.dat read error
? 255

# None of these first tables gives a shape. Each line printed: the status,
# then the last line on standard output, which is never the nsub line.
=== the first table: data before any header, no region, no data, a bad first line
< nohead.dat
| -1 1 2
| #lag A B
< indented.dat
|  #lag A B
| -1 1 2
< lagonly.dat
| #lag
| -1
< hashonly.dat
| #
| -1
< nodata.dat
| #lag A B
< blank.dat
| #lag A B
|
| -1 1 2
< count.dat
| #lag A B
| -1 1 2 3
< zero.dat
| #lag A B
| 0 1 2
< positive.dat
| #lag A B
| 3 1 2
< word.dat
| #lag A B
| lag 1 2
< intmin.dat
| #lag A B
| -2147483648 1 2
% for t in nohead indented lagonly hashonly nodata blank count zero positive word intmin; do echo $t.dat > $t.lst; done
$ for t in nohead indented lagonly hashonly nodata blank count zero positive word intmin; do lag_pool $t.lst > out; echo "$? $(tail -n 1 out)"; done
1| 255 Reading: nohead.lst
1| 255 Reading: indented.lst
1| 255 Reading: lagonly.lst
1| 255 Reading: hashonly.lst
1| 255 Reading: nodata.lst
1| 255 Reading: blank.lst
1| 255 Reading: count.lst
1| 255 Reading: zero.lst
1| 255 Reading: positive.lst
1| 255 Reading: word.lst
1| 255 Reading: intmin.lst
2| lag_pool: nohead.dat format error
2| lag_pool: indented.dat format error
2| lag_pool: lagonly.dat format error
2| lag_pool: hashonly.dat format error
2| lag_pool: nodata.dat format error
2| lag_pool: blank.dat format error
2| lag_pool: count.dat format error
2| lag_pool: zero.dat format error
2| lag_pool: positive.dat format error
2| lag_pool: word.dat format error
2| lag_pool: intmin.dat format error

# After good.dat (lags -1 to 1, two regions), each of these second tables
# is a format error naming it. Each line printed: the status, then the last
# line on standard output, which names the table being read.
=== a later table: lags from -mlag up without gap, repeat or excess; blank lines and remarks are data lines
< good.dat
| #lag A B
| -1 1 2
| 0 3 4
| 1 5 6
< start.dat
| 0 3 4
< gap.dat
| -1 1 2
| 1 5 6
< repeat.dat
| -1 1 2
| -1 1 2
< excess.dat
| -1 1 2
| 0 3 4
| 1 5 6
| 2 7 8
< blankmid.dat
| -1 1 2
|
| 0 3 4
< blankend.dat
| #lag A B
| -1 1 2
| 0 3 4
| 1 5 6
|
< remark.dat
| -1 1 2 # first run
< short.dat
| -1 1
< wider.dat
| #lag A B C
| -1 1 2 3
% for t in start gap repeat excess blankmid blankend remark short wider; do printf 'good.dat\n%s.dat\n' $t > $t.lst; done
$ for t in start gap repeat excess blankmid blankend remark short wider; do lag_pool $t.lst > out; echo "$? $(tail -n 1 out)"; done
1| 255 Reading: start.dat
1| 255 Reading: gap.dat
1| 255 Reading: repeat.dat
1| 255 Reading: excess.dat
1| 255 Reading: blankmid.dat
1| 255 #lag A B
1| 255 Reading: remark.dat
1| 255 Reading: short.dat
1| 255 #lag A B C
2| lag_pool: start.dat format error
2| lag_pool: gap.dat format error
2| lag_pool: repeat.dat format error
2| lag_pool: excess.dat format error
2| lag_pool: blankmid.dat format error
2| lag_pool: blankend.dat format error
2| lag_pool: remark.dat format error
2| lag_pool: short.dat format error
2| lag_pool: wider.dat format error

=== a first lag whose rows could never be counted is a memory error
< huge.dat
| #lag A
| -1073741824 1
< huge.lst
| huge.dat
$ lag_pool huge.lst
1| @ID@
1| Reading: huge.lst
1| nsub=1 nreg1 mlag=1073741824
2| lag_pool: memory allocation error
? 255

# The sums of 2^31 lags would take 24 GB: asked for only once they fit.
=== tables read on several threads give the bytes one thread gives, a failing table included
% for s in 1 2 3 4 5 6 7; do printf '# subject %d\n#lag A B\n-2 %d.1 2.5\n-1 0.%d 1e-3\n0 3 -%d\n1 1 1\n2 0.3 7\n' $s $s $s $s > s$s.dat; done
% ls s?.dat > good.lst && sed 's/s4.dat/gap.dat/' good.lst > bad.lst && sed 's/^1 1 1$/2 1 1/' s4.dat > gap.dat
$ for l in good bad; do for n in 3 1; do REGKIT_THREADS=$n lag_pool $l.lst > $l$n.out 2> $l$n.err
  echo "$l: status $?"; cat ${l}_*.dat > $l$n.dat 2> /dev/null; done
  cmp ${l}1.out ${l}3.out && cmp ${l}1.err ${l}3.err && cmp ${l}1.dat ${l}3.dat; done; tail -n 3 bad3.out
  cat bad3.err
1| good: status 0
1| good: status 0
1| bad: status 255
1| bad: status 255
1| Reading: gap.dat
1| # subject 4
1| #lag A B
1| lag_pool: gap.dat format error

# A thread reads regular files only: a FIFO in the list is opened by the
# driver in its turn, never early by a thread, which would let its writer go
# before the run reads it (here while the driver waits for the FIFO before).
=== a FIFO in the list is opened in its turn, never early by a thread
% for s in 1 2 3; do printf '#lag A\n-1 %d\n0 1\n' $s > s$s.dat; done && mkfifo p.dat f.dat && printf 's1.dat\np.dat\nf.dat\n' > f.lst
$ { echo opened > early; cat s3.dat; } > f.dat & REGKIT_THREADS=4 timeout 20 lag_pool f.lst > /dev/null 2>&1 &
  sleep 1; ls early 2> /dev/null; cat s2.dat > p.dat; wait $!; echo "status $?"
1| status 0

# The first table gives the shape and its values in one read: a pipe or a
# FIFO first in the list is read once, as a file with its bytes is.
=== a pipe or a FIFO first in the list gives the results of a file with its bytes
% printf '# one\n#lag A B\n-1 0.5 2\n0 3 4\n1 5 6\n' > s1.dat && printf '#lag A B\n-1 1 1\n0 1 1\n' > s2.dat
% printf 's1.dat\ns2.dat\n' > f.lst && printf '/dev/fd/7\ns2.dat\n' > p.lst && printf 'q.fifo\ns2.dat\n' > q.lst && mkfifo q.fifo
$ for n in 1 2; do
    export REGKIT_THREADS=$n; lag_pool f.lst > f.out; lag_pool p.lst 7< <(cat s1.dat) > p.out
    cat s1.dat > q.fifo & timeout 20 lag_pool q.lst > q.out; echo "$n: status $?"
    for r in p q; do
      for f in _avg _ROIavg _gammabar; do cmp <(tail -n +2 f$f.dat) <(tail -n +2 $r$f.dat); done
      cmp <(sed 1,3d f.out) <(sed '1,3d; s,^Reading: \(/dev/fd/7\|q.fifo\)$,Reading: s1.dat,' $r.out)
    done
  done 2> /dev/null; sed -n 4,6p q.out
1| 1: status 0
1| 2: status 0
1| Reading: q.fifo
1| # one
1| #lag A B

# The first table fails at its end, while a thread may already be at the
# next. The run ends as one thread ends it, at once: a FIFO after it that
# nobody writes is not waited for, whether nobody has it open or the shell
# holds it open (a thread reads regular files only), and neither is a table
# whose opening stalls, as on a dead mount (strace holds it for a minute).
# The message is awaited through a FIFO.
=== a failed table ends the run at once: a FIFO nobody writes after it, an open that stalls
! strace -o /dev/null true
% awk 'BEGIN { print "#lag A B"; for (l = -100000; l < 0; l++) print l, 1, 2; print "0 1" }' > bad.dat
% printf '#lag A B\n-1 1 2\n' > t2.dat && mkfifo fifo.dat err && printf 'bad.dat\nfifo.dat\n' > fifo.lst && printf 'bad.dat\nt2.dat\n' > stall.lst
$ for held in no yes; do [ $held = yes ] && exec 3<> fifo.dat; for n in 1 8
  do REGKIT_THREADS=$n timeout 20 lag_pool fifo.lst > /dev/null; echo "held $held: status $?"; done; done
  for n in 1 8
  do REGKIT_THREADS=$n ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -P t2.dat -e trace=newfstatat,openat \
    -e inject=newfstatat,openat:delay_enter=60000000 bash -c 'exec lag_pool stall.lst > /dev/null 2> err' &
  timeout 20 head -n 1 err
  kill -KILL $!; wait; done 2> /dev/null
1| held no: status 255
1| held no: status 255
1| held yes: status 255
1| held yes: status 255
1| lag_pool: bad.dat format error
1| lag_pool: bad.dat format error
2| lag_pool: bad.dat format error
2| lag_pool: bad.dat format error
2| lag_pool: bad.dat format error
2| lag_pool: bad.dat format error

# w.tab: 10 regions of 100,000-byte labels, lags -10000..10000 (800 kB of
# rows). In 16 MiB slots fit and threads start, but they cannot all hold a
# 1 MB label line: a table a thread could not read for want of memory is
# read again by the driver. big.tab's 9 MB header line fits no run.
=== inside a memory limit the result does not depend on the number of threads, a memory error included
! uninstrumented lag_pool
% awk 'BEGIN { printf "#lag"; for (r = 0; r < 10; r++) { printf " L%d", r; for (i = 0; i < 100000; i++) printf "x" }
    printf "\n"; for (l = -10000; l <= 10000; l++) printf "%d 1 2 3 4 5 6 7 8 9 0.5\n", l }' > w.tab
% (head -c 9000000 /dev/zero | tr '\0' '#'; echo) > big.tab && printf 'w.tab\nw.tab\nw.tab\n' > ok.lst && cp ok.lst big.lst && echo big.tab >> big.lst
$ for l in ok big; do for n in 1 3; do REGKIT_THREADS=$n memlimit 16M lag_pool $l.lst > $l$n.out 2> $l$n.err
  echo "$l: status $?"; cat ${l}_*.dat > $l$n.dat 2> /dev/null; done
  cmp ${l}1.out ${l}3.out && cmp ${l}1.err ${l}3.err && cmp ${l}1.dat ${l}3.dat; done
  grep -h '^Bartlett' ok3.out; tail -n 1 big3.err
1| ok: status 0
1| ok: status 0
1| big: status 255
1| big: status 255
1| Bartlett correction factor (sum of gammabar) = 396729.5938
1| lag_pool: memory allocation error

# A thread that cannot be started is done without: room for no thread, or
# for one, and the one-thread run's bytes come out.
=== threads that cannot be started are done without
! uninstrumented lag_pool
! pidlimit 1 true
% for s in 1 2 3 4 5; do printf '#lag A B\n-1 %d 2\n0 3 %d\n' $s $s > s$s.dat; done && ls s?.dat > s.lst
$ REGKIT_THREADS=1 lag_pool s.lst > 1.out 2>&1; for n in 1 2; do REGKIT_THREADS=3 pidlimit $n lag_pool s.lst > $n.out 2>&1; echo "status $?"; cmp 1.out $n.out; done
1| status 0
1| status 0

=== inside a memory limit, sums that do not fit are a memory error; a normal cohort still runs
< m.dat
| #lag A B
| -1073741823 1 2
< m.lst
| m.dat
< t.dat
| #lag A B
| -1 1 2
< ok.lst
| t.dat
| t.dat
$ memlimit 1G lag_pool m.lst; echo "status $?"; memlimit 1G lag_pool ok.lst 2> /dev/null | tail -n 1
1| @ID@
1| Reading: m.lst
1| nsub=1 nreg2 mlag=1073741823
1| status 255
1| Bartlett correction factor (sum of gammabar) = 2.0000
2| lag_pool: memory allocation error

# 2,000 regions by lags -500..500: the _avg.dat of 20 MB, written to a
# tmpfs, takes memory charged to the run's cgroup; beside the sums it does
# not fit 24 MiB (written to a disk, it would).
=== results on a tmpfs count against the memory limit: the memory error, and the old results stay whole
! uninstrumented lag_pool
! unshare -r -m mount -t tmpfs tmpfs /mnt 2>/dev/null || { echo "cannot mount a tmpfs in a user namespace"; exit 1; }
! [ -w /sys/fs/cgroup/memory ] || grep -qw memory /sys/fs/cgroup/cgroup.subtree_control 2>/dev/null || { echo "needs a memory cgroup"; exit 1; }
% awk 'BEGIN { printf "#lag"; for (r = 0; r < 2000; r++) { printf " R%d", r; row = row " 0.5" } printf "\n"; for (l = -500; l <= 500; l++) print l row }' > t.dat
% mkdir d
$ for n in 1 8
  do REGKIT_THREADS=$n unshare -r -m bash -c 'mount -t tmpfs tmpfs d && echo t.dat > d/x.lst &&
      for f in avg ROIavg gammabar; do echo earlier > d/x_$f.dat; done
    memlimit 24M lag_pool d/x.lst > /dev/null 2> err; echo "status $?"; tail -n 1 err; cat d/x_*.dat'
  done
1| status 255
1| lag_pool: memory allocation error
1| earlier
1| earlier
1| earlier
1| status 255
1| lag_pool: memory allocation error
1| earlier
1| earlier
1| earlier

# Two tokens of the header before its NUL, three of the data line: X and
# 9 are not read.
=== a NUL ends a line of the list or a table; an echoed header stops there
% printf '#lag L R\0 X\n-1 7 8\0 9\n' > n.dat && printf 'n.dat\0 junk\n' > nul.lst
$ lag_pool nul.lst
1| @ID@
1| Reading: nul.lst
1| nsub=1 nreg2 mlag=1
1| Reading: n.dat
1| #lag L RBartlett correction factor (sum of gammabar) = 56.0000
2| Writing: nul_avg.dat
2| Writing: nul_ROIavg.dat
2| Writing: nul_gammabar.dat
> nul_avg.dat
| #lag_pool nul.lst
| #@ID@
| #      lag         L         R
|         -1    7.0000    8.0000
|          0    0.0000    0.0000
|          1    0.0000    0.0000

=== a result file that cannot be created is a write error, and no result is written
< t.dat
| #lag A B
| -1 1 2
| 0 3 4
| 1 5 6
< a.lst
| t.dat
% cp a.lst b.lst && mkdir a_avg.dat b_ROIavg.dat
$ lag_pool a.lst; lag_pool b.lst
1| @ID@
1| Reading: a.lst
1| nsub=1 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
1| @ID@
1| Reading: b.lst
1| nsub=1 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
2| lag_pool: a_avg.dat write error
2| Writing: b_avg.dat
2| lag_pool: b_ROIavg.dat write error
? 255
>! a_ROIavg.dat
>! a_gammabar.dat
>! b_avg.dat
>! b_gammabar.dat

=== a result that fails, or is the file of another, is a write error: no factor line follows, no result is placed
< t.dat
| #lag A B
| -1 1 2
< c.lst
| t.dat
% ln -s /dev/full c_gammabar.dat && cp c.lst d.lst && echo earlier > d_avg.dat && ln d_avg.dat d_ROIavg.dat
% cp c.lst e.lst && ln -s e_avg.dat e_ROIavg.dat
$ lag_pool c.lst; lag_pool d.lst > /dev/null; lag_pool e.lst > /dev/null
1| @ID@
1| Reading: c.lst
1| nsub=1 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
2| Writing: c_avg.dat
2| Writing: c_ROIavg.dat
2| Writing: c_gammabar.dat
2| lag_pool: c_gammabar.dat write error
2| Writing: d_avg.dat
2| Writing: d_ROIavg.dat
2| Writing: d_gammabar.dat
2| lag_pool: d_ROIavg.dat write error
2| Writing: e_avg.dat
2| Writing: e_ROIavg.dat
2| Writing: e_gammabar.dat
2| lag_pool: e_ROIavg.dat write error
? 255
> d_ROIavg.dat
| earlier
& [ -L c_gammabar.dat ] && [ -L e_ROIavg.dat ] && [ "$(ls -A | tr '\n' ' ')" = "c.lst c_gammabar.dat d.lst d_ROIavg.dat d_avg.dat e.lst e_ROIavg.dat t.dat " ]

=== standard output that cannot be written is no success
< t.dat
| #lag A B
| -1 1 2
< d.lst
| t.dat
$ lag_pool d.lst > /dev/full
2| Writing: d_avg.dat
2| Writing: d_ROIavg.dat
2| Writing: d_gammabar.dat
2| lag_pool: standard output write error
? 255
& [ "$(wc -l < d_gammabar.dat)" = 6 ]

=== the plot script draws every row with its label: labels of 10, 18 and 32 characters, means beyond 1000 and -1000
! command -v gnuplot
< t.dat
| #lag Left_Posterior_Cingulate_Cortex1 Cerebellum Left_Hippocampus_1 x
| -1 1 2 3 4
| 0 5 12345.5 -1000.5 8
| 1 9 10 11 -1234.25
< c.lst
| t.dat
$ lag_pool c.lst >/dev/null 2>&1 && plot_rows c
1| Left_Posterior_Cingulate_Cortex1
1| Cerebellum
1| Left_Hippocampus_1
1| x
1| -1 1 1
1| -1 2 2
1| -1 3 3
1| -1 4 4
1| 0 1 5
1| 0 2 12345.5
1| 0 3 -1000.5
1| 0 4 8
1| 1 1 9
1| 1 2 10
1| 1 3 11
1| 1 4 -1234.25
& test -s c_lags.png

=== the plot script names every row at any count: past 40 regions the figure (1200 by 640) grows 13 pixels a region
! command -v gnuplot
% awk 'BEGIN { printf "#lag"; for (i = 1; i <= 100; i++) printf " R%d", i; print ""; printf "-1"; for (i = 1; i <= 100; i++) printf " %d", i % 7; print "" }' > t.dat
< c.lst
| t.dat
$ lag_pool c.lst >/dev/null 2>&1 && gnuplot -e "root='c'" "$(dirname "$(command -v plot_rows)")/../../../examples/plot_lags.gp" && od -An -tu1 -j16 -N8 c_lags.png
1|    0   0   4 176   0   0   5 140

=== the plot script: one region draws without gammabar; long labels side by side are told apart
! command -v gnuplot
< t.dat
| #lag ctx-lh-precuneus
| -1 0.5
< one.lst
| t.dat
< u.dat
| #lag Left-Hippocampus Right-Hippocampus
| -1 1 2
< two.lst
| u.dat
$ for c in one two; do lag_pool $c.lst >/dev/null 2>&1 && plot_rows $c || exit; done
1| ctx-lh-precuneus
1| -1 1 0.5
1| 0 1 0
1| 1 1 0
1| Left-Hippocampus
1| Right-Hippocampus
1| -1 1 1
1| -1 2 2
1| 0 1 0
1| 0 2 0
1| 1 1 0
1| 1 2 0
& test -s one_lags.png && test -s two_lags.png
