# The shared writing path: a file is replaced only once it is whole.
@@ ID $Id: xfm_unit.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ REV $Id: xfm_reverse.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ POOL $Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@< IDENTITY fixtures/identity_t4

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
| @IDENTITY@
& [ -L link_t4 ] && [ "$(ls -A d)" = real_t4 ]

=== a link that names nothing yet is written through; a failed write leaves it naming nothing
% ln -s made_t4 link_t4 && ln -s gone_t4 fail_t4
$ xfm_unit link_t4 > /dev/null; (ulimit -f 0; exec xfm_unit fail_t4 > /dev/null 2>&1); echo "status $?"
1| status 255
& [ -L link_t4 ] && [ "$(wc -l < made_t4)" = 7 ] && [ -L fail_t4 ] && [ ! -e gone_t4 ]

=== a pipe is written directly
$ xfm_unit /dev/stdout | cat
1| #xfm_unit /dev/stdout
1| #@ID@
1| @IDENTITY@
1| @ID@
1| Writing: /dev/stdout

=== closed standard output is an error and never lands in the file
$ xfm_unit out_t4 >&-
2| xfm_unit: standard output write error
? 255
> out_t4
| #xfm_unit out_t4
| #@ID@
| @IDENTITY@

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
=== a name of 255 bytes, the most a directory entry holds, is replaced whole or not at all
$ n=$(printf 'n%.0s' {1..255}); printf 'earlier\n' > $n
  (ulimit -f 0; exec xfm_unit $n 2>&1 >/dev/null) | sed "s/$n/<255 n>/"; echo "status ${PIPESTATUS[0]}"
  cat $n; xfm_unit $n | sed "s/$n/<255 n>/"; head -n 1 $n | sed "s/$n/<255 n>/"
1| xfm_unit: <255 n> write error
1| status 255
1| earlier
1| @ID@
1| Writing: <255 n>
1| #xfm_unit <255 n>
& [ "$(ls -A | wc -l)" = 1 ]

# Permission bits bind every user but root: as root these runs drop to nobody.
=== a write-protected file is not replaced; a writable file in a locked directory is written in place
% cp "$(command -v xfm_unit)" . && chmod 777 .
% printf 'earlier\n' > ro_t4 && chmod 444 ro_t4
% mkdir locked && seq 100 > locked/rw_t4 && chmod 666 locked/rw_t4 && chmod 555 locked
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
| @IDENTITY@
& [ "$(ls -A locked)" = rw_t4 ]

# A FIFO opened once by a reader that leaves at once: every later write to
# it raises SIGPIPE. The long path makes "Writing:" overflow the buffer of
# standard output while the file is being written; lag_pool's first
# "Writing:" line breaks the pipe while its results, a set, are written.
=== SIGPIPE while a file is being written ends the run only once the file, or the set, is in place
< t.dat
| #lag A B
| -1 1 2
< x.lst
| t.dat
% mkfifo gone && echo earlier > x_ROIavg.dat && echo earlier > x_gammabar.dat
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
> x_gammabar.dat
| #lag_pool x.lst
| #@POOL@
| #sum of gammabar = 2.0000
|         -1    2.0000
|          0    0.0000
|          1    0.0000
& [ "$(wc -l < out_t4)" = 7 ] && [ "$(tail -n 1 out_t4)" = "  0.000000  0.000000  0.000000    1.0000" ]
& [ "$(ls -A | tr '\n' ' ')" = "gone out_t4 t.dat x.lst x_ROIavg.dat x_avg.dat x_gammabar.dat " ] && [ "$(wc -l < x_ROIavg.dat)" = 6 ]

# strace sends TERM as the first result is renamed into place.
=== a signal that comes while a set is put in place takes effect once all of it is
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
< t.dat
| #lag A B
| -1 1 2
% echo t.dat > x.lst && for f in avg ROIavg gammabar; do echo earlier > x_$f.dat; done
$ { ASAN_OPTIONS=detect_leaks=0 strace -o /dev/null -e trace=renameat,renameat2 -e inject=renameat,renameat2:signal=TERM:when=1 lag_pool x.lst > /dev/null; } 2> /dev/null
  echo "status $?"; head -qn 1 x_*.dat
