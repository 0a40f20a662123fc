# The shared writing path: a file is replaced only once it is whole.
@@ ID $Id: xfm_unit.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ REV $Id: xfm_reverse.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ POOL $Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $

=== a write that fails leaves the earlier file intact and no temporary file
% printf 'earlier\n' > a_t4
$ set -o pipefail; (ulimit -f 0; exec xfm_unit a_t4) 2>&1 | cat
1| xfm_unit: a_t4 write error
1| @ID@
1| Writing: a_t4
? 255
> a_t4
| earlier
& [ "$(ls -A)" = a_t4 ]

=== an existing file keeps its permission bits
% printf 'earlier\n' > a_t4 && chmod 640 a_t4
$ xfm_unit a_t4
1| @ID@
1| Writing: a_t4
& [ "$(stat -c %a a_t4)" = 640 ] && [ "$(ls -A)" = a_t4 ]

=== a new file gets the usual permission bits
$ umask 027; xfm_unit new_t4
1| @ID@
1| Writing: new_t4
& [ "$(stat -c %a new_t4)" = 640 ]

=== a symbolic link is followed and its target replaced
% mkdir d && printf 'earlier\n' > d/real_t4 && ln -s d/real_t4 link_t4
$ xfm_unit link_t4
1| @ID@
1| Writing: link_t4
> d/real_t4
| #xfm_unit link_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000    0.0000
|   0.000000  1.000000  0.000000    0.0000
|   0.000000  0.000000  1.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000
& [ -L link_t4 ] && [ "$(ls -A d)" = real_t4 ]

=== a link that names nothing yet is written through
% ln -s made_t4 link_t4
$ xfm_unit link_t4 >/dev/null
& [ -L link_t4 ] && [ -f made_t4 ]

=== a pipe is written directly
$ xfm_unit /dev/stdout | cat
1| #xfm_unit /dev/stdout
1| #@ID@
1| t4
1|   1.000000  0.000000  0.000000    0.0000
1|   0.000000  1.000000  0.000000    0.0000
1|   0.000000  0.000000  1.000000    0.0000
1|   0.000000  0.000000  0.000000    1.0000
1| @ID@
1| Writing: /dev/stdout

=== closed standard output is an error and never lands in the file
$ xfm_unit out_t4 >&-
2| xfm_unit: standard output write error
? 255
> out_t4
| #xfm_unit out_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000    0.0000
|   0.000000  1.000000  0.000000    0.0000
|   0.000000  0.000000  1.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000

=== with standard error closed a message never lands in the file
$ xfm_unit out_t4 2>&- >/dev/full
? 255
& [ "$(wc -l < out_t4)" = 7 ]

=== the empty path is a write error before any Writing line
$ xfm_unit ''
1| @ID@
2| xfm_unit:  write error
? 255
& [ -z "$(ls -A)" ]

# The temporary name repeats the target's: a name at the length limit of a
# directory entry must still be replaced whole or not at all.
=== a name of 250 bytes is replaced whole or not at all
$ n=$(printf 'n%.0s' {1..250}); printf 'earlier\n' > $n; (ulimit -f 0; exec xfm_unit $n 2>&1 >/dev/null) | sed "s/$n/<250 n>/"; echo "status ${PIPESTATUS[0]}"; cat $n; xfm_unit $n | sed "s/$n/<250 n>/"; head -n 1 $n | sed "s/$n/<250 n>/"
1| xfm_unit: <250 n> write error
1| status 255
1| earlier
1| @ID@
1| Writing: <250 n>
1| #xfm_unit <250 n>
& [ "$(ls -A | wc -l)" = 1 ]

# Permission bits bind every user but root: as root these runs drop to nobody.
=== a write-protected file is not replaced; a writable file in a locked directory is written in place
% cp "$(command -v xfm_unit)" . && chmod 777 .
% printf 'earlier\n' > ro_t4 && chmod 444 ro_t4
% mkdir locked && printf 'earlier\n' > locked/rw_t4 && chmod 666 locked/rw_t4 && chmod 555 locked
$ as=; [ "$(id -u)" != 0 ] || as='setpriv --reuid=65534 --regid=65534 --clear-groups'; $as ./xfm_unit ro_t4; $as ./xfm_unit locked/rw_t4
1| @ID@
1| @ID@
1| Writing: locked/rw_t4
2| xfm_unit: ro_t4 write error
> ro_t4
| earlier
> locked/rw_t4
| #xfm_unit locked/rw_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000    0.0000
|   0.000000  1.000000  0.000000    0.0000
|   0.000000  0.000000  1.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000
& [ "$(ls -A locked)" = rw_t4 ]

