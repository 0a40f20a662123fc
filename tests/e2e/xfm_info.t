# xfm_info: the translation, rotation, scales and shears of transform files.


=== usage without a transform, or with an option it does not take: one line says why
$ xfm_info -x
1| Usage:\txfm_info <t4file> [t4file...]
1| e.g.,\txfm_info qx42c_anat_ave_to_qx42c_234-3_t4
1| \toption
2| xfm_info: unknown option -x
? 1

=== a turn is rigid, a mirror a negative x scale, dependent columns leave the parts undefined; a negative intensity scale is one
< r_t4
| t4
|   0 -1 0 10
|   1  0 0 -5
|   0  0 1  1
|   0  0 0  1
< m_t4
| t4
| -1 0 0 0
|  0 1 0 0
|  0 0 1 0
|  0 0 0 1
| scale: -2
< s_t4
| t4
| 1 2 0 0
| 2 4 0 0
| 0 0 1 0
| 0 0 0 1
$ xfm_info r_t4 m_t4 s_t4
1| # r_t4
1| translation      10.0000     -5.0000      1.0000
1| rotation          0.0000      0.0000     90.0000
1| scales          1.000000    1.000000    1.000000
1| shears          0.000000    0.000000    0.000000
1| determinant     1.000000
1| rigid       yes
1| scale       none
1|
1| # m_t4
1| translation       0.0000      0.0000      0.0000
1| rotation          0.0000      0.0000      0.0000
1| scales         -1.000000    1.000000    1.000000
1| shears          0.000000    0.000000    0.000000
1| determinant    -1.000000
1| rigid       no
1| scale          -2.000000
1|
1| # s_t4
1| translation       0.0000      0.0000      0.0000
1| rotation    undefined
1| scales      undefined
1| shears      undefined
1| determinant     0.000000
1| rigid       no
1| scale       none

=== a value that fills its field is written with a blank before it
< w_t4
| t4
| 100000 0 0 -12345678
| 0 1 0 5
| 0 0 1 1e9
| 0 0 0 1
| scale: 100000
$ xfm_info w_t4
1| # w_t4
1| translation  -12345678.0000      5.0000 1000000000.0000
1| rotation          0.0000      0.0000      0.0000
1| scales       100000.000000    1.000000    1.000000
1| shears          0.000000    0.000000    0.000000
1| determinant  100000.000000
1| rigid       no
1| scale        100000.000000

=== a file that cannot be read ends the run after the blocks before it
< r_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_info r_t4 none r_t4
1| # r_t4
1| translation       0.0000      0.0000      0.0000
1| rotation          0.0000      0.0000      0.0000
1| scales          1.000000    1.000000    1.000000
1| shears          0.000000    0.000000    0.000000
1| determinant     1.000000
1| rigid       yes
1| scale       none
2| xfm_info: none read error
? 255
