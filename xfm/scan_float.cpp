#include "xfm/scan_float.h"

#include <cstdlib>

// glibc's scanf takes the bytes of a "%f" number one at a time into a
// buffer of its own, following the steps below, and pushes back the one
// byte that ends them. It then converts the buffer with strtof (its
// internal form with grouping off, which is what strtof calls) and stores
// the value when strtof read anything; when strtof read nothing, the
// conversion fails with the bytes still consumed. The bytes it takes are
// always the input's own, so they are converted where they stand.

bool scanf_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

static bool digit(char c)
{
	return c >= '0' && c <= '9';
}

static char lower(char c)
{
	return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

static bool hex_digit(char c)
{
	return digit(c) || (lower(c) >= 'a' && lower(c) <= 'f');
}

// Takes the letters of word, in either case, at s + *n. A byte that breaks
// the word is consumed with it, unless it is the end of the input.
static bool take_word(const char *s, size_t *n, const char *word)
{
	for (; *word; word++) {
		if (s[*n] == '\0')
			return false;
		if (lower(s[(*n)++]) != *word)
			return false;
	}
	return true;
}

// The bytes of a number in digits at s: decimal or, after "0x",
// hexadecimal, with one point and an exponent ('e', or 'p' after "0x")
// whose sign must follow it at once. *convert is false when they are no
// number: no byte at all, or a "0x" with no digit after it.
static size_t number_length(const char *s, bool *convert)
{
	size_t n = 0;
	bool hex = false, got_digit = false, got_dot = false, got_exp = false;
	char exp_char = 'e';
	if (s[n] == '0') {
		n++;
		if (lower(s[n]) == 'x') {
			n++;
			hex = true;
			exp_char = 'p';
		} else {
			got_digit = true;
		}
	}
	for (;; n++) {
		char c = s[n];
		if (digit(c) || (hex && !got_exp && hex_digit(c)))
			got_digit = true;
		else if (got_exp && lower(s[n - 1]) == exp_char && (c == '-' || c == '+'))
			continue;
		else if (got_digit && !got_exp && lower(c) == exp_char)
			got_exp = got_dot = true;
		else if (!got_dot && c == '.')
			got_dot = true;
		else
			break;
	}
	*convert = n > (hex ? 2 : 0);
	return n;
}

bool scan_float(char **text, float &value)
{
	char *s = *text;
	size_t n = s[0] == '-' || s[0] == '+';  // the bytes consumed
	bool convert;                           // whether they are for strtof to try
	if (lower(s[n]) == 'n')
		convert = take_word(s, &n, "nan");
	else if (lower(s[n]) == 'i')
		convert = take_word(s, &n, "inf") && (lower(s[n]) != 'i' || take_word(s, &n, "inity"));
	else
		n += number_length(s + n, &convert);
	*text = s + n;
	if (!convert)
		return false;
	char end = s[n], *last;
	s[n] = '\0';
	float v = strtof(s, &last);
	s[n] = end;
	if (last == s)
		return false;
	value = v;
	return true;
}
