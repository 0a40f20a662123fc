# shuffle: prints 1..n in an order fixed by a seed.
#
# The seeded orders below were computed outside the program: srandom with
# the seed, n draws of random(), positions listed by ascending key.
@@ S10 27 9 16 11 12 18 24 4 6 26 25 17 10 29 8 3 30 31 20 1 7 2 21 5 28 15 19 23 13 14 22 
@@ S3 6 2 5 3 4 1 7 
@@ S1 6 7 2 3 4 1 5 

=== no seed: the natural order, each number followed by a blank, no newline
$ shuffle 5
1| 1 2 3 4 5 \c

=== the last seed counts, here 0; a group without s does nothing; a second count is ignored
$ shuffle -s5 7 -x 9 -s0
1| 1 2 3 4 5 6 7 \c

=== count then seed
$ shuffle 31 -s10
1| @S10@\c

=== seed then count gives the same order
$ shuffle -s10 31
1| @S10@\c

=== the s may follow other letters
$ shuffle 7 -as3
1| @S3@\c

=== the seed ends at the first character that is no digit
$ shuffle 7 -s3x -q
1| @S3@\c

=== a seed counts by its low 32 bits: 2^32 + 1 acts as 1
$ shuffle -s4294967297 7
1| @S1@\c

=== count and seed are read in 64 bits, saturated beyond, then cut to 32: 2^32 + 7 counts 7, 10^20 seeds as -1
$ shuffle 4294967303 -s99999999999999999999
1| 5 1 3 2 7 4 6 \c

=== count and seed are decimal: a leading 0 or 0x is no base prefix
$ shuffle 010 -s0x10
1| 1 2 3 4 5 6 7 8 9 10 \c

=== counts 0, 2^32 and a count that is no number print nothing
$ shuffle 0 -s3 && shuffle 4294967296 && shuffle abc -s3
? 0

=== a count with a minus sign is an option group, as is a seed: usage, the name from the path
$ $(command -v shuffle) -3 -s10
1| Usage: shuffle <int n>
1|  e.g., shuffle 31 -s10
1| \toption
1| \t-s<int>\tspecifcy randomization seed
1| N.B.:\tshuffle prints to stdout seed-dependent randomly permuted integers in the range [1 <n>]
? 1

=== a lone --help: the usage text on standard output, status 0
$ shuffle --help
1| Usage: shuffle <int n>
1|  e.g., shuffle 31 -s10
1| \toption
1| \t-s<int>\tspecifcy randomization seed
1| N.B.:\tshuffle prints to stdout seed-dependent randomly permuted integers in the range [1 <n>]

=== a count whose low 32 bits are negative cannot be allocated
$ shuffle 4294967295 -s1
1| shuffle: memory allocation error
? 255

# 60 MB of order in 32 MiB; 12 MB of order and as much of keys in 16 MiB.
=== arrays that do not fit the memory of the run end it with a memory message, not a kill
$ memlimit 32M shuffle 15000000; memlimit 16M shuffle 3000000 -s1
1| shuffle: memory allocation error
2| permute: memory allocation error
? 255

=== standard output that cannot be written is no success
$ shuffle 100 -s1 > /dev/full
2| shuffle: standard output write error
? 255

=== a large seeded run is a permutation of 1..n and ends in a blank
$ shuffle 300000 -s7 > out
& tr ' ' '\n' < out | sort -n | cmp - <(seq 300000)
& [ "$(tail -c 1 out)" = ' ' ]

