// The line tokenizer: a token is a maximal run of graphic bytes (0x21 to
// 0x7E); every other byte separates. Tokens are cut in place.
#pragma once

// Fills tokens[0..n-1] with pointers into line and returns n, at most max.
// Once max tokens are found the rest of the line is left as it was.
int split(char *line, char *tokens[], int max);

// The same after cutting the line at its first '#', which a transform file
// reads as the start of a comment. The cut is made even when max < 1.
int split_uncommented(char *line, char *tokens[], int max);

inline bool is_graphic(char c)
{
	return c > 0x20 && c < 0x7f;
}
