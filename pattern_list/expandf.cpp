// The expansion runs in passes over a working text: whitespace removal,
// letter groups, bracketed groups (groups.cpp), the left-over bracket test
// and runs; then the final check measures what they left.
#include "pattern_list/expandf.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/budget.h"
#include "pattern_list/expansion.h"

namespace expansion {

void unbalanced(const Work &w)
{
	if (w.speak)
		printf("expandf error: unbalanced parentheses\n");
}

namespace {

void toolong(int bufsize)
{
	fprintf(stderr, "expandf error: expanded format length exceeds allocated buffer size (%d)\n",
	        bufsize);
}

bool is_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_letter(char c)
{
	return c == 'C' || c == 'S' || c == 'c' || c == 's';
}

void squeeze(Work &w, const char *format)
{
	size_t n = 0;
	for (const char *c = format; *c; c++)
		if (!is_space(*c))
			w.text[n++] = *c;
	w.text[n] = '\0';
	w.len = n;
}

// C, S, c and s with up to 16 digits after them become a group ending in
// '~': "C3" is "(CC~)". The text built here must stay shorter than the limit.
ExpandResult letters(Work &w)
{
	const char *t = w.text;
	char *out = w.build;
	uint64_t n = 0;

	while (*t) {
		if (!is_letter(*t)) {
			if (n + 1 >= w.limit)
				return ExpandResult::outgrown;
			out[n++] = *t++;
			continue;
		}
		char letter = *t++;
		size_t digits = 0;
		while (digits < 16 && is_digit(t[digits]))
			digits++;
		uint64_t count = number(t, digits);
		t += digits;
		uint64_t copies = count > 1 ? count - 1 : 0;
		if (n + copies + 3 >= w.limit)
			return ExpandResult::outgrown;
		out[n++] = '(';
		memset(out + n, letter, copies);
		n += copies;
		out[n++] = '~';
		out[n++] = ')';
	}
	adopt(w, n);
	return ExpandResult::done;
}

// Runs, left to right: a count repeats the symbol after it; a count that
// ends the text is dropped, but must fit all the same.
ExpandResult runs(Work &w)
{
	const char *t = w.text;
	char *out = w.build;
	size_t n = w.len, o = 0;

	for (size_t i = 0; i < n;) {
		if (!is_digit(t[i])) {
			out[o++] = t[i++];
			continue;
		}
		size_t j = i;
		while (j < n && is_digit(t[j]))
			j++;
		uint64_t count = number(t + i, j - i);
		bool symbol = j < n;
		size_t rest = symbol ? n - j - 1 : 0;
		if (add(add(o, count), rest) > w.limit) {
			w.len = o;
			return ExpandResult::outgrown;
		}
		if (symbol) {
			memset(out + o, t[j], count);
			o += count;
			j++;
		}
		i = j;
	}
	adopt(w, o);
	return ExpandResult::done;
}

// The passes after whitespace removal, each while those before succeed.
ExpandResult passes(Work &w)
{
	ExpandResult result = letters(w);
	if (result == ExpandResult::done)
		result = groups(w);
	if (result == ExpandResult::done && memchr(w.text, '(', w.len)) {
		unbalanced(w);
		result = ExpandResult::reported;
	}
	if (result == ExpandResult::done)
		result = runs(w);
	return result;
}

}  // namespace
}  // namespace expansion

using namespace expansion;

ExpandResult expandf(char *buf, int bufsize, bool speak)
{
	if (buf[0] == '\0')
		return ExpandResult::done;
	if (strnlen(buf, bufsize) == static_cast<size_t>(bufsize)) {
		if (speak)
			toolong(bufsize);
		return ExpandResult::reported;
	}

	size_t size = 2 * static_cast<size_t>(bufsize) + 1;
	Work w = {static_cast<char *>(budget_calloc(size)), static_cast<char *>(budget_calloc(size)), 0,
	          size - 1, speak};
	if (!w.text || !w.build) {
		budget_free(w.text, size);
		budget_free(w.build, size);
		return ExpandResult::no_memory;
	}

	squeeze(w, buf);
	ExpandResult result = passes(w);
	if (result != ExpandResult::no_memory && w.len >= static_cast<size_t>(bufsize)) {
		if (speak)
			toolong(bufsize);
		result = ExpandResult::reported;
	} else if (result == ExpandResult::done) {
		memcpy(buf, w.text, w.len + 1);
	}
	budget_free(w.text, size);
	budget_free(w.build, size);
	return result;
}
