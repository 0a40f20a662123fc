# Faults from outside: inputs that are not what they claim to be, outputs
# that cannot take the bytes, arguments and lines far beyond any buffer.
# Every run ends with its message and status, never a crash or a hang.
@@ UNIT $Id: xfm_unit.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ REV $Id: xfm_reverse.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ CHAIN $Id: xfm_chain.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ POOL $Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $

=== a transform input that is a directory or empty is a read error after its Reading line
% mkdir d_to_e_t4 && : > empty_to_e_t4
$ xfm_reverse d_to_e_t4; xfm_reverse empty_to_e_t4; xfm_chain d_to_e_t4 e_to_f_t4
1| @REV@
1| Reading: d_to_e_t4
1| @REV@
1| Reading: empty_to_e_t4
1| @CHAIN@
1| Reading: d_to_e_t4
2| xfm_reverse: d_to_e_t4 read error
2| xfm_reverse: empty_to_e_t4 read error
2| xfm_chain: d_to_e_t4 read error
? 255

# avg: (table + zeros) / 2; gammabar: (2*4 + 4*2) / 2, (1*3 + 3*1) / 2, 0.
=== lag_pool: an empty first table gives no shape; an empty later table adds zeros
< t.dat
| #lag A B
| -1 4 8
| 0 2 6
| 1 0 2
% : > empty.dat && printf 'empty.dat\nt.dat\n' > first.lst && printf 't.dat\nempty.dat\n' > later.lst
$ lag_pool first.lst; lag_pool later.lst
1| @POOL@
1| Reading: first.lst
1| @POOL@
1| Reading: later.lst
1| nsub=2 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
1| Reading: empty.dat
1| Bartlett correction factor (sum of gammabar) = 11.0000
2| lag_pool: empty.dat format error
2| Writing: later_avg.dat
2| Writing: later_ROIavg.dat
2| Writing: later_gammabar.dat
> later_avg.dat
| #lag_pool later.lst
| #@POOL@
| #      lag         A         B
|         -1    2.0000    4.0000
|          0    1.0000    3.0000
|          1    0.0000    1.0000

# 4096 bytes of a fixed generator, NUL bytes and newlines among them; the
# first byte is 0225, so it begins neither a number nor a header line.
=== binary garbage is a read or format error naming it
% awk 'BEGIN { x = 1; for (i = 0; i < 4096; i++) { x = (x * 75 + 74) % 65537; printf "%c", x % 256 } }' > junk
% cp junk junk_to_b_t4 && printf 'junk\n' > first.lst && printf 't.dat\njunk\n' > later.lst
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
< t.dat
| #lag A B
| -1 1 2
$ xfm_reverse junk_to_b_t4; xfm_chain a_to_b_t4 junk | tail -n 2; lag_pool first.lst; lag_pool later.lst
1| @REV@
1| Reading: junk_to_b_t4
1| scale: 0.000000
1| Reading: junk
1| @POOL@
1| Reading: first.lst
1| @POOL@
1| Reading: later.lst
1| nsub=2 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
1| Reading: junk
2| xfm_reverse: junk_to_b_t4 read error
2| xfm_chain: junk read error
2| lag_pool: junk format error
2| lag_pool: junk format error
? 255

# Read in pieces, the tails of the two comment lines would pass for a
# "scale:" line and a "t4" line.
=== a comment line of megabytes stays one comment, whatever its tail
% printf 't4\n 2 0 0 1\n 0 4 0 1\n 0 0 0.5 1\n 0 0 0 1\nscale: 2\n' > a_to_b_t4
% printf '#%3000000s scale: 7\n#%3000000s\n' '' t4 >> a_to_b_t4
$ xfm_reverse a_to_b_t4 | tail -n 7
1| t4
1|   0.500000  0.000000  0.000000   -0.5000
1|   0.000000  0.250000  0.000000   -0.2500
1|   0.000000  0.000000  2.000000   -2.0000
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 0.500000
1| Writing: b_to_a_t4
> b_to_a_t4
| #xfm_reverse a_to_b_t4
| #@REV@
| t4
|   0.500000  0.000000  0.000000   -0.5000
|   0.000000  0.250000  0.000000   -0.2500
|   0.000000  0.000000  2.000000   -2.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      0.500000

