# xfm_reverse: inverts a transform file and its intensity scale.
@@ ID $Id: xfm_reverse.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@< IDENTITY fixtures/identity_t4

=== usage without arguments
$ xfm_reverse
1| @ID@
1| Usage:\txfm_reverse <t4file> [inv_t4file]
1| e.g.,\txfm_reverse qx42c_anat_ave_to_qx42c_234-3_t4 [qx42c_234-3_to_qx42c_anat_ave_t4]
1| \toption
1| \t-u\tsuppress (intensity) scale field in output
? 1

=== a lone --help: the usage text on standard output, status 0
$ xfm_reverse --help
1| @ID@
1| Usage:\txfm_reverse <t4file> [inv_t4file]
1| e.g.,\txfm_reverse qx42c_anat_ave_to_qx42c_234-3_t4 [qx42c_234-3_to_qx42c_anat_ave_t4]
1| \toption
1| \t-u\tsuppress (intensity) scale field in output

=== usage with option groups only, --help among them, name from a path
$ $(command -v xfm_reverse) -u -uu --help
1| @ID@
1| Usage:\txfm_reverse <t4file> [inv_t4file]
1| e.g.,\txfm_reverse qx42c_anat_ave_to_qx42c_234-3_t4 [qx42c_234-3_to_qx42c_anat_ave_t4]
1| \toption
1| \t-u\tsuppress (intensity) scale field in output
? 1

=== the derived name reverses the direction and lands in the working directory
< d/p_to_q_t4
| #xfm_unit p_to_q_t4
| #$Id$
| t4
|   2.000000  0.000000  0.000000    1.0000
|   0.000000  4.000000  0.000000    1.0000
|   0.000000  0.000000  0.500000    1.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      2.000000
$ xfm_reverse d/p_to_q_t4
1| @ID@
1| Reading: d/p_to_q_t4
1| t4
1|   2.000000  0.000000  0.000000    1.0000
1|   0.000000  4.000000  0.000000    1.0000
1|   0.000000  0.000000  0.500000    1.0000
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 2.000000
1| t4
1|   0.500000  0.000000  0.000000   -0.5000
1|   0.000000  0.250000  0.000000   -0.2500
1|   0.000000  0.000000  2.000000   -2.0000
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 0.500000
1| Writing: q_to_p_t4
> q_to_p_t4
| #xfm_reverse d/p_to_q_t4
| #@ID@
| t4
|   0.500000  0.000000  0.000000   -0.5000
|   0.000000  0.250000  0.000000   -0.2500
|   0.000000  0.000000  2.000000   -2.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      0.500000
>! d/q_to_p_t4

=== -u anywhere and repeated drops the output scale; explicit output, extra paths ignored
< plain.txt
| scale: 2
| t4
| 2 0 0 1 0 4 0 1
| 0 0 0.5 1
| 0 0 0 1
$ xfm_reverse -xu plain.txt -uu out extra_t4
1| @ID@
1| Reading: plain.txt
1| t4
1|   2.000000  0.000000  0.000000    1.0000
1|   0.000000  4.000000  0.000000    1.0000
1|   0.000000  0.000000  0.500000    1.0000
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 2.000000
1| t4
1|   0.500000  0.000000  0.000000   -0.5000
1|   0.000000  0.250000  0.000000   -0.2500
1|   0.000000  0.000000  2.000000   -2.0000
1|   0.000000  0.000000  0.000000    1.0000
1| Writing: out
> out
| #xfm_reverse -xu plain.txt -uu out extra_t4
| #@ID@
| t4
|   0.500000  0.000000  0.000000   -0.5000
|   0.000000  0.250000  0.000000   -0.2500
|   0.000000  0.000000  2.000000   -2.0000
|   0.000000  0.000000  0.000000    1.0000
>! extra_t4