1| status 143
1| #lag_pool x.lst
1| #lag_pool x.lst
1| #lag_pool x.lst
& [ "$(ls -A | tr '\n' ' ')" = "t.dat x.lst x_ROIavg.dat x_avg.dat x_gammabar.dat " ]

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

# What every output file promises, tried as a hostile or careless
# environment would. Cases that need root (a second user, file attributes,
# the kernel's link protections) say why they skip elsewhere; mounts are
# made in a user namespace (unshare -r -m), which needs no root.
@@ CHAIN $Id: xfm_chain.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $

=== a name too long to create fails before its Writing line
% xfm_unit $(printf 'a%.0s' {1..200})_to_b_t4 > /dev/null && xfm_unit b_to_$(printf 'c%.0s' {1..200})_t4 > /dev/null
$ xfm_chain a*_to_b_t4 b_to_c*_t4 2>&1 | grep -e Writing -e error | sed -e 's/aaa*/<a>/' -e 's/ccc*/<c>/'; echo "status ${PIPESTATUS[0]}"
1| xfm_chain: <a>_to_<c>_t4 write error
1| status 255
& [ "$(ls -A | wc -l)" = 2 ]

=== a new file that cannot be written whole is not left behind
$ set -o pipefail; (ulimit -f 0; exec xfm_unit new_t4) 2>&1 | cat
1| xfm_unit: new_t4 write error
1| @ID@
1| Writing: new_t4
? 255
& [ -z "$(ls -A)" ]

# The new results wait in memory (the directory is closed to nobody) and
# outgrow an address space of 32 MB.
=== content waiting in memory that outgrows the run's memory is an error, never a short file
! uninstrumented lag_pool
! [ "$(id -u)" = 0 ] || { echo "needs root, to act as a second user"; exit 1; }
% cp "$(command -v lag_pool)" . && seq -f '%.0f 0.5 0.5' -200000 200000 | sed '1i #lag A B' > t.dat
% mkdir d && echo t.dat > d/g.lst && for f in avg ROIavg gammabar; do seq 100 > d/g_$f.dat; done && chmod 666 d/g_*
$ (ulimit -v 32000; exec setpriv --reuid=65534 --regid=65534 --clear-groups ./lag_pool d/g.lst) > /dev/null 2> err
  echo "status $?"; grep -c -e 'write error$' -e 'memory allocation error$' err; cat d/g_*.dat | wc -l
1| status 255
1| 1
1| 300
& [ "$(ls -A d | wc -l)" = 4 ]

# strace ends a run with KILL, which no program can catch, at each of its
# file-system calls in turn. Then it fails every unnamed file (O_TMPFILE,
# every other openat in the folder), so that a new file is written under
# its name: TERM comes as it is written, the file-size limit stops it, or
# lag_pool's second result cannot be opened while its first is written.
=== a new file is whole or absent whenever KILL comes; one written under its name is removed unless placed
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
< t.dat
| #lag A B
| -1 1 2
% echo t.dat > x.lst && mkdir x_ROIavg.dat
$ export ASAN_OPTIONS=detect_leaks=0
  strace -o calls -e trace=%file,%desc xfm_unit new_t4 > /dev/null && rm new_t4
  awk -F'(' '/^[a-z]/ { print $1, ++seen[$1] }' calls | while read call k
  do strace -o /dev/null -e inject=$call:signal=KILL:when=$k xfm_unit new_t4 > /dev/null 2>&1
  [ ! -e new_t4 ] || [ "$(wc -l < new_t4)" = 7 ] || echo "KILL at $call $k: a part of new_t4"; rm -f new_t4
  done 2> /dev/null
  { strace -o /dev/null -e trace=openat,write -e inject=openat:error=EOPNOTSUPP:when=2+2 -e inject=write:signal=TERM:when=1 xfm_unit new_t4; } 2> /dev/null
  echo "status $?"
  (ulimit -f 0; exec strace -o /dev/null -e trace=openat -e inject=openat:error=EOPNOTSUPP:when=2+2 xfm_unit new_t4 2> /dev/null)
  echo "status $?"
  strace -o /dev/null -P "$PWD" -e trace=openat -e inject=openat:error=EOPNOTSUPP:when=1+2 lag_pool x.lst > /dev/null
