#include "common/split.h"

#include <cstring>

int split(char *line, char *tokens[], int max)
{
	if (max <= 0)
		return 0;
	int count = 0;
	char *p = line;
	for (;;) {
		while (*p && !is_graphic(*p))
			p++;
		if (!*p)
			return count;
		tokens[count++] = p;
		while (is_graphic(*p))
			p++;
		if (!*p)
			return count;
		*p++ = '\0';
		if (count == max)
			return count;
	}
}

int split_uncommented(char *line, char *tokens[], int max)
{
	char *hash = strchr(line, '#');
	if (hash)
		*hash = '\0';
	return split(line, tokens, max);
}