=== no scale line: listed once as 0, not written; a bare matrix is read
< a_to_b_t4
| 1 0 0 10
| 0 1 0 -20
| 0 0 1 30
| 0 0 0 1
$ xfm_reverse a_to_b_t4
1| @ID@
1| Reading: a_to_b_t4
1| t4
1|   1.000000  0.000000  0.000000   10.0000
1|   0.000000  1.000000  0.000000  -20.0000
1|   0.000000  0.000000  1.000000   30.0000
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 0.000000
1| t4
1|   1.000000  0.000000  0.000000  -10.0000
1|   0.000000  1.000000  0.000000   20.0000
1|   0.000000  0.000000  1.000000  -30.0000
1|   0.000000  0.000000  0.000000    1.0000
1| Writing: b_to_a_t4
> b_to_a_t4
| #xfm_reverse a_to_b_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000  -10.0000
|   0.000000  1.000000  0.000000   20.0000
|   0.000000  0.000000  1.000000  -30.0000
|   0.000000  0.000000  0.000000    1.0000

=== an empty output path is derived; scale 0 is not written
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: 0
$ set -o pipefail; xfm_reverse a_to_b_t4 '' | grep -e scale -e Writing
1| scale: 0.000000
1| Writing: b_to_a_t4
> b_to_a_t4
| #xfm_reverse a_to_b_t4\040
| #@ID@
| @IDENTITY@

=== an infinite scale has the reciprocal 0: listed, not written
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: inf
$ set -o pipefail; xfm_reverse a_to_b_t4 | grep scale
1| scale: inf
1| scale: 0.000000
> b_to_a_t4
| #xfm_reverse a_to_b_t4
| #@ID@
| @IDENTITY@

=== a NaN scale is not 0: its reciprocal is listed and written
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: nan
$ set -o pipefail; xfm_reverse a_to_b_t4 | grep scale
1| scale: nan
1| scale: nan
> b_to_a_t4
| #xfm_reverse a_to_b_t4
| #@ID@
| @IDENTITY@
| scale:           nan

=== the output may be the input: it is replaced by its inverse
< a_to_b_t4
| t4
|   1.000000  0.000000  0.000000   10.0000
|   0.000000  1.000000  0.000000  -20.0000
|   0.000000  0.000000  1.000000   30.0000
|   0.000000  0.000000  0.000000    1.0000
| scale: 4
$ xfm_reverse a_to_b_t4 a_to_b_t4 >/dev/null
> a_to_b_t4
| #xfm_reverse a_to_b_t4 a_to_b_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000  -10.0000
|   0.000000  1.000000  0.000000   20.0000
|   0.000000  0.000000  1.000000  -30.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      0.250000

=== a number that fills its field is written with a blank before it: reversed twice, the file comes back
< a_to_b_t4
| t4
| 1 0 0 24000
| 0 0.005 0 0
| 0 0 1 0
| 0 0 0 1
$ xfm_reverse a_to_b_t4 > /dev/null && xfm_reverse b_to_a_t4 > /dev/null
> b_to_a_t4
| #xfm_reverse a_to_b_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000 -24000.0000
|   0.000000 200.000000  0.000000    0.0000
|   0.000000  0.000000  1.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000
> a_to_b_t4
| #xfm_reverse b_to_a_t4
| #@ID@
| t4
|   1.000000  0.000000  0.000000 24000.0000
|   0.000000  0.005000  0.000000    0.0000
|   0.000000  0.000000  1.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000

# The sign a NaN carries depends on how the compiler ordered the operands,
# so the C library may print it as "nan" or "-nan": both read as " nan" here.
=== a singular linear part is inverted without a message: NaN rows, status 0
< z_to_w_t4
| t4
| 0 0 0 1
| 0 0 0 2
| 0 0 0 3
| 0 0 0 1
< want
| #xfm_reverse z_to_w_t4
| #@ID@
| t4
|        nan       nan       nan       nan
|        nan       nan       nan       nan
|        nan       nan       nan       nan
|   0.000000  0.000000  0.000000    1.0000
$ set -o pipefail; xfm_reverse z_to_w_t4 | sed 's/-nan/ nan/g'
1| @ID@
1| Reading: z_to_w_t4
1| t4
1|   0.000000  0.000000  0.000000    1.0000
1|   0.000000  0.000000  0.000000    2.0000
1|   0.000000  0.000000  0.000000    3.0000
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 0.000000
1| t4
1|        nan       nan       nan       nan
1|        nan       nan       nan       nan
1|        nan       nan       nan       nan
1|   0.000000  0.000000  0.000000    1.0000
1| Writing: w_to_z_t4
& sed 's/-nan/ nan/g' w_to_z_t4 | cmp - want