1| status 143
1| status 255
2| Writing: x_avg.dat
2| lag_pool: x_ROIavg.dat write error
? 255
& [ "$(ls -A | tr '\n' ' ')" = "calls t.dat x.lst x_ROIavg.dat " ]

# How a case catches lag_pool mid-write: once its "Writing:" line for the
# first result has come through a FIFO, it has that result open, and it
# cannot place it before it has opened the second, a FIFO that no one reads
# yet. Here a second run writes the first result's name meanwhile.
=== runs writing one new file at once both succeed, and the file is whole from one of them
< t.dat
| #lag A B
| -1 1 2
% echo t.dat > x.lst && mkfifo progress x_ROIavg.dat
$ lag_pool x.lst > /dev/null 2> progress & pid=$!; exec 3< progress; read -r line <&3
  xfm_unit x_avg.dat > /dev/null; echo "status $?"; cat x_ROIavg.dat > /dev/null & wait $pid; echo "status $?"
  head -n 1 x_avg.dat; wc -l < x_avg.dat
1| status 0
1| status 0
1| #lag_pool x.lst
1| 6
& [ "$(ls -A | tr '\n' ' ')" = "progress t.dat x.lst x_ROIavg.dat x_avg.dat x_gammabar.dat " ]

# The runs may write the files but make nothing beside them: their
# directories are closed to writing and they run without the capabilities
# that pass over that ($nocaps), in a user namespace whose root mounts the
# tmpfs.

=== a file rewritten in place keeps every byte when the new ones do not fit
! unshare -r -m mount -t tmpfs -o size=64k tmpfs /mnt 2>/dev/null || { echo "cannot mount a tmpfs in a user namespace"; exit 1; }
< ro/T
| t4
| 2 0 0 1 0 4 0 1 0 0 0.5 1 0 0 0 1
< t.dat
| #lag A B
| -1 1 2
% chmod 555 ro && mkdir full && printf 'earlier\n' > avg && truncate -s 200k avg && echo tail >> avg
% seq -f '%.0f 0.5 0.5' -2000 0 | sed '1i #lag A B' > big.dat
$ unshare -r -m bash -c "mount -t tmpfs -o size=64k tmpfs full && cp --sparse=always avg full/g_avg.dat &&
      echo big.dat > full/g.lst && for f in ROIavg gammabar; do echo earlier > full/g_\$f.dat; done &&
      chmod 555 full && head -c 40k /dev/zero > full/fill
    nocaps='setpriv --inh-caps=-all --ambient-caps=-all --bounding-set=-all --securebits=+noroot,+noroot_locked'
    (ulimit -f 0; exec \$nocaps xfm_reverse ro/T ro/T) 2>&1 > /dev/null | cat >&2
    \$nocaps lag_pool full/g.lst > /dev/null; cmp full/g_avg.dat avg && cat full/g_ROIavg.dat full/g_gammabar.dat && ls -A full"
1| earlier
1| earlier
1| fill
1| g.lst
1| g_ROIavg.dat
1| g_avg.dat
1| g_gammabar.dat
2| xfm_reverse: ro/T write error
2| Writing: full/g_avg.dat
2| Writing: full/g_ROIavg.dat
2| Writing: full/g_gammabar.dat
2| lag_pool: full/g_avg.dat write error
> ro/T
| t4
| 2 0 0 1 0 4 0 1 0 0 0.5 1 0 0 0 1
& [ "$(ls -A ro)" = T ]

