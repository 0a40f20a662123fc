# xfm_make: writes a transform file from its parts.
@@ ID $Id: xfm_make.cpp,v 1.1 2026/12/09 12:00:00 regkit Exp $
@@ USAGE Usage:\txfm_make <t4file>\ne.g.,\txfm_make -r0,0,2 -t0,0,1.5 qx42c_mpr1_to_905-7K_t4\n\toption\n\t-t<flt>,<flt>,<flt>\ttranslation in mm (default 0,0,0)\n\t-r<flt>,<flt>,<flt>\tturns about x, y and z in degrees (default 0,0,0)\n\t-s<flt>,<flt>,<flt>\tscales along x, y and z, none 0 (default 1,1,1)\n\t-k<flt>,<flt>,<flt>\tshears xy, xz and yz (default 0,0,0)\n\t-a<flt>\tintensity scale (default none)
@< IDENTITY fixtures/identity_t4

=== usage without a t4file, with an unknown option or a value apart from its letter, and a lone --help
$ xfm_make -r0,0,1; echo "status $?"; xfm_make -x1,2,3 out_t4; echo "status $?"; xfm_make -r 10,5,-15 out_t4; echo "status $?"; xfm_make --help
1| @ID@
1| @USAGE@
1| status 1
1| @ID@
1| @USAGE@
1| status 1
1| @ID@
1| @USAGE@
1| status 1
1| @ID@
1| @USAGE@
2| xfm_make: missing operand
2| xfm_make: unknown option -x
2| xfm_make: -r takes its value in the same argument: -r10,5,-15
>! out_t4

=== a value that is none prints the usage text and writes nothing: status, usage lines, options
$ for o in -r -rx,0,0 -tnan,0,0 -k0,-inf,0 -s1,0,1 -s1e-50,1,1 -t1,2 -r1,2,3,4 '-r0, 0,0' -a1e39 '-s1e30,1,1 -k1e10,0,0' '-tx,0,0 -t1,2,3'
  do xfm_make $o t_t4 > out; echo "$? $(grep -c Usage out) $o"; done
1| 1 1 -r
1| 1 1 -rx,0,0
1| 1 1 -tnan,0,0
1| 1 1 -k0,-inf,0
1| 1 1 -s1,0,1
1| 1 1 -s1e-50,1,1
1| 1 1 -t1,2
1| 1 1 -r1,2,3,4
1| 1 1 -r0, 0,0
1| 1 1 -a1e39
1| 1 1 -s1e30,1,1 -k1e10,0,0
1| 1 1 -tx,0,0 -t1,2,3
2| xfm_make: -r takes its value in the same argument: -rt_t4
2| xfm_make: extra operand t_t4
>! t_t4
>! 0,0

=== every part, an intensity scale, and the header lines
$ xfm_make -t1,2,3 -r10,20,30 -s1,1.1,0.9 -k0.01,0,-0.02 -a1.5 a_to_b_t4
1| @ID@
1| Writing: a_to_b_t4
> a_to_b_t4
| #xfm_make -t1,2,3 -r10,20,30 -s1,1.1,0.9 -k0.01,0,-0.02 -a1.5 a_to_b_t4
| #@ID@
| t4
|   0.813798 -0.476929  0.350371    1.0000
|   0.469846  0.975519 -0.003191    2.0000
|  -0.342020  0.176073  0.829285    3.0000
|   0.000000  0.000000  0.000000    1.0000
| scale:      1.500000

=== quarter turns are exact; -0 is 0; a later option overrides; -a0 is no scale; no option is the identity
$ xfm_make q_t4 -a2 -r0,0,45 -r90,-180,270 -t-0.00,0,-0 -a0 > /dev/null && xfm_make i_t4
1| @ID@
1| Writing: i_t4
> q_t4
| #xfm_make q_t4 -a2 -r0,0,45 -r90,-180,270 -t-0.00,0,-0 -a0
| #@ID@
| t4
|   0.000000  0.000000 -1.000000    0.0000
|   1.000000  0.000000  0.000000    0.0000
|   0.000000 -1.000000  0.000000    0.0000
|   0.000000  0.000000  0.000000    1.0000
> i_t4
| #xfm_make i_t4
| #@ID@
| @IDENTITY@

=== a file that cannot be written
$ xfm_make -r0,0,1 nodir/x_t4
1| @ID@
2| xfm_make: nodir/x_t4 write error
? 255
