/*
 * Runs a cross-built program under its emulator, passing on the name it
 * was called by (argv[0]) and its arguments unchanged. Built for the host,
 * one copy per program, with EMULATOR the emulator's command line as a
 * list of C strings and PROGRAM the path of the program it runs.
 */
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
	const char *emulator[] = {EMULATOR};
	size_t n = sizeof emulator / sizeof *emulator, k = 0;
	const char **args = calloc(n + argc + 3, sizeof *args);
	if (!args)
		return 127;
	for (size_t i = 0; i < n; i++)
		args[k++] = emulator[i];
	args[k++] = "-0";
	args[k++] = argc > 0 ? argv[0] : PROGRAM;
	args[k++] = PROGRAM;
	for (int i = 1; i < argc; i++)
		args[k++] = argv[i];
	execv(args[0], (char **)args);
	perror(args[0]);
	return 127;
}
