# xfm_rms: the RMS difference of transform files over a sphere.

@@ USAGE Usage:\txfm_rms <t4file> [t4file...]\ne.g.,\txfm_rms -r80 qx42c_234-3_to_qx42c_234-1_t4 qx42c_234-4_to_qx42c_234-1_t4\n\toption\n\t-r<flt>\tradius of the sphere in mm (default 80)\n\t-c<flt>,<flt>,<flt>\tcentre of the sphere in mm (default 0,0,0)

=== usage without a transform, with an unknown option, or with a radius or centre that is none
< t_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_rms -r5; echo "status $?"; xfm_rms -R60 t_t4; echo "status $?"; xfm_rms -r0 t_t4; echo "status $?"; xfm_rms t_t4 -c1,2
1| @USAGE@
1| status 1
1| @USAGE@
1| status 1
1| @USAGE@
1| status 1
1| @USAGE@
2| xfm_rms: missing operand
2| xfm_rms: unknown option -R
? 1

=== one file against the identity, a file against itself, consecutive pairs, another sphere; inf less inf, translations far apart
< t_t4
| t4
| 1 0 0 3
| 0 1 0 4
| 0 0 1 0
| 0 0 0 1
< g_t4
| t4
| 1.1 0 0 0
| 0 1.1 0 0
| 0 0 1.1 0
| 0 0 0 1
< i_t4
| t4
| 1 0 0 inf 0 1 0 0 0 0 1 0 0 0 0 1
< far_t4
| t4
| 1 0 0 10000001 0 1 0 0 0 0 1 0 0 0 0 1
< near_t4
| t4
| 1 0 0 0.3 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_rms t_t4; xfm_rms t_t4 t_t4; xfm_rms t_t4 g_t4 t_t4; xfm_rms -r40 g_t4 -c10,0,0; xfm_rms i_t4 i_t4 far_t4 near_t4
1| 5.0000
1| 0.0000
1| 7.9624
1| 7.9624
1| 3.2558
1| -nan
1| inf
1| 10000000.7000

=== a file that cannot be read ends the run after the pairs before it
< t_t4
| t4
| 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
$ xfm_rms t_t4 t_t4 none t_t4
1| 0.0000
2| xfm_rms: none read error
? 255