=== lag_pool: header and data lines of megabytes are read whole and echoed whole
< t1.dat
| #lag A B
| -1 1 2
% printf '#%2000000s lag LEFT RIGHT\n-1%2000000s 3 4\n' '' '' > t2.dat && printf 't1.dat\nt2.dat\n' > big.lst
$ lag_pool big.lst > out
2| Writing: big_avg.dat
2| Writing: big_ROIavg.dat
2| Writing: big_gammabar.dat
> big_avg.dat
| #lag_pool big.lst
| #@POOL@
| #      lag      LEFT     RIGHT
|         -1    2.0000    3.0000
|          0    0.0000    0.0000
|          1    0.0000    0.0000
& [ "$(sed -n 7p out)" = "$(head -n 1 t2.dat)" ] && [ "$(wc -L < out)" = 2000016 ]
& [ "$(tail -n 1 out)" = "Bartlett correction factor (sum of gammabar) = 6.0000" ]

=== lag_pool: a list line of a megabyte names no file: a read error naming it whole
% head -c 1048576 /dev/zero | tr '\0' x > long.lst
$ lag_pool long.lst 2> err
1| @POOL@
1| Reading: long.lst
? 255
& [ "$(cat err)" = "lag_pool: $(cat long.lst) read error" ]

# The list is read once, so it may be a pipe; a table is checked for reading
# before it is opened, and what changes in between still ends in a read
# error. (A table that is a directory passes the check and fails on reading:
# see lag_pool.t.)
=== lag_pool: a list that can be read only once is read whole
< t.dat
| #lag A B
| -1 1 2
% mkfifo once.lst
$ printf 't.dat\n' > once.lst & lag_pool once.lst
1| @POOL@
1| Reading: once.lst
1| nsub=1 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
1| Bartlett correction factor (sum of gammabar) = 2.0000
2| Writing: once_avg.dat
2| Writing: once_ROIavg.dat
2| Writing: once_gammabar.dat

=== lag_pool: a table that passes the check but cannot be opened is a read error naming it
< t.dat
| #lag A B
| -1 1 2
% perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => "sock.dat", Listen => 1) or die'
% printf 'sock.dat\n' > first.lst && printf 't.dat\nsock.dat\n' > later.lst
$ lag_pool first.lst; lag_pool later.lst
1| @POOL@
1| Reading: first.lst
1| @POOL@
1| Reading: later.lst
1| nsub=2 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
2| lag_pool: sock.dat read error
2| lag_pool: sock.dat read error
? 255

=== an output path naming a directory is a write error before any Writing line
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: 2
% cp a_to_b_t4 b_to_c_t4 && mkdir b_to_a_t4 out.d
$ set -o pipefail; xfm_reverse a_to_b_t4 | tail -n 1; xfm_chain a_to_b_t4 b_to_c_t4 out.d | tail -n 1
1| scale: 0.500000
1| scale: 4.000000
2| xfm_reverse: b_to_a_t4 write error
2| xfm_chain: out.d write error
? 255

=== lag_pool: each result on a full device is a write error naming it
< t.dat
| #lag A B
| -1 1 2
% printf 't.dat\n' > a.lst && cp a.lst r.lst && ln -s /dev/full a_avg.dat && ln -s /dev/full r_ROIavg.dat
$ lag_pool a.lst > /dev/null; lag_pool r.lst > /dev/null
2| Writing: a_avg.dat
2| lag_pool: a_avg.dat write error
2| Writing: r_avg.dat
2| Writing: r_ROIavg.dat
2| lag_pool: r_ROIavg.dat write error
? 255
>! a_ROIavg.dat
>! r_gammabar.dat

