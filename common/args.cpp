#include "common/args.h"

#include <cstring>

static bool is_option(const char *arg)
{
	return arg[0] == '-';
}

int positionals(int argc, char *const argv[], const char *slots[], int k)
{
	int found = 0;
	for (int i = 1; i < argc && found < k; i++)
		if (!is_option(argv[i]))
			slots[found++] = argv[i];
	return found;
}

int option_count(int argc, char *const argv[], char letter)
{
	int count = 0;
	for (int i = 1; i < argc; i++) {
		if (!is_option(argv[i]))
			continue;
		for (const char *c = argv[i]; *c; c++)
			count += *c == letter;
	}
	return count;
}
