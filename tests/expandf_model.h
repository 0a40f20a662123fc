// The expansion of a format as the plain rewrites of the whole text, one
// group or run at a time, in the simplest terms: the model that the unit
// tests and the fuzz target hold expandf to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace expandf_model {

struct Outcome {
	int result;        // 0, 1 or -1, as expandf returns
	std::string text;  // the expansion; the format itself after a failure
	bool unbalanced;   // the unbalanced-brackets message was printed
	bool toolong;      // the length message was printed
};

inline bool digit(char c)
{
	return c >= '0' && c <= '9';
}

// Counts far beyond any buffer all act alike: they stop here.
inline uint64_t value(const std::string &digits)
{
	uint64_t v = 0;
	for (char c : digits)
		v = std::min<uint64_t>(v * 10 + (c - '0'), uint64_t(1) << 40);
	return v;
}

// Expands format for a buffer of bufsize bytes. Returns false when it gave
// up after max_steps group rewrites (0: never), which only a format that
// repeats nested groups many times reaches.
inline bool expand(const std::string &format, int bufsize, Outcome &r, long max_steps = 0)
{
	r = {0, format, false, false};
	if (format.empty())
		return true;
	const size_t L = 2 * size_t(bufsize);
	std::string w;
	for (char c : format)
		if (!strchr(" \t\n\v\f\r", c))
			w += c;

	// Letter groups; the built text must stay shorter than L.
	std::string b;
	for (size_t i = 0; i < w.size() && b.size() < L;) {
		char c = w[i++];
		if (!strchr("CScs", c)) {
			b += c;
			continue;
		}
		size_t d = 0;
		while (d < 16 && i + d < w.size() && digit(w[i + d]))
			d++;
		uint64_t n = value(w.substr(i, d));
		i += d;
		b += '(';
		for (uint64_t k = 1; k < n && b.size() < L; k++)
			b += c;
		b += "~)";
	}
	if (b.size() >= L)
		r.result = -1;
	else
		w = b;

	// Groups, from the last ')'. After a failure w is what was cut.
	for (long steps = 0; r.result == 0 && w.find(')') != std::string::npos; steps++) {
		if (max_steps > 0 && steps == max_steps)
			return false;
		size_t close = w.rfind(')');
		std::string rest = w.substr(close + 1);
		size_t cut = close;
		while (cut > 0 && digit(w[cut - 1]))
			cut--;
		w.resize(cut);
		int depth = 1;
		size_t open = cut;
		while (open > 0 && depth > 0) {
			open--;
			depth += (w[open] == ')') - (w[open] == '(');
		}
		if (depth != 0) {
			r.unbalanced = true;
			r.result = 1;
			break;
		}
		std::string content = w.substr(open + 1);
		size_t start = open;
		while (start > 0 && digit(w[start - 1]))
			start--;
		uint64_t count = start < open ? value(w.substr(start, open - start)) : 1;
		w.resize(start);
		if (w.size() + count * content.size() > L) {
			r.result = -1;
			break;
		}
		std::string built = w;
		for (uint64_t k = 0; !content.empty() && k < count; k++)
			built += content;
		if (built.size() + rest.size() > L) {
			r.result = -1;
			break;
		}
		w = built + rest;
	}
	if (r.result == 0 && w.find('(') != std::string::npos) {
		r.unbalanced = true;
		r.result = 1;
	}

	// Runs, from the first digit.
	while (r.result == 0) {
		size_t first = w.find_first_of("0123456789");
		if (first == std::string::npos)
			break;
		size_t end = first;
		while (end < w.size() && digit(w[end]))
			end++;
		uint64_t count = value(w.substr(first, end - first));
		bool symbol = end < w.size();
		char c = symbol ? w[end] : 0;
		std::string rest = symbol ? w.substr(end + 1) : "";
		w.resize(first);
		if (w.size() + count > L) {
			r.result = -1;
			break;
		}
		std::string built = w + std::string(symbol ? count : 0, c);
		if (built.size() + rest.size() > L) {
			r.result = -1;
			break;
		}
		w = built + rest;
	}

	// The final check measures the working text as the passes left it.
	if (w.size() >= size_t(bufsize)) {
		r.toolong = true;
		r.result = 1;
	} else if (r.result == 0) {
		r.text = w;
	}
	return true;
}

}  // namespace expandf_model