# Inside the limit the line buffer may grow to half of it, not further.
=== an endless line is a memory error: /dev/zero as a list, a transform or points
! uninstrumented lag_pool
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ memlimit 32M lag_pool /dev/zero; echo "status $?"; memlimit 32M xfm_reverse /dev/zero; echo "status $?"; memlimit 32M xfm_points a_to_b_t4 /dev/zero
1| @POOL@
1| Reading: /dev/zero
1| status 255
1| @REV@
1| Reading: /dev/zero
1| status 255
2| lag_pool: memory allocation error
2| xfm_reverse: memory allocation error
2| xfm_points: memory allocation error
? 255

# The matrix's numbers are read from the counted line buffer, so a number
# of 100 MB outgrows the limit there: a memory error in every reader, in a
# memory cgroup as under an address-space limit, never a kill.
=== a number of 100 megabytes in a matrix is a memory error in every reader
! uninstrumented xfm_reverse
% { printf 't4\n1'; head -c 100000000 /dev/zero | tr '\0' 0; printf ' 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n'; } > big_to_b_t4
$ memlimit 64M xfm_reverse big_to_b_t4; echo "status $?"
  for run in "xfm_chain big_to_b_t4 b_to_c_t4" "xfm_points big_to_b_t4" "xfm_info big_to_b_t4" "xfm_rms big_to_b_t4"
  do memlimit 64M $run < /dev/null > /dev/null; echo "status $?"; done
  (ulimit -v 60000; xfm_reverse big_to_b_t4 > /dev/null); echo "status $?"
1| @REV@
1| Reading: big_to_b_t4
1| status 255
1| status 255
1| status 255
1| status 255
1| status 255
1| status 255
2| xfm_reverse: memory allocation error
2| xfm_chain: memory allocation error
2| xfm_points: memory allocation error
2| xfm_info: memory allocation error
2| xfm_rms: memory allocation error
2| xfm_reverse: memory allocation error

# 400 kB of data (ulimit -d) hold a run of a transform tool, but not the
# copy of an argument of 120 kB in the header line. A file from an earlier
# run stays as it was.
=== an allocation that fails is the memory error, never an abort
! uninstrumented xfm_unit
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ a=-$(printf 'x%.0s' {1..120000}); prlimit --data=400000 xfm_unit u_t4 > /dev/null; echo "status $?"
  prlimit --data=400000 xfm_unit u_t4 $a > /dev/null; echo "status $?"
  prlimit --data=400000 xfm_reverse a_to_b_t4 $a > /dev/null
1| status 0
1| status 255
2| xfm_unit: memory allocation error
2| xfm_reverse: memory allocation error
? 255
& [ "$(head -n 1 u_t4)" = "#xfm_unit u_t4" ] && [ "$(ls -A | tr '\n' ' ')" = "a_to_b_t4 u_t4 " ]

# A stack of 64 KiB: nothing the programs keep on it is larger than a few.
=== a small stack is enough for a rewrite in place
! uninstrumented xfm_reverse
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
% echo earlier > b_to_a_t4 && ln b_to_a_t4 link
$ prlimit --stack=65536 xfm_reverse a_to_b_t4 | tail -n 1
1| Writing: b_to_a_t4
> link
| #xfm_reverse a_to_b_t4
| #@REV@
| t4
|   1.000000  0.000000  0.000000    0.0000
|   0.000000  1.000000  0.000000    0.0000
|   0.000000  0.000000  1.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000

# Were descriptor 2 left closed, the first result file would take it and
# receive its own "Writing:" line.
=== lag_pool with standard error closed: no message lands in a result file
< t.dat
| #lag A B
| -1 1 2
% echo t.dat > g.lst
$ lag_pool g.lst 2>&-
1| @POOL@
1| Reading: g.lst
1| nsub=1 nreg2 mlag=1
1| Reading: t.dat
1| #lag A B
1| Bartlett correction factor (sum of gammabar) = 2.0000
> g_avg.dat
| #lag_pool g.lst
| #@POOL@
| #      lag         A         B
|         -1    1.0000    2.0000
|          0    0.0000    0.0000
|          1    0.0000    0.0000