=== a name without _to_ cannot be reversed: status 1, no message, no file
< ab_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_reverse ab_t4
1| @ID@
1| Reading: ab_t4
1| @IDENTITY@
1| scale: 0.000000
? 1
& [ "$(ls -A)" = ab_t4 ]

=== a name with _t4 only before its _to_ cannot be reversed
< d_to_e/a_t4_to_b
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_reverse d_to_e/a_t4_to_b >/dev/null
? 1
& [ "$(ls -A)" = d_to_e ] && [ "$(ls -A d_to_e)" = a_t4_to_b ]

=== a missing input is a read error before any Reading line
$ xfm_reverse -u a_to_b_t4
1| @ID@
2| xfm_reverse: a_to_b_t4 read error
? 255

=== a block of fewer than four rows is a read error
< a_to_b_t4
| t4
| 1 0 0 0
| 0 1 0 0 # comment
| 0 0 1 0
| 0 0 0 1
$ xfm_reverse a_to_b_t4
1| @ID@
1| Reading: a_to_b_t4
2| xfm_reverse: a_to_b_t4 read error
? 255
>! b_to_a_t4

=== output into a missing directory is a write error after the listings
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
| scale: 2
$ set -o pipefail; xfm_reverse a_to_b_t4 nodir/b_to_a_t4 | tail -n 1
1| scale: 0.500000
2| xfm_reverse: nodir/b_to_a_t4 write error
? 255

=== a full device fails at the close
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ set -o pipefail; xfm_reverse -u a_to_b_t4 /dev/full | tail -n 2
1|   0.000000  0.000000  0.000000    1.0000
1| Writing: /dev/full
2| xfm_reverse: /dev/full write error
? 255

=== standard output that cannot be written is no success
< a_to_b_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_reverse a_to_b_t4 > /dev/full
2| xfm_reverse: standard output write error
? 255
& [ -f b_to_a_t4 ]

# The inverse below is the exact inverse of the numbers as read, rounded to
# the printed digits; none of them lies near a rounding boundary.
=== a rigid transform with a scale, as registration writes it
< epi_to_anat_t4
| # rigid alignment of the mean functional image (epi) to the anatomy (anat)
| t4
|   0.998742 -0.049969  0.004352   -2.3510
|   0.050021  0.998513 -0.021607    4.1187
|  -0.003271  0.021798  0.999757   -1.0634
|   0.000000  0.000000  0.000000    1.0000
| scale:      1.052000
$ xfm_reverse epi_to_anat_t4
1| @ID@
1| Reading: epi_to_anat_t4
1| t4
1|   0.998742 -0.049969  0.004352   -2.3510
1|   0.050021  0.998513 -0.021607    4.1187
1|  -0.003271  0.021798  0.999757   -1.0634
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 1.052000
1| t4
1|   0.998742  0.050052 -0.003266    2.1384
1|  -0.049938  0.998514  0.021798   -4.2068
1|   0.004356 -0.021607  0.999757    1.1624
1|   0.000000  0.000000  0.000000    1.0000
1| scale: 0.950570
1| Writing: anat_to_epi_t4
> anat_to_epi_t4
| #xfm_reverse epi_to_anat_t4
| #@ID@
| t4
|   0.998742  0.050052 -0.003266    2.1384
|  -0.049938  0.998514  0.021798   -4.2068
|   0.004356 -0.021607  0.999757    1.1624
|   0.000000  0.000000  0.000000    1.0000
| scale:      0.950570