# The same, with fallocate failed by strace as a file system without it
# fails it: the holes are filled with the zeros they read as first.
=== where no space can be reserved, a rewrite in place that does not fit still keeps every byte
! strace -o /dev/null true || { echo "needs strace"; exit 1; }
! unshare -r -m mount -t tmpfs -o size=64k tmpfs /mnt 2>/dev/null || { echo "cannot mount a tmpfs in a user namespace"; exit 1; }
% mkdir full && printf 'earlier\n' > avg && truncate -s 200k avg && echo tail >> avg
% seq -f '%.0f 0.5 0.5' -2000 0 | sed '1i #lag A B' > big.dat
$ unshare -r -m bash -c "mount -t tmpfs -o size=64k tmpfs full && cp --sparse=always avg full/g_avg.dat &&
      echo big.dat > full/g.lst && for f in ROIavg gammabar; do echo earlier > full/g_\$f.dat; done &&
      chmod 555 full && head -c 40k /dev/zero > full/fill
    nocaps='setpriv --inh-caps=-all --ambient-caps=-all --bounding-set=-all --securebits=+noroot,+noroot_locked'
    ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e trace=fallocate -e inject=fallocate:error=EOPNOTSUPP \
      \$nocaps lag_pool full/g.lst > /dev/null
    cmp full/g_avg.dat avg && cat full/g_ROIavg.dat full/g_gammabar.dat && ls -A full"
1| earlier
1| earlier
1| fill
1| g.lst
1| g_ROIavg.dat
1| g_avg.dat
1| g_gammabar.dat
2| Writing: full/g_avg.dat
2| Writing: full/g_ROIavg.dat
2| Writing: full/g_gammabar.dat
2| lag_pool: full/g_avg.dat write error

=== a file is rewritten wherever it may be written: sticky and append-only
! [ "$(id -u)" = 0 ] || { echo "needs root, to act as a second user"; exit 1; }
! touch probe && chattr +a probe && chattr -a probe || { echo "no file attributes on this file system"; exit 1; }
% cp "$(command -v xfm_unit)" . && mkdir -m 1777 s && seq 100 > s/f_t4 && chmod 666 s/f_t4
% mkdir ao && seq 100 > ao/a_t4
$ setpriv --reuid=65534 --regid=65534 --clear-groups ./xfm_unit s/f_t4; chattr +a ao; xfm_unit ao/a_t4
  xfm_unit ao/new_t4; chattr -a ao
1| @ID@
1| Writing: s/f_t4
1| @ID@
1| Writing: ao/a_t4
1| @ID@
1| Writing: ao/new_t4
& [ "$(stat -c %U s/f_t4)" = root ] && [ "$(head -n 1 s/f_t4)" = "#xfm_unit s/f_t4" ]
& [ "$(ls -A ao | tr '\n' ' ')" = "a_t4 new_t4 " ] && [ "$(head -n 1 ao/a_t4)" = "#xfm_unit ao/a_t4" ]
& [ "$(cat s/f_t4 ao/a_t4 | wc -l)" = 14 ]

=== a file is rewritten where another is bind-mounted over its name
! unshare -r -m true || { echo "cannot make a mount namespace in a user namespace"; exit 1; }
% printf 'earlier\n' > tgt_t4 && seq 100 > src_t4
$ unshare -r -m sh -c 'mount --bind src_t4 tgt_t4 && exec xfm_unit tgt_t4'
1| @ID@
1| Writing: tgt_t4
& [ "$(head -n 1 src_t4)" = "#xfm_unit tgt_t4" ] && [ "$(wc -l < src_t4)" = 7 ] && [ "$(cat tgt_t4)" = earlier ]

