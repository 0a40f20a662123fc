# The front page and the manual pages: every example works when pasted in
# examples/ (tools/pasted says how it is pasted).

=== the front page's session shows what it says
$ pasted README.md

=== every example of the programs' manual pages shows what it says, and every script there runs
! command -v gnuplot || { echo "needs gnuplot, for the plot of lag_pool(1)"; exit 1; }
$ pasted
