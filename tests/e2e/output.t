# The shared writing path: a file is replaced only once it is whole.
@@ ID $Id: xfm_unit.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $

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