=== a rewritten file keeps its hard links, owner, group, mode, ACL and extended attributes
! [ "$(id -u)" = 0 ] || { echo "needs root, to act as a second user"; exit 1; }
! command -v setfacl && touch probe && setfacl -m u:1001:rw- probe && setfattr -n user.tag -v x probe || { echo "no ACLs or extended attributes here (Debian packages acl, attr)"; exit 1; }
% seq 100 > old && cp "$(command -v xfm_unit)" . && chmod 777 . && cp old h1_t4 && ln h1_t4 h2_t4
% cp old f_t4 && chown 0:65534 f_t4 && chmod 666 f_t4 && cp old g_t4 && chown 0:4 g_t4
% cp old x_t4 && chown 0:4 x_t4 && chmod 666 x_t4 && setfattr -n user.tag -v x x_t4
% cp old acl_t4 && chmod 600 acl_t4 && setfacl -m u:1001:rw- acl_t4
$ xfm_unit h1_t4 > /dev/null; for f in f_t4 x_t4
  do setpriv --reuid=65534 --regid=65534 --clear-groups ./xfm_unit $f > /dev/null; done
  xfm_unit g_t4 > /dev/null; xfm_unit acl_t4 > /dev/null; head -qn 1 h2_t4
  stat -c '%n %h %U:%G %a %s' h2_t4 f_t4 g_t4 x_t4 acl_t4; getfattr --only-values -n user.tag x_t4; echo
  getfacl -cp acl_t4 | grep 1001
1| #xfm_unit h1_t4
1| h2_t4 2 root:root 644 241
1| f_t4 1 root:nogroup 666 240
1| g_t4 1 root:adm 644 240
1| x_t4 1 root:adm 666 240
1| acl_t4 1 root:root 660 242
1| x
1| user:1001:rw-

# The first run locks the file, writes its first block and is held there by
# strace for half a second; strace's line on that write starts the second,
# which waits for the lock.
=== runs rewriting one file in place at once both succeed, and the file is whole from the later one
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
% seq 100 > h1_t4 && ln h1_t4 h2_t4 && mkfifo traced
$ export ASAN_OPTIONS=detect_leaks=0
  strace -o traced -e trace=pwrite64 -e inject=pwrite64:delay_exit=500000 xfm_unit h1_t4 -$(printf 'a%.0s' {1..100}) > /dev/null & exec 3< traced
  read -r line <&3; xfm_unit h1_t4 -b > /dev/null; echo "status $?"; wait $!; echo "status $?"
1| status 0
1| status 0
> h2_t4
| #xfm_unit h1_t4 -b
| #@ID@
| @IDENTITY@

# A file system without locks, as strace makes it: a rewrite in place
# (of a file with two links), which needs the lock, is a write error and
# leaves the file as it was; a rename needs no lock.
=== a rewrite in place whose lock cannot be taken is a write error, and the file stays as it was
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
% seq 100 > h1_t4 && ln h1_t4 h2_t4 && seq 100 > one_t4
$ export ASAN_OPTIONS=detect_leaks=0; for e in ENOLCK EOPNOTSUPP; do
    for f in h1_t4 one_t4; do
      strace -o /dev/null -e trace=flock -e inject=flock:error=$e xfm_unit $f -b > /dev/null; echo "$e $f: status $?"
    done; seq 100 | cmp - h2_t4 && rm one_t4 && seq 100 > one_t4
  done
1| ENOLCK h1_t4: status 255
1| ENOLCK one_t4: status 0
1| EOPNOTSUPP h1_t4: status 255
1| EOPNOTSUPP one_t4: status 0
2| xfm_unit: h1_t4 write error
2| xfm_unit: h1_t4 write error

# A user moves a file over the name while a run replaces it: held by
# strace before its link beside the file, or in the write of a rewrite in
# place. The run places its bytes under the name all the same: its status
# 0 never means bytes written into a file that no name leads to.
=== a name that leads elsewhere at placement gets the run's bytes, never the file that lost it
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
% seq 100 > r_t4 && seq 100 > h_t4 && ln h_t4 h2_t4 && mkfifo t1 t2
$ export ASAN_OPTIONS=detect_leaks=0
  strace -o t1 -e trace=write,linkat -e inject=linkat:delay_enter=1000000 xfm_unit r_t4 -a > /dev/null 2>&1 &
  exec 3< t1; read -r line <&3; seq 5 > new && mv new r_t4; wait $!; echo "rename: status $?"; exec 3<&-
  strace -o t2 -e trace=pwrite64 -e inject=pwrite64:delay_exit=1000000 xfm_unit h_t4 -a > /dev/null 2>&1 &
  exec 3< t2; read -r line <&3; seq 5 > new && mv new h_t4; wait $!; echo "in place: status $?"
  head -qn 1 r_t4 h_t4 h2_t4; ls -A
