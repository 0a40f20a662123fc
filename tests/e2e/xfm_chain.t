# xfm_chain: composes two transform files, left times right.
@@ ID $Id: xfm_chain.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@@ ROW4   0.000000  0.000000  0.000000    1.0000
@< IDENTITY fixtures/identity_t4

=== usage without arguments
$ xfm_chain
1| @ID@
1| Usage:\txfm_chain <left_t4file> <right_t4file> [product_t4file]
1| e.g.:\txfm_chain qx42c_anat_ave_to_qx42c_234-3_t4 qx42c_234-3_to_905-7K_t4 [qx42c_anat_ave_to_905-7K_t4]
1| \toption
? 1

=== a lone --help: the usage text on standard output, status 0
$ xfm_chain --help
1| @ID@
1| Usage:\txfm_chain <left_t4file> <right_t4file> [product_t4file]
1| e.g.:\txfm_chain qx42c_anat_ave_to_qx42c_234-3_t4 qx42c_234-3_to_905-7K_t4 [qx42c_anat_ave_to_905-7K_t4]
1| \toption

=== usage with one path and option groups, --version among them, name from a path
$ $(command -v xfm_chain) -x a_to_b_t4 --version
1| @ID@
1| Usage:\txfm_chain <left_t4file> <right_t4file> [product_t4file]
1| e.g.:\txfm_chain qx42c_anat_ave_to_qx42c_234-3_t4 qx42c_234-3_to_905-7K_t4 [qx42c_anat_ave_to_905-7K_t4]
1| \toption
? 1
>! a_to_b_t4

=== the product of p_to_q and q_to_r is p_to_r, in the working directory
< d/p_to_q_t4
| t4
|   2.000000  0.000000  0.000000    1.0000
|   0.000000  4.000000  0.000000    1.0000
|   0.000000  0.000000  0.500000    1.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      2.000000
< e/q_to_r_t4
| # a pure translation
| scale: 3
| t4
| 1 0 0 10
| 0 1 0 -20
| 0 0 1 30
| 0 0 0 1
$ xfm_chain d/p_to_q_t4 e/q_to_r_t4
1| @ID@
1| Reading: d/p_to_q_t4
1| t4
1|   2.000000  0.000000  0.000000    1.0000
1|   0.000000  4.000000  0.000000    1.0000
1|   0.000000  0.000000  0.500000    1.0000
1| @ROW4@
1| scale: 2.000000
1| Reading: e/q_to_r_t4
1| t4
1|   1.000000  0.000000  0.000000   10.0000
1|   0.000000  1.000000  0.000000  -20.0000
1|   0.000000  0.000000  1.000000   30.0000
1| @ROW4@
1| scale: 3.000000
1| t4
1|   2.000000  0.000000  0.000000   21.0000
1|   0.000000  4.000000  0.000000  -79.0000
1|   0.000000  0.000000  0.500000   16.0000
1| @ROW4@
1| scale: 6.000000
1| Writing: p_to_r_t4
> p_to_r_t4
| #xfm_chain d/p_to_q_t4 e/q_to_r_t4
| #@ID@
| #product transform=[d/p_to_q_t4][e/q_to_r_t4]
| t4
|   2.000000  0.000000  0.000000   21.0000
|   0.000000  4.000000  0.000000  -79.0000
|   0.000000  0.000000  0.500000   16.0000
| @ROW4@
| scale:      6.000000
>! d/p_to_r_t4
>! e/p_to_r_t4

=== inner names that differ end with status 1 and no file
% xfm_unit p_to_q_t4 && xfm_unit s_to_r_t4
$ set -o pipefail; xfm_chain p_to_q_t4 s_to_r_t4 | grep -c '^t4$'
1| 3
? 1
& [ "$(ls -A | sort | tr '\n' ' ')" = "p_to_q_t4 s_to_r_t4 " ]

=== inner names that differ only in case differ
% xfm_unit p_to_q_t4 && xfm_unit Q_to_r_t4
$ xfm_chain p_to_q_t4 Q_to_r_t4 >/dev/null
? 1
>! p_to_r_t4

