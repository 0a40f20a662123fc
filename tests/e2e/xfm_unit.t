# xfm_unit: writes an identity transform file.
@@ ID $Id: xfm_unit.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $
@< IDENTITY fixtures/identity_t4

=== usage without arguments
$ xfm_unit
1| @ID@
1| Usage:\txfm_unit <t4file>
1| e.g.,\txfm_unit qx42c_mpr1_to_905-7K_t4
? 1

=== a lone --help: the usage text on standard output, status 0
$ xfm_unit --help
1| @ID@
1| Usage:\txfm_unit <t4file>
1| e.g.,\txfm_unit qx42c_mpr1_to_905-7K_t4

=== a lone --version, to every program: its name and the package's version
$ for p in xfm_unit xfm_reverse xfm_chain lag_pool pattern_list shuffle xfm_points xfm_info xfm_rms xfm_make; do $p --version || exit; done
1| xfm_unit (regkit) 1.1.0
1| xfm_reverse (regkit) 1.1.0
1| xfm_chain (regkit) 1.1.0
1| lag_pool (regkit) 1.1.0
1| pattern_list (regkit) 1.1.0
1| shuffle (regkit) 1.1.0
1| xfm_points (regkit) 1.1.0
1| xfm_info (regkit) 1.1.0
1| xfm_rms (regkit) 1.1.0
1| xfm_make (regkit) 1.1.0

=== usage with option groups only, --help among them, name from a path
$ $(command -v xfm_unit) -x --help -
1| @ID@
1| Usage:\txfm_unit <t4file>
1| e.g.,\txfm_unit qx42c_mpr1_to_905-7K_t4
? 1

=== writes the identity with both header lines
$ xfm_unit out_t4
1| @ID@
1| Writing: out_t4
> out_t4
| #xfm_unit out_t4
| #@ID@
| @IDENTITY@

=== options stand in the header where they stood; a second path is ignored
% printf 'old contents\n' > a_t4
$ xfm_unit -q a_t4 b_t4 -zz
1| @ID@
1| Writing: a_t4
> a_t4
| #xfm_unit -q a_t4 b_t4 -zz
| #@ID@
| @IDENTITY@
>! b_t4

=== output in a missing directory is a write error before any Writing line
$ xfm_unit nodir/x_t4
1| @ID@
2| xfm_unit: nodir/x_t4 write error
? 255

=== output onto a directory is a write error
% mkdir d
$ xfm_unit d
1| @ID@
2| xfm_unit: d write error
? 255

=== a full device fails at the close
$ xfm_unit /dev/full
1| @ID@
1| Writing: /dev/full
2| xfm_unit: /dev/full write error
? 255

=== standard output that cannot be written is no success
$ xfm_unit out_t4 > /dev/full
2| xfm_unit: standard output write error
? 255

=== a name ending in a slash is empty
$ bash -c 'exec -a ./bin/ xfm_unit'
1| @ID@
1| Usage:\t <t4file>
1| e.g.,\t qx42c_mpr1_to_905-7K_t4
? 1
