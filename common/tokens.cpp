#include "common/tokens.h"

#include <cstring>

size_t count_tokens(const char *line)
{
	size_t n = 0;
	while (!next_token(&line).empty())
		n++;
	return n;
}

void cut_comment(char *line)
{
	if (char *hash = strchr(line, '#'))
		*hash = '\0';
}
