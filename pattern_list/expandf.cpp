// The expansion runs in passes over a working text: whitespace removal,
// letter groups, bracketed groups, runs. The group and run passes are
// defined as rewrites of the whole text, one group or run at a time, with a
// length test after each; they are computed here from a survey of the text
// instead, so that a format which repeats nested groups many times (each
// copy expanded on its own) costs no more than its length. Results, messages
// and the lengths the final check measures are those of the rewrites.
#include "pattern_list/expandf.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum { done = 0, reported = 1, outgrown = -1 };

// Counts and lengths saturate here, far beyond any buffer: an oversized
// count or product fails the length tests and never wraps into a small size.
constexpr uint64_t huge = uint64_t(1) << 62;

uint64_t add(uint64_t a, uint64_t b)
{
	return a + b < huge ? a + b : huge;
}

uint64_t mul(uint64_t a, uint64_t b)
{
	if (a == 0 || b == 0)
		return 0;
	return a > huge / b ? huge : a * b;
}

uint64_t max(uint64_t a, uint64_t b)
{
	return a > b ? a : b;
}

bool is_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

bool is_letter(char c)
{
	return c == 'C' || c == 'S' || c == 'c' || c == 's';
}

uint64_t number(const char *s, size_t n)
{
	uint64_t v = 0;
	for (size_t i = 0; i < n; i++)
		v = add(mul(v, 10), s[i] - '0');
	return v;
}

[[noreturn]] void nomem()
{
	fprintf(stderr, "expandf: memory allocation error\n");
	exit(255);
}

void *zalloc(size_t size)
{
	void *p = calloc(size, 1);
	if (!p)
		nomem();
	return p;
}

void unbalanced()
{
	printf("expandf error: unbalanced parentheses\n");
}

void toolong(int bufsize)
{
	fprintf(stderr, "expandf error: expanded format length exceeds allocated buffer size (%d)\n", bufsize);
}

// The working storage of one call. After a failed pass len is the length of
// the working text as that pass left it, which the final check measures.
struct work {
	char *text;
	char *build;
	size_t len;
	uint64_t limit;		// the longest text the storage holds
};

// The build text becomes the working text.
void adopt(work *w, size_t len)
{
	char *t = w->text;
	w->text = w->build;
	w->build = t;
	w->text[len] = '\0';
	w->len = len;
}

void squeeze(work *w, const char *format)
{
	size_t n = 0;
	for (const char *c = format; *c; c++)
		if (!is_space(*c))
			w->text[n++] = *c;
	w->text[n] = '\0';
	w->len = n;
}