=== a left name without the pattern cannot be composed
% xfm_unit p_t4 && xfm_unit q_to_r_t4
$ xfm_chain p_t4 q_to_r_t4 >/dev/null
? 1
>! p_to_r_t4

=== an explicit output composes any pair; options and later paths are ignored
% xfm_unit p_to_q_t4
< s_to_r_t4
| t4
| 0 -1 0 5
| 1 0 0 6
| 0 0 1 7
| 0 0 0 1
$ xfm_chain -v p_to_q_t4 -u s_to_r_t4 out_t4 more_t4 -
1| @ID@
1| Reading: p_to_q_t4
1| @IDENTITY@
1| scale: 0.000000
1| Reading: s_to_r_t4
1| t4
1|   0.000000 -1.000000  0.000000    5.0000
1|   1.000000  0.000000  0.000000    6.0000
1|   0.000000  0.000000  1.000000    7.0000
1| @ROW4@
1| scale: 0.000000
1| t4
1|   0.000000 -1.000000  0.000000    5.0000
1|   1.000000  0.000000  0.000000    6.0000
1|   0.000000  0.000000  1.000000    7.0000
1| @ROW4@
1| scale: 0.000000
1| Writing: out_t4
> out_t4
| #xfm_chain -v p_to_q_t4 -u s_to_r_t4 out_t4 more_t4 -
| #@ID@
| #product transform=[p_to_q_t4][s_to_r_t4]
| t4
|   0.000000 -1.000000  0.000000    5.0000
|   1.000000  0.000000  0.000000    6.0000
|   0.000000  0.000000  1.000000    7.0000
| @ROW4@
>! more_t4

=== one scale alone makes a product scale of 0, which is not written
< a_to_b_t4
| t4
| 0 -1 0 5 1 0 0 6 0 0 1 7 0 0 0 1
| scale: 3
% xfm_unit b_to_c_t4
$ set -o pipefail; xfm_chain a_to_b_t4 b_to_c_t4 '' | grep -e scale -e Writing
1| scale: 3.000000
1| scale: 0.000000
1| scale: 0.000000
1| Writing: a_to_c_t4
> a_to_c_t4
| #xfm_chain a_to_b_t4 b_to_c_t4\040
| #@ID@
| #product transform=[a_to_b_t4][b_to_c_t4]
| t4
|   0.000000 -1.000000  0.000000    5.0000
|   1.000000  0.000000  0.000000    6.0000
|   0.000000  0.000000  1.000000    7.0000
| @ROW4@

=== the translation of the product is L1 t2 + t1
< a_to_b_t4
| t4
| 0 -1 0 5 1 0 0 6 0 0 1 7 0 0 0 1
< b_to_c_t4
| t4
| 1 0 0 1 0 1 0 2 0 0 1 3 0 0 0 1
$ xfm_chain a_to_b_t4 b_to_c_t4 | tail -n 7 | head -n 5
1| t4
1|   0.000000 -1.000000  0.000000    3.0000
1|   1.000000  0.000000  0.000000    7.0000
1|   0.000000  0.000000  1.000000   10.0000
1| @ROW4@

=== which way the product and the inverse map: the worked example of t4(5)
< mpr_to_anat_t4
| t4
| 1 0 0 10  0 1 0 -20  0 0 1 30  0 0 0 1
| scale: 2
< anat_to_atlas_t4
| t4
| 0.5 0 0 1  0 0.5 0 2  0 0 0.5 3  0 0 0 1
| scale: 3
$ xfm_chain mpr_to_anat_t4 anat_to_atlas_t4 >/dev/null && xfm_reverse mpr_to_atlas_t4 >/dev/null
> mpr_to_atlas_t4
| #xfm_chain mpr_to_anat_t4 anat_to_atlas_t4
| #@ID@
| #product transform=[mpr_to_anat_t4][anat_to_atlas_t4]
| t4
|   0.500000  0.000000  0.000000   11.0000
|   0.000000  0.500000  0.000000  -18.0000
|   0.000000  0.000000  0.500000   33.0000
| @ROW4@
| scale:      6.000000
> atlas_to_mpr_t4
| #xfm_reverse mpr_to_atlas_t4
| #$Id: xfm_reverse.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
| t4
|   2.000000  0.000000  0.000000  -22.0000
|   0.000000  2.000000  0.000000   36.0000
|   0.000000  0.000000  2.000000  -66.0000
| @ROW4@
| scale:      0.166667