# A closed descriptor is filled at start, so that no file lands in it; a
# path to it still leads nowhere. With standard error closed only the
# statuses tell.
=== a path naming a closed standard descriptor is a write or read error, as the shell's would be
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_reverse a_to_b_t4 /dev/stderr 2>&- > /dev/null; echo "status $?"
  xfm_unit /proc/self/fd/2 2>&- > /dev/null; echo "status $?"; xfm_unit /dev/fd/1 >&-
  xfm_unit /dev/stdin <&- > /dev/null; xfm_chain /dev/stdin a_to_b_t4 c_t4 <&- > /dev/null
  lag_pool /dev/stdin <&- > /dev/null
1| status 255
1| status 255
2| xfm_unit: /dev/fd/1 write error
2| xfm_unit: /dev/stdin write error
2| xfm_chain: /dev/stdin read error
2| lag_pool: /dev/stdin read error
? 255
& [ "$(ls -A)" = a_to_b_t4 ]

# Standard output on /dev/full is tested with each program.
=== standard output closed is a write error for every program; the files are still written whole
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
< t.dat
| #lag A B
| -1 1 2
< x.lst
| t.dat
$ for c in 'xfm_reverse a_to_b_t4' 'xfm_chain a_to_b_t4 a_to_b_t4 c_t4' 'lag_pool x.lst' 'pattern_list 3x' 'shuffle 5 -s3'; do $c >&-; echo "status $?" >&2; done
2| xfm_reverse: standard output write error
2| status 255
2| xfm_chain: standard output write error
2| status 255
2| Writing: x_avg.dat
2| Writing: x_ROIavg.dat
2| Writing: x_gammabar.dat
2| lag_pool: standard output write error
2| status 255
2| pattern_list: standard output write error
2| status 255
2| shuffle: standard output write error
2| status 255
& [ "$(wc -l < b_to_a_t4)" = 7 ] && [ "$(wc -l < c_t4)" = 8 ] && [ "$(wc -l < x_gammabar.dat)" = 6 ]

# A FIFO opened once by a reader that leaves at once: every write to it
# fails and raises SIGPIPE. Each program ends by it (141), as the pipe's
# writer should, with nothing said; one started with SIGPIPE ignored says
# that its standard output was lost (255).
=== standard output into a pipe whose reader has left: SIGPIPE, or the write error when it is ignored
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
% { for i in $(seq 2000); do echo "# remark $i"; done; printf '#lag A B\n-1 1 2\n'; } > t.dat && echo t.dat > x.lst && mkfifo gone
$ { exec 3<gone; } & exec 4>gone; wait
  for c in 'xfm_unit u_t4' 'xfm_reverse a_to_b_t4' 'xfm_chain a_to_b_t4 a_to_b_t4 c_t4' 'lag_pool x.lst' 'pattern_list -w 16383x' 'shuffle 1000000 -s5'
  do $c >&4 2>> quiet; s=$?; (trap '' PIPE; exec $c >&4 2>> said); echo "${c%% *} $s $?"; done
  grep -hv '^Writing: ' quiet said
1| xfm_unit 141 255
1| xfm_reverse 141 255
1| xfm_chain 141 255
1| lag_pool 141 255
1| pattern_list 141 255
1| shuffle 141 255
1| xfm_unit: standard output write error
1| xfm_reverse: standard output write error
1| xfm_chain: standard output write error
1| lag_pool: standard output write error
1| pattern_list: standard output write error
1| shuffle: standard output write error

