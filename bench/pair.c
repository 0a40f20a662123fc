/*
 * pair N CMD... -- CMD...: runs the two command lines N times each, in
 * turn, with standard output on /dev/null, and prints the median wall time
 * of each in microseconds. Used by bench/startup.sh.
 */
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>

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
