#!/usr/bin/env bash
# Start-up cost of the transform tools: times many whole runs of each tool
# on a small file against a minimal C program that prints one line, and
# prints the ratio of each to it. The tools are started thousands of times
# from scripts, so this is what they cost.
#
#   bench/startup.sh [BINDIR] [RUNS]    defaults: build/bin and 2000
#
# The runs of a tool alternate one by one with runs of the minimal program
# and the medians are compared, so that other work on the machine weighs
# on both sides alike.
set -eu
bin=$(cd "${1:-build/bin}" && pwd)
runs=${2:-2000}
cc=${CC:-cc}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

cat >minimal.c <<'C'
#include <stdio.h>
int main(void) { puts("hello"); return 0; }
C
$cc -O2 -o minimal minimal.c

# pair N CMD... -- CMD...: runs the two command lines N times each, in
# turn, with standard output on /dev/null, and prints the median wall time
# of each in microseconds.
cat >pair.c <<'C'
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <fcntl.h>

extern char **environ;

static double run(char **argv, posix_spawn_file_actions_t *fa)
{
	struct timespec a, b;
	pid_t pid;
	int status;
	clock_gettime(CLOCK_MONOTONIC, &a);
	if (posix_spawn(&pid, argv[0], fa, NULL, argv, environ) != 0) {
		perror(argv[0]);
		exit(1);
	}
	waitpid(pid, &status, 0);
	clock_gettime(CLOCK_MONOTONIC, &b);
	if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
		fprintf(stderr, "%s failed\n", argv[0]);
		exit(1);
	}
	return (b.tv_sec - a.tv_sec) * 1e6 + (b.tv_nsec - a.tv_nsec) / 1e3;
}

static int cmp(const void *x, const void *y)
{
	double a = *(const double *)x, b = *(const double *)y;
	return (a > b) - (a < b);
}

int main(int argc, char **argv)
{
	int n = atoi(argv[1]), split = 2;
	while (split < argc && strcmp(argv[split], "--"))
		split++;
	argv[split] = NULL;
	char **a = argv + 2, **b = argv + split + 1;
	double *ta = malloc(n * sizeof *ta), *tb = malloc(n * sizeof *tb);
	posix_spawn_file_actions_t fa;
	posix_spawn_file_actions_init(&fa);
	posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
	for (int i = 0; i < n; i++) {
		ta[i] = run(a, &fa);
		tb[i] = run(b, &fa);
	}
	qsort(ta, n, sizeof *ta, cmp);
	qsort(tb, n, sizeof *tb, cmp);
	printf("%.1f %.1f\n", ta[n / 2], tb[n / 2]);
	return 0;
}
C
$cc -O2 -o pair pair.c

"$bin/xfm_unit" a_to_b_t4 >/dev/null
printf 't4\n 0.98 -0.17 0.02 3.5\n 0.17 0.98 -0.05 -12.25\n -0.01 0.05 1.01 7\n 0 0 0 1\nscale: 1.1\n' >b_to_c_t4

report() {
	local name=$1
	shift
	./pair "$runs" ./minimal -- "$@" | awk -v name="$name" '{
		printf "%-12s %7.3f ms/run   minimal C %7.3f ms/run   ratio %.2f\n",
			name, $2 / 1000, $1 / 1000, $2 / $1
	}'
}

echo "median of $runs runs each"
report xfm_unit "$bin/xfm_unit" out_t4
report xfm_reverse "$bin/xfm_reverse" b_to_c_t4
report xfm_chain "$bin/xfm_chain" a_to_b_t4 b_to_c_t4