# Arguments of tens of kilobytes. In the output, <name> stands for exactly
# 50,000 letters N, <path> for exactly 30,004 bytes.
=== a program name of 50 kilobytes is used whole in every usage text
$ n=$(printf 'N%.0s' {1..50000})
  out=$(for p in xfm_unit xfm_reverse xfm_chain lag_pool pattern_list shuffle; do (exec -a "/usr/local/bin/$n" $p); echo "status $?"; done 2> err)
  err=$(cat err); echo "${out//$n/<name>}"; echo "${err//$n/<name>}" >&2
1| @UNIT@
1| Usage:\t<name> <t4file>
1| e.g.,\t<name> qx42c_mpr1_to_905-7K_t4
1| status 1
1| @REV@
1| Usage:\t<name> <t4file> [inv_t4file]
1| e.g.,\t<name> qx42c_anat_ave_to_qx42c_234-3_t4 [qx42c_234-3_to_qx42c_anat_ave_t4]
1| \toption
1| \t-u\tsuppress (intensity) scale field in output
1| status 1
1| @CHAIN@
1| Usage:\t<name> <left_t4file> <right_t4file> [product_t4file]
1| e.g.:\t<name> qx42c_anat_ave_to_qx42c_234-3_t4 qx42c_234-3_to_905-7K_t4 [qx42c_anat_ave_to_905-7K_t4]
1| \toption
1| status 1
1| @POOL@
1| status 1
1| Usage:\t<name> <format>
1| e.g.,\t<name> "2x3-2+1-2+2-2+1-1+2-1+1-1+1-1+2-1+1-1+1-2+2-1+1-1+2-2+1-2+2-"
1| \toptions
1| \t-w\tconvert {'x' '+' '-'} to {0.0 1.0 -1.0}
1| \t-e\texpand on single line
1| status 1
1| Usage: <name> <int n>
1|  e.g., <name> 31 -s10
1| \toption
1| \t-s<int>\tspecifcy randomization seed
1| N.B.:\t<name> prints to stdout seed-dependent randomly permuted integers in the range [1 <n>]
1| status 1
2| Usage:\t<name> <lstfile>
2| \toption

=== the long name heads messages and header lines whole
$ n=$(printf 'N%.0s' {1..50000}); (exec -a "$n" xfm_unit u_t4) > /dev/null; out=$( (exec -a "$n" xfm_reverse none_t4) 2>&1 > /dev/null; head -n 1 u_t4); echo "${out//$n/<name>}"
1| <name>: none_t4 read error
1| #<name> u_t4

# The option letter that counts stands last in each group of 50,000 bytes.
=== option groups of 50 kilobytes are scanned whole and repeated whole in the header
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: 2
< t.dat
| #lag A B
| -1 1 2
< x.lst
| t.dat
$ g=$(printf 'x%.0s' {1..50000}); xfm_reverse -${g}u a_to_b_t4 out_t4 | tail -n 2
  [ "$(head -n 1 out_t4)" = "#xfm_reverse -${g}u a_to_b_t4 out_t4" ] && echo whole; pattern_list -${g}ew 2+-
  echo; shuffle 7 -${g}s3; echo; lag_pool x.lst -$g > /dev/null 2>&1
  [ "$(head -n 1 x_avg.dat)" = "#lag_pool x.lst -$g" ] && echo whole
1|   0.000000  0.000000  0.000000    1.0000
1| Writing: out_t4
1| whole
1| 1.01.0-1.0
1| 6 2 5 3 4 1 7 
1| whole
& [ "$(wc -l < out_t4)" = 7 ]

=== paths and formats of 30 kilobytes fail with a message naming them whole
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ p=$(printf 'level_%05d/' $(seq 2500))x_t4
  out=$( { xfm_unit $p; xfm_reverse $p; xfm_chain a_to_b_t4 $p; lag_pool $p; } 2>&1 > /dev/null)
  echo "${out//$p/<path>}"; pattern_list "$(printf 'x%.0s' {1..30000})"
1| xfm_unit: <path> write error
1| xfm_reverse: <path> read error
1| xfm_chain: <path> read error
1| lag_pool: <path> read error
2| expandf error: expanded format length exceeds allocated buffer size (16384)
? 255