=== a missing left input is a read error before any Reading line
% xfm_unit b_to_c_t4
$ xfm_chain a_to_b_t4 b_to_c_t4
1| @ID@
2| xfm_chain: a_to_b_t4 read error
? 255

=== a missing right input is a read error after the left listing
% xfm_unit a_to_b_t4
$ xfm_chain a_to_b_t4 d/b_to_c_t4
1| @ID@
1| Reading: a_to_b_t4
1| @IDENTITY@
1| scale: 0.000000
2| xfm_chain: d/b_to_c_t4 read error
? 255
>! a_to_c_t4

=== an empty right input is a read error
% xfm_unit a_to_b_t4 && : > b_to_c_t4
$ set -o pipefail; xfm_chain a_to_b_t4 b_to_c_t4 | tail -n 1
1| Reading: b_to_c_t4
2| xfm_chain: b_to_c_t4 read error
? 255

=== output into a missing directory is a write error before any Writing line
% xfm_unit a_to_b_t4 && xfm_unit b_to_c_t4
$ set -o pipefail; xfm_chain a_to_b_t4 b_to_c_t4 nodir/a_to_c_t4 | tail -n 1
1| scale: 0.000000
2| xfm_chain: nodir/a_to_c_t4 write error
? 255

=== a full device fails at the close
% xfm_unit a_to_b_t4 && xfm_unit b_to_c_t4
$ set -o pipefail; xfm_chain a_to_b_t4 b_to_c_t4 /dev/full | tail -n 1
1| Writing: /dev/full
2| xfm_chain: /dev/full write error
? 255

=== standard output that cannot be written is no success
% xfm_unit a_to_b_t4 && xfm_unit b_to_c_t4
$ xfm_chain a_to_b_t4 b_to_c_t4 > /dev/full
2| xfm_chain: standard output write error
? 255
& [ -f a_to_c_t4 ]

# The product below is the exact product of the numbers as read, rounded to
# the printed digits; none of them lies near a rounding boundary.
=== two registrations composed, as a workflow chains them
< epi_to_anat_t4
| t4
|   0.998742 -0.049969  0.004352   -2.3510
|   0.050021  0.998513 -0.021607    4.1187
|  -0.003271  0.021798  0.999757   -1.0634
|   0.000000  0.000000  0.000000    1.0000
| scale:      1.052000
< anat_to_atlas_t4
| t4
|   1.052310  0.021540 -0.010220    1.8820
|  -0.018760  1.103390  0.062130   -9.4410
|   0.008740 -0.071260  1.087250   12.3050
|   0.000000  0.000000  0.000000    1.0000
$ xfm_chain epi_to_anat_t4 anat_to_atlas_t4 | tail -n 7
1| t4
1|   1.051962 -0.033933 -0.008580    0.0539
1|   0.033717  1.104366  0.038034   -5.4800
1|   0.004887 -0.047261  1.088374   11.0267
1| @ROW4@
1| scale: 0.000000
1| Writing: epi_to_atlas_t4
> epi_to_atlas_t4
| #xfm_chain epi_to_anat_t4 anat_to_atlas_t4
| #@ID@
| #product transform=[epi_to_anat_t4][anat_to_atlas_t4]
| t4
|   1.051962 -0.033933 -0.008580    0.0539
|   0.033717  1.104366  0.038034   -5.4800
|   0.004887 -0.047261  1.088374   11.0267
| @ROW4@

=== paths longer than any line buffer are kept whole
% d=$(printf 'directory_%02d/' $(seq 25)) && mkdir -p $d && xfm_unit ${d}p_to_q_t4 && xfm_unit ${d}q_to_r_t4
$ d=$(printf 'directory_%02d/' $(seq 25)); xfm_chain ${d}p_to_q_t4 ${d}q_to_r_t4 | grep Reading | wc -c
1| 688
& d=$(printf 'directory_%02d/' $(seq 25)); [ "$(sed -n 3p p_to_r_t4)" = "#product transform=[${d}p_to_q_t4][${d}q_to_r_t4]" ]