1| rename: status 0
1| in place: status 0
1| #xfm_unit r_t4 -a
1| #xfm_unit h_t4 -a
1| #xfm_unit h_t4 -a
1| h2_t4
1| h_t4
1| r_t4
1| t1
1| t2

# Two sets that share two files in crossed order (p_avg.dat is
# q_ROIavg.dat, p_ROIavg.dat is q_avg.dat, each with two links, so
# rewritten in place), every lock slowed by strace: the locks are taken in
# one order, so neither run waits for the other for ever.
=== two runs whose sets share files in crossed order both finish
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
< t.dat
| #lag A B
| -1 1 2
| 0 3 4
% echo t.dat > p.lst && echo t.dat > q.lst && echo old > p_avg.dat && echo old > p_ROIavg.dat
% ln p_avg.dat q_ROIavg.dat && ln p_ROIavg.dat q_avg.dat
$ export ASAN_OPTIONS=detect_leaks=0; for r in p q; do
    timeout 20 strace -o /dev/null -e trace=flock -e inject=flock:delay_exit=500000 lag_pool $r.lst > /dev/null 2>&1 &
  done; wait -n; echo "status $?"; wait -n; echo "status $?"
1| status 0
1| status 0

# A new file's name is taken while the run is held before its link (the
# file found there has two links, so it is rewritten in place), and a third
# process holds that file's lock. The run waits for the lock with signals
# free: INT or TERM ends it at once, with the file as it was.
=== INT or TERM during a wait for a lock ends the run, and every file stays as it was
! strace -o /dev/null true || { echo "needs strace, allowed to trace"; exit 1; }
% mkfifo traced
$ export ASAN_OPTIONS=detect_leaks=0; for sig in INT TERM; do
    rm -f n_t4 l_t4 pid
    strace -o traced -e trace=openat,linkat -e inject=linkat:delay_enter=1000000 \
      env --default-signal=INT bash -c 'echo $$ > pid; exec xfm_unit n_t4' > /dev/null 2>&1 &
    exec 3< traced; until grep -q O_TMPFILE <&3; do :; done
    echo old > n_t4; ln n_t4 l_t4; flock n_t4 sleep 20 & holder=$!
    until grep -q -- "-> FLOCK.*:$(stat -c %i n_t4) " /proc/locks; do sleep 0.1; done
    kill -$sig $(cat pid); wait %1; echo "$sig: status $?"; kill $holder; exec 3<&-; cat n_t4; ls -A | tr '\n' ' '; echo
  done 2> /dev/null
1| INT: status 130
1| old
1| l_t4 n_t4 pid traced 
1| TERM: status 143
1| old
1| l_t4 n_t4 pid traced 

# Caught mid-write as above: TERM stops the rewrite of an existing file,
# KILL the writing of a new one.
=== a run stopped while it writes leaves no file and no part of one
< t.dat
| #lag A B
| -1 1 2
% echo t.dat > g.lst && seq 100 > g_avg.dat && mkfifo progress g_ROIavg.dat
$ for sig in TERM KILL; do lag_pool g.lst > /dev/null 2> progress & pid=$!; exec 3< progress; read -r line <&3
  kill -$sig $pid; wait $pid; echo "status $?"; exec 3<&-; ls -A | tr '\n' ' '; cat g_avg.dat | wc -l
  rm -f g_avg.dat; done 2> /dev/null
