// The bracketed groups pass. It is defined as rewrites of the whole text,
// one group at a time from the last ')', with a length test after each; a
// format that repeats nested groups many times (each copy expanded on its
// own) would take an astronomical number of them. So the pass is computed
// from a survey of the text instead, at a cost that follows its length.
// Results, messages and the lengths the final check measures are those of
// the rewrites.
#include <cstring>

#include "common/budget.h"
#include "pattern_list/expandf.h"
#include "pattern_list/expansion.h"

namespace expansion {
namespace {

// A bracketed group of the text: count(content), where digits right before
// the ')' belong to no one and are dropped.
struct Group {
	long start;  // first digit of the count, or the '(' when there is none
	long open;   // the '('
	long end;    // end of the content: the ')' less the digits before it
	uint64_t count;
	uint64_t length;    // of the content as written
	uint64_t expanded;  // of the content once expanded
	uint64_t peak;      // the longest the content gets, as written or while its groups expand
};

// When a group is expanded, everything before it is still as written and
// everything after it is expanded, so the length of the text after each
// step follows from the lengths above.
struct Survey {
	const char *text;
	Group *groups;  // groups[0] stands for the whole text
	long *at;       // at[i]: the group whose ')' stands at i
	long *stack;
	uint64_t limit;
};

// The longest the text gets while copy j (1 to count) of a group's content
// expands, with a text of length before in front of the group and after
// behind it: the copies in front are as written, those behind expanded.
uint64_t copy_peak(const Group &g, uint64_t before, uint64_t after, uint64_t j)
{
	uint64_t front = add(before, mul(j - 1, g.length));
	uint64_t back = add(after, mul(g.count - j, g.expanded));
	return add(add(front, g.peak), back);
}

// The group opened by the '(' at i is complete: record its count and what
// it adds to the text around it.
void close_group(const Survey &s, Group &g, Group &parent, long i)
{
	const char *t = s.text;
	long c = i;
	while (c > 0 && is_digit(t[c - 1]))
		c--;
	g.start = c;
	g.open = i;
	g.length = g.end - i - 1;
	g.count = c < i ? number(t + c, i - c) : 1;
	// The peak was taken over positions in the text: make it the content's.
	g.peak = max(g.peak, g.end) - (i + 1);

	// copy_peak is linear in j: the first copy or the last is the longest.
	uint64_t grown = 0;
	if (g.count > 0)
		grown = max(copy_peak(g, 0, 0, 1), copy_peak(g, 0, 0, g.count));
	parent.peak = max(parent.peak, add(add(c, grown), parent.expanded));
	parent.expanded = add(parent.expanded, mul(g.count, g.expanded));
}

// Surveys t[first..n), in which every ')' closes a group, from its end.
void survey_groups(Survey &s, long first, long n)
{
	const char *t = s.text;
	long depth = 1;

	s.stack[0] = 0;
	long ngroups = 1;
	for (long i = n - 1; i >= first;) {
		Group &top = s.groups[s.stack[depth - 1]];
		if (t[i] == ')') {
			long k = ngroups++;
			long e = i;
			while (is_digit(t[e - 1]))  // stops at the group's '('
				e--;
			s.groups[k].end = e;
			s.at[i] = k;
			s.stack[depth++] = k;
			i = e - 1;
			continue;
		}
		if (t[i] == '(' && depth > 1) {
			depth--;
			close_group(s, top, s.groups[s.stack[depth - 1]], i);
			i = top.start - 1;
			continue;
		}
		top.expanded = add(top.expanded, 1);
		i--;
	}
}

// The copy of a group's content in which a step outgrows the limit, the
// first in the order of expansion (the last copy first), or 0.
uint64_t failing_copy(const Survey &s, const Group &g, uint64_t before, uint64_t after)
{
	if (g.count == 0)
		return 0;
	if (copy_peak(g, before, after, g.count) > s.limit)
		return g.count;
	// The last copy fits, and copy_peak is linear in j: the copies that do
	// not fit, if any, are the first few, and the last of them expands first.
	uint64_t lo = 0, hi = g.count - 1;
	while (lo < hi) {
		uint64_t mid = lo + (hi - lo + 1) / 2;
		if (copy_peak(g, before, after, mid) > s.limit)
			lo = mid;
		else
			hi = mid - 1;
	}
	return lo;
}

// The length in front of the first group whose step outgrows the limit.
// Walks the groups in the order they expand, t[start..) as written with a
// text of length before in front and after behind it, and goes into the
// copy of a group in which a later step outgrows the limit.
uint64_t front_of_failure(const Survey &s, long first, long n)
{
	const char *t = s.text;
	long start = first;
	uint64_t before = first, after = 0, behind = 0;

	for (long i = n - 1; i >= start; i--) {
		if (t[i] != ')') {
			behind = add(behind, 1);
			continue;
		}
		const Group &g = s.groups[s.at[i]];
		uint64_t left = before + (g.start - start);
		uint64_t right = add(after, behind);
		if (add(add(left, mul(g.count, g.length)), right) > s.limit)
			return left;
		uint64_t j = failing_copy(s, g, left, right);
		if (j > 0) {
			start = g.open + 1;
			before = left + (j - 1) * g.length;
			after = add(right, mul(g.count - j, g.expanded));
			behind = 0;
			i = g.end;
			continue;
		}
		behind = add(behind, mul(g.count, g.expanded));
		i = g.start;
	}
	return before;  // not reached: the peaks promised a failing step
}

// Writes the expansion of t[0..n) into out, whose length is len, from its
// end: each content once, then its further copies in front of it.
void compose(const Survey &s, long n, char *out, size_t len)
{
	const char *t = s.text;
	long depth = 1;

	for (long i = n - 1; i >= 0;) {
		const Group &top = s.groups[s.stack[depth - 1]];
		if (depth > 1 && i == top.open) {
			size_t one = top.expanded;
			for (uint64_t k = 1; one > 0 && k < top.count; k++) {
				memcpy(out + len - one, out + len, one);
				len -= one;
			}
			depth--;
			i = top.start - 1;
			continue;
		}
		if (t[i] == ')') {
			const Group &g = s.groups[s.at[i]];
			if (g.count == 0) {
				i = g.start - 1;
				continue;
			}
			s.stack[depth++] = s.at[i];
			i = g.end - 1;
			continue;
		}
		out[--len] = t[i--];
	}
}

}  // namespace

// Bracketed groups, expanded from the last ')' backwards; the content of
// a group is repeated count times and its own groups expand in each copy.
ExpandResult groups(Work &w)
{
	const char *t = w.text;
	long n = w.len;

	// The pass ends at the last ')' that closes no group: nothing before
	// it is expanded.
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
		return ExpandResult::done;

	// One record more for the whole text, and one block for the survey.
	size_t records = closes + 1;
	size_t bytes = records * sizeof(Group) + (n + records) * sizeof(long);
	void *block = budget_calloc(bytes);
	if (!block)
		return ExpandResult::no_memory;
	Survey s = {t, static_cast<Group *>(block), nullptr, nullptr, w.limit};
	s.at = reinterpret_cast<long *>(s.groups + records);
	s.stack = s.at + n;
	survey_groups(s, first, n);

	ExpandResult result = ExpandResult::done;
	const Group &all = s.groups[0];
	if (all.peak > w.limit) {
		w.len = front_of_failure(s, first, n);
		result = ExpandResult::outgrown;
	} else if (first > 0) {
		long cut = first - 1;
		while (cut > 0 && is_digit(t[cut - 1]))
			cut--;
		unbalanced(w);
		w.len = cut;
		result = ExpandResult::reported;
	} else {
		compose(s, n, w.build, all.expanded);
		adopt(w, all.expanded);
	}
	budget_free(block, bytes);
	return result;
}

}  // namespace expansion