# A FIFO opened once by a reader that leaves at once: every later write to
# it raises SIGPIPE. The long path makes "Writing:" overflow the buffer of
# standard output while the file is being written.
=== SIGPIPE while a file is being written ends the run only once the file is whole
< t.dat
| #lag A B
| -1 1 2
< x.lst
| t.dat
% mkfifo gone
$ { exec 3<gone; } & exec 4>gone; wait; xfm_unit $(printf './%.0s' {1..2040})out_t4 >&4; echo "status $?"; lag_pool x.lst 2>&4 >/dev/null; echo "status $?"
1| status 141
1| status 141
> x_avg.dat
| #lag_pool x.lst
| #@POOL@
| #      lag         A         B
|         -1    1.0000    2.0000
|          0    0.0000    0.0000
|          1    0.0000    0.0000
& [ "$(wc -l < out_t4)" = 7 ] && [ "$(tail -n 1 out_t4)" = "  0.000000  0.000000  0.000000    1.0000" ]
& [ "$(ls -A | tr '\n' ' ')" = "gone out_t4 t.dat x.lst x_avg.dat " ]

# The same guarantees for the other programs that write files.

=== inverting a file in place: a write that fails leaves it byte for byte as it was
< a_to_b_t4
| t4
|   2.000000  0.000000  0.000000    1.0000
|   0.000000  4.000000  0.000000    1.0000
|   0.000000  0.000000  0.500000    1.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      2.000000
$ set -o pipefail; (ulimit -f 0; exec xfm_reverse a_to_b_t4 a_to_b_t4) 2>&1 | grep -e error -e Writing
1| xfm_reverse: a_to_b_t4 write error
1| Writing: a_to_b_t4
? 255
> a_to_b_t4
| t4
|   2.000000  0.000000  0.000000    1.0000
|   0.000000  4.000000  0.000000    1.0000
|   0.000000  0.000000  0.500000    1.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      2.000000
& [ "$(ls -A)" = a_to_b_t4 ]

=== inverting in place through a symbolic link replaces the file it names, keeping its mode
< d/p_to_q_t4
| t4
|   2.000000  0.000000  0.000000    1.0000
|   0.000000  4.000000  0.000000    1.0000
|   0.000000  0.000000  0.500000    1.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      2.000000
% chmod 600 d/p_to_q_t4 && ln -s d/p_to_q_t4 a_to_b_t4
$ xfm_reverse a_to_b_t4 a_to_b_t4 | tail -n 1
1| Writing: a_to_b_t4
> d/p_to_q_t4
| #xfm_reverse a_to_b_t4 a_to_b_t4
| #@REV@
| t4
|   0.500000  0.000000  0.000000   -0.5000
|   0.000000  0.250000  0.000000   -0.2500
|   0.000000  0.000000  2.000000   -2.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      0.500000
& [ -L a_to_b_t4 ] && [ "$(ls -A d)" = p_to_q_t4 ] && [ "$(stat -c %a d/p_to_q_t4)" = 600 ]

=== lag_pool: a write that fails keeps the earlier results whole and leaves no temporary file
< t.dat
| #lag A B
| -1 1 2
< r.lst
| t.dat
% printf 'earlier\n' > r_avg.dat && printf 'earlier\n' > r_ROIavg.dat && printf 'earlier\n' > r_gammabar.dat
$ set -o pipefail; (ulimit -f 0; exec lag_pool r.lst) 2>&1 >/dev/null | cat
1| Writing: r_avg.dat
1| lag_pool: r_avg.dat write error
? 255
> r_avg.dat
| earlier
& [ "$(cat r_ROIavg.dat r_gammabar.dat | tr '\n' ' ')" = "earlier earlier " ] && [ "$(ls -A | tr '\n' ' ')" = "r.lst r_ROIavg.dat r_avg.dat r_gammabar.dat t.dat " ]

=== lag_pool: a result that is a symbolic link replaces the file it names; modes are kept
< t.dat
| #lag A B
| -1 1 2
< data/s.lst
| t.dat
% mkdir keep && printf 'earlier\n' > keep/avg && chmod 640 keep/avg && ln -s ../keep/avg data/s_avg.dat
% printf 'earlier\n' > data/s_ROIavg.dat && chmod 604 data/s_ROIavg.dat
$ lag_pool data/s.lst > /dev/null
2| Writing: data/s_avg.dat
2| Writing: data/s_ROIavg.dat
2| Writing: data/s_gammabar.dat
> keep/avg
| #lag_pool data/s.lst
| #@POOL@
| #      lag         A         B
|         -1    1.0000    2.0000
|          0    0.0000    0.0000
|          1    0.0000    0.0000
& [ -L data/s_avg.dat ] && [ "$(stat -c %a keep/avg data/s_ROIavg.dat | tr '\n' ' ')" = "640 604 " ]
& [ "$(ls -A keep)" = avg ] && [ "$(ls -A data | wc -l)" = 4 ]