1| status 143
1| g.lst g_ROIavg.dat g_avg.dat progress t.dat 100
1| status 137
1| g.lst g_ROIavg.dat progress t.dat 0

=== a path naming standard output or error is written through it, never truncated
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ for f in /dev/stdout /proc/self/fd/1; do xfm_reverse a_to_b_t4 $f >> all.log; done; xfm_unit /dev/stderr 2>> all.log > /dev/null; grep -c '^#xfm' all.log
1| 3

=== a file-size limit is a write error, never a kill
$ (ulimit -f 1; shuffle 100000 -s1 > out; echo "status $?"; pattern_list 16383x > out; echo "status $?")
1| status 255
1| status 255
2| shuffle: standard output write error
2| pattern_list: standard output write error

=== with the kernel's link protections on, nothing planted in a sticky directory is written [serial]
! [ "$(id -u)" = 0 ] && [ -w /proc/sys/fs/protected_symlinks ] && [ -w /proc/sys/fs/protected_regular ] || { echo "needs root and the fs.protected_* sysctls"; exit 1; }
< t.dat
| #lag A B
| -1 1 2
% mkdir -m 1777 s && echo t.dat > s/r.lst && printf 'victim\n' > victim && mkdir d && chown 65534 d
% setpriv --reuid=65534 --regid=65534 --clear-groups sh -c 'ln -s ../victim s/evil_t4 && : > s/r_avg.dat && chmod 666 s/r_avg.dat && ln -s ../d s/dir'
$ was="$(cat /proc/sys/fs/protected_symlinks) $(cat /proc/sys/fs/protected_regular)"
  trap 'set -- $was; echo $1 > /proc/sys/fs/protected_symlinks; echo $2 > /proc/sys/fs/protected_regular' EXIT
  echo 1 > /proc/sys/fs/protected_symlinks; echo 1 > /proc/sys/fs/protected_regular; xfm_unit s/evil_t4
  xfm_unit s/dir/new_t4; lag_pool s/r.lst > /dev/null
1| @ID@
1| @ID@
1| Writing: s/dir/new_t4
2| xfm_unit: s/evil_t4 write error
2| lag_pool: s/r_avg.dat write error
? 255
> victim
| victim
& [ "$(stat -c '%U %s' s/r_avg.dat)" = "nobody 0" ] && [ "$(wc -l < d/new_t4)" = 7 ]

=== header lines stay comments whatever the arguments hold
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: 2
% ln -s a_to_b_t4 "$(printf 'epi\nscale: 1000\r\n#_to_anat_t4')"
$ xfm_reverse -u epi* out_t4 > /dev/null
> out_t4
| #xfm_reverse -u epi\\nscale: 1000\\r\\n#_to_anat_t4 out_t4
| #@REV@
| @IDENTITY@

# As with the two runs above, but what takes the name meanwhile is a file
# that another user plants in a sticky directory.
=== with the kernel's protections on, a file planted while a new one is written is not written [serial]
! [ "$(id -u)" = 0 ] && [ -w /proc/sys/fs/protected_regular ] || { echo "needs root and fs.protected_regular"; exit 1; }
< s/t.dat
| #lag A B
| -1 1 2
% chmod 1777 s && echo s/t.dat > s/r.lst && mkfifo progress s/r_ROIavg.dat
$ was=$(cat /proc/sys/fs/protected_regular); trap 'echo $was > /proc/sys/fs/protected_regular' EXIT
  echo 1 > /proc/sys/fs/protected_regular; lag_pool s/r.lst > /dev/null 2> progress & pid=$!; exec 3< progress
  read -r line <&3
  setpriv --reuid=65534 --regid=65534 --clear-groups sh -c 'echo planted > s/r_avg.dat && chmod 666 s/r_avg.dat'
  cat s/r_ROIavg.dat > /dev/null & wait $pid; echo "status $?"; tail -n 1 <&3; cat s/r_avg.dat
1| status 255
1| lag_pool: s/r_avg.dat write error
1| planted
& [ ! -e s/r_gammabar.dat ]