// C, S, c and s with up to 16 digits after them become a group ending in
// '~': "C3" is "(CC~)". The text built here must stay shorter than the limit.
int letters(work *w)
{
	const char *t = w->text;
	char *out = w->build;
	uint64_t n = 0;

	while (*t) {
		if (!is_letter(*t)) {
			if (n + 1 >= w->limit)
				return outgrown;
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
		if (n + copies + 3 >= w->limit)
			return outgrown;
		out[n++] = '(';
		memset(out + n, letter, copies);
		n += copies;
		out[n++] = '~';
		out[n++] = ')';
	}
	adopt(w, n);
	return done;
}

// A bracketed group of the text: count(content), where digits right before
// the ')' belong to no one and are dropped.
struct group {
	long start;		// first digit of the count, or the '(' when there is none
	long open;		// the '('
	long end;		// end of the content: the ')' less the digits before it
	uint64_t count;
	uint64_t length;	// of the content as written
	uint64_t expanded;	// of the content once expanded
	uint64_t peak;		// longest the content grows while its groups expand
	bool nested;		// the content holds groups
};

// Groups are expanded from the last ')' backwards, each copy of a content
// on its own. When a group is expanded, everything before it is still as
// written and everything after it is expanded, so the length of the text
// after each step follows from the lengths above.
struct survey {
	const char *text;
	group *groups;		// groups[0] stands for the whole text
	long *at;		// at[i]: the group whose ')' stands at i
	long *stack;
	long ngroups;
	uint64_t limit;
};

// The group closed by the '(' at i is complete: record its count and what
// it adds to the text around it.
void close_group(survey *s, group *g, group *parent, long i)
{
	const char *t = s->text;
	long c = i;
	while (c > 0 && is_digit(t[c - 1]))
		c--;
	g->start = c;
	g->open = i;
	g->length = g->end - i - 1;
	g->count = c < i ? number(t + c, i - c) : 1;
	// The peak was summed from positions in the text: make it the content's.
	g->peak = g->nested ? g->peak - (i + 1) : 0;

	uint64_t grown = mul(g->count, g->length);
	if (g->nested && g->count > 0) {
		uint64_t around = max(mul(g->count - 1, g->length), mul(g->count - 1, g->expanded));
		grown = max(grown, add(around, g->peak));
	}
	parent->peak = max(parent->peak, add(add(c, grown), parent->expanded));
	parent->nested = true;
	parent->expanded = add(parent->expanded, mul(g->count, g->expanded));
}

// Surveys t[first..n), in which every ')' closes a group, from its end.
void survey_groups(survey *s, long first, long n)
{
	const char *t = s->text;
	long depth = 1;

	s->stack[0] = 0;
	s->ngroups = 1;
	for (long i = n - 1; i >= first;) {
		group *top = &s->groups[s->stack[depth - 1]];
		if (t[i] == ')') {
			long k = s->ngroups++;
			long e = i;
			while (is_digit(t[e - 1]))	// stops at the group's '('
				e--;
			s->groups[k].end = e;
			s->at[i] = k;
			s->stack[depth++] = k;
			i = e - 1;
			continue;
		}
		if (t[i] == '(' && depth > 1) {
			depth--;
			close_group(s, top, &s->groups[s->stack[depth - 1]], i);
			i = top->start - 1;
			continue;
		}
		top->expanded = add(top->expanded, 1);
		i--;
	}
}

// The longest a group's text gets while its copy j (1 to count) expands.
uint64_t copy_peak(const group *g, uint64_t before, uint64_t after, uint64_t j)
{
	uint64_t left = before + (j - 1) * g->length;
	uint64_t right = add(after, mul(g->count - j, g->expanded));
	return add(add(left, g->peak), right);
}

// The copy of a group's content in which a step outgrows the limit, the
// first in the order of expansion (the last copy first), or 0.
uint64_t failing_copy(const survey *s, const group *g, uint64_t before, uint64_t after)
{
	if (!g->nested || g->count == 0)
		return 0;
	// From one copy to the one before it, the text in front loses a content
	// as written and the text behind gains one expanded. When that makes no
	// copy longer, the last copy, expanded first, is the first to fail if
	// any is; otherwise the copies that fail are the first few, and the
	// last of them is expanded first.
	if (g->length >= g->expanded)
		return copy_peak(g, before, after, g->count) > s->limit ? g->count : 0;
	if (copy_peak(g, before, after, 1) <= s->limit)
		return 0;
	uint64_t lo = 1, hi = g->count;
	while (lo < hi) {
		uint64_t mid = lo + (hi - lo + 1) / 2;
		if (copy_peak(g, before, after, mid) > s->limit)
			lo = mid;
		else
			hi = mid - 1;
	}
	return lo;
}

// A stretch of the text as it stands while its groups expand: t[start..end)
// as written, with a text of length before in front and after behind it.
struct stretch {
	long start, end;
	uint64_t before, after;
};

// Walks the groups of a stretch in the order they expand. Returns true with
// the length in front of the first group whose own step outgrows the limit,
// or false with the stretch narrowed to the copy in which a later step does.
bool step_fails(const survey *s, stretch *r, uint64_t *measured)
{
	const char *t = s->text;
	uint64_t behind = 0;

	for (long i = r->end - 1; i >= r->start; i--) {
		if (t[i] != ')') {
			behind = add(behind, 1);
			continue;
		}
		const group *g = &s->groups[s->at[i]];
		uint64_t left = r->before + (g->start - r->start);
		uint64_t right = add(r->after, behind);
		if (add(add(left, mul(g->count, g->length)), right) > s->limit) {
			*measured = left;
			return true;
		}
		uint64_t j = failing_copy(s, g, left, right);
		if (j) {
			*r = {g->open + 1, g->end, left + (j - 1) * g->length,
			      add(right, mul(g->count - j, g->expanded))};
			return false;
		}
		behind = add(behind, mul(g->count, g->expanded));
		i = g->start;
	}
	abort();	// the survey promised a failure here
}

// Writes the expansion of t[0..n) into out, whose length is len, from its
// end: each content once, then its further copies in front of it.
void compose(const survey *s, long n, char *out, size_t len)
{
	const char *t = s->text;
	long depth = 1;

	for (long i = n - 1; i >= 0;) {
		const group *top = &s->groups[s->stack[depth - 1]];
		if (depth > 1 && i == top->open) {
			size_t one = top->expanded;
			for (uint64_t k = 1; one > 0 && k < top->count; k++) {
				memcpy(out + len - one, out + len, one);
				len -= one;
			}
			depth--;
			i = top->start - 1;
			continue;
		}
		if (t[i] == ')') {
			const group *g = &s->groups[s->at[i]];
			if (g->count == 0) {
				i = g->start - 1;
				continue;
			}
			s->stack[depth++] = s->at[i];
			i = g->end - 1;
			continue;
		}
		out[--len] = t[i--];
	}
}

// Bracketed groups, expanded from the last ')' backwards; the content of
// a group is repeated count times and its own groups expand in each copy.
int groups(work *w)
{
	const char *t = w->text;
	long n = w->len;

	// Nothing before the last ')' that closes no group is expanded: the
	// pass ends there.
	long first = 0, depth = 0, closes = 0;
	for (long i = 0; i < n; i++) {
		if (t[i] == '(') {
			depth++;
		} else if (t[i] == ')' && depth > 0) {
			depth--;
			closes++;
		} else if (t[i] == ')') {
			first = i + 1;
			closes = 0;
		}
	}
	if (first == 0 && closes == 0)
		return done;

	// One record more for the whole text.
	survey s = {t, static_cast<group *>(zalloc((closes + 1) * sizeof(group))),
	            static_cast<long *>(zalloc(n * sizeof(long))),
	            static_cast<long *>(zalloc((closes + 1) * sizeof(long))), 0, w->limit};
	survey_groups(&s, first, n);

	int result = done;
	const group *all = &s.groups[0];
	if (all->nested && all->peak > w->limit) {
		stretch r = {first, n, static_cast<uint64_t>(first), 0};
		uint64_t measured;
		while (!step_fails(&s, &r, &measured))
			;
		w->len = measured;
		result = outgrown;
	} else if (first > 0) {
		long cut = first - 1;
		while (cut > 0 && is_digit(t[cut - 1]))
			cut--;
		unbalanced();
		w->len = cut;
		result = reported;
	} else {
		compose(&s, n, w->build, all->expanded);
		adopt(w, all->expanded);
	}
	free(s.groups);
	free(s.at);
	free(s.stack);
	return result;
}

// Runs, left to right: a count repeats the symbol after it; a count that
// ends the text is dropped, but must fit all the same.
int runs(work *w)
{
	const char *t = w->text;
	char *out = w->build;
	size_t n = w->len, o = 0;

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
		if (add(o, count) > w->limit || o + (symbol ? count : 0) + rest > w->limit) {
			w->len = o;
			return outgrown;
		}
		if (symbol) {
			memset(out + o, t[j], count);
			o += count;
			j++;
		}
		i = j;
	}
	adopt(w, o);
	return done;
}

} // namespace

int expandf(char *buf, int bufsize)
{
	if (buf[0] == '\0')
		return done;
	if (bufsize < 1 || strnlen(buf, bufsize) == static_cast<size_t>(bufsize)) {
		toolong(bufsize);
		return reported;
	}

	size_t size = 2 * static_cast<size_t>(bufsize) + 1;
	work w;
	w.build = static_cast<char *>(zalloc(size));
	w.text = static_cast<char *>(zalloc(size));
	w.limit = size - 1;

	squeeze(&w, buf);
	int result = letters(&w);
	if (result == done)
		result = groups(&w);
	if (result == done && memchr(w.text, '(', w.len)) {
		unbalanced();
		result = reported;
	}
	if (result == done)
		result = runs(&w);

	if (w.len >= static_cast<size_t>(bufsize)) {
		toolong(bufsize);
		result = reported;
	} else if (result == done) {
		memcpy(buf, w.text, w.len + 1);
	}
	free(w.text);
	free(w.build);
	return result;
}
