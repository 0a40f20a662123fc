# pattern_list: lists the expansion of a format string.
@@ EG 2x3-2+1-2+2-2+1-1+2-1+1-1+1-1+2-1+1-1+1-2+2-1+1-1+2-2+1-2+2-
@@ TOOLONG expandf error: expanded format length exceeds allocated buffer size (16384)
@@ UNBALANCED expandf error: unbalanced parentheses

=== usage without arguments
$ pattern_list
1| Usage:\tpattern_list <format>
1| e.g.,\tpattern_list "@EG@"
1| \toptions
1| \t-w\tconvert {'x' '+' '-'} to {0.0 1.0 -1.0}
1| \t-e\texpand on single line
? 1

=== a lone --help: the usage text on standard output, status 0
$ pattern_list --help
1| Usage:\tpattern_list <format>
1| e.g.,\tpattern_list "@EG@"
1| \toptions
1| \t-w\tconvert {'x' '+' '-'} to {0.0 1.0 -1.0}
1| \t-e\texpand on single line

=== usage with option groups only, --help among them, name from a path
$ $(command -v pattern_list) -we --help
1| Usage:\tpattern_list <format>
1| e.g.,\tpattern_list "@EG@"
1| \toptions
1| \t-w\tconvert {'x' '+' '-'} to {0.0 1.0 -1.0}
1| \t-e\texpand on single line
? 1

=== a name ending in a slash is empty
$ bash -c 'exec -a ./bin/ pattern_list'
1| Usage:\t <format>
1| e.g.,\t "@EG@"
1| \toptions
1| \t-w\tconvert {'x' '+' '-'} to {0.0 1.0 -1.0}
1| \t-e\texpand on single line
? 1

=== one symbol a line
$ pattern_list 3x
1| x
1| x
1| x

=== single line: no separators and no final newline
$ pattern_list -e 3x
1| xxx\c

=== weights, one a line
$ pattern_list -w '+-x~C'
1| 1.0
1| -1.0
1| 0.0
1| 0.0
1| 0.0

=== weights on one line, the letters in one group or two
$ pattern_list -ew '+-x'; pattern_list -w 2x -e; pattern_list -e 1- -w
1| 1.0-1.00.0\c
1| 0.00.0\c
1| -1.0\c

=== the usage example as symbols on one line
$ pattern_list "2x3-2+1-2+2-2+1-1+2-1+1-1+1-1+2-1+1-1+1-2+2-1+1-1+2-2+1-2+2-" -e
1| xx---++-++--++-+--+-+-+--+-+-++--+-+--++-++--\c

=== the usage example as 45 weights
$ pattern_list -w "2x3-2+1-2+2-2+1-1+2-1+1-1+1-1+2-1+1-1+1-2+2-1+1-1+2-2+1-2+2-" > out
& [ "$(wc -l < out)" = 45 ]
& [ "$(head -n 7 out | tr '\n' ' ')" = "0.0 0.0 -1.0 -1.0 -1.0 1.0 1.0 " ]
& [ "$(tail -n 2 out | tr '\n' ' ')" = "-1.0 -1.0 " ]

=== groups, letter groups and whitespace
$ pattern_list -e 'x2(3(+)-)'; pattern_list -e ' 2 ( C 3 )'; pattern_list -e 2C
1| x+++-+++-CC~CC~~~\c

=== an empty or blank format lists nothing
$ pattern_list ''; pattern_list -w '   '; pattern_list 0x -e; pattern_list 2 x3
? 0

=== only the first format counts; unknown letters are ignored
$ pattern_list -x 2+ -q 3x -
1| +
1| +

=== a format beginning with a minus sign is written behind a blank or a count
$ pattern_list ' -x'; pattern_list -e 1-x
1| -
1| x
1| -x\c

=== other bytes are symbols too
$ pattern_list "$(printf '2\377\001')"
1| \xff
1| \xff
1| \x01

=== the longest expansion
$ pattern_list 16383x > out
& [ "$(wc -l < out)" = 16383 ] && [ "$(sort -u out)" = x ]

=== one item too many is reported
$ pattern_list 16384x
2| @TOOLONG@
? 255

=== far too many items fail without a message
$ pattern_list 32769x; echo $?; pattern_list x32768
1| 255
? 255

=== storage that cannot be had: the memory message, nothing listed
! f=x$(printf '()%.0s' {1..8191}); ulimit -d 640 && pattern_list 3x "$f"
$ f=x$(printf '()%.0s' {1..8191}); ulimit -d 640; pattern_list "$f"
2| expandf: memory allocation error
? 255

=== unbalanced brackets
$ pattern_list 'x('; pattern_list '12)'
1| @UNBALANCED@
1| @UNBALANCED@
? 255

=== unbalanced and too long: one message on each stream
$ pattern_list -w 'x20000(+)('
1| @UNBALANCED@
2| @TOOLONG@
? 255

=== counts beyond 32 bits never wrap
$ pattern_list 4294967297x; echo $?; pattern_list '2000000000(xx)'; echo $?; pattern_list x2147483647y
1| 255
1| 255
? 255

=== a format too long for the buffer, even of blanks
$ pattern_list "$(printf '%16383s' x)" -e; pattern_list "$(printf '%16384s' x)"
1| x\c
2| @TOOLONG@
? 255

=== option groups of any length
$ pattern_list "-$(printf 'e%.0s' {1..300})w" 2+-
1| 1.01.0-1.0\c

=== standard output that cannot be written is no success
$ pattern_list 3x > /dev/full
2| pattern_list: standard output write error
? 255
