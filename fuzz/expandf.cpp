// expandf on any format. The first byte of the input picks the buffer size:
// 255 picks the listing tool's 16384, any other value v the size v + 1. The
// rest, up to its first NUL, is the format; one that does not fit the buffer
// fills it without a terminator, as the listing tool passes a format too
// long for it.
//
// On every input the result must be 0, 1 or -1; a failure must leave the
// buffer exactly as it was; a success must leave an expansion shorter than
// the buffer and not touch the bytes after its terminator. In the small
// buffers the result and the expansion must also be those of the plain
// rewrites of the whole text, one group or run at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/check.h"
#include "pattern_list/expandf.h"

namespace {

struct outcome {
	int result;
	std::string text;
};

bool digit(char c)
{
	return c >= '0' && c <= '9';
}

// Counts far beyond any buffer all act alike: they stop here.
uint64_t value(const std::string &digits)
{
	uint64_t v = 0;
	for (char c : digits)
		v = std::min<uint64_t>(v * 10 + (c - '0'), uint64_t(1) << 40);
	return v;
}

// The rewrites, step by step. Gives up (false) after a number of steps that
// only a format repeating nested groups many times reaches.
bool rewrites(const std::string &format, int bufsize, outcome *r)
{
	*r = {0, format};
	if (format.empty())
		return true;
	const size_t L = 2 * size_t(bufsize);
	long steps = 0;

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
		r->result = -1;
	else
		w = b;

	// Groups, from the last ')'.
	while (r->result == 0 && w.find(')') != std::string::npos) {
		if (++steps > 20000)
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
			r->result = 1;
			break;
		}
		std::string content = w.substr(open + 1);
		size_t start = open;
		while (start > 0 && digit(w[start - 1]))
			start--;
		uint64_t count = start < open ? value(w.substr(start, open - start)) : 1;
		w.resize(start);
		if (w.size() + count * content.size() > L) {
			r->result = -1;
			break;
		}
		for (uint64_t k = 0; !content.empty() && k < count; k++)
			w += content;
		if (w.size() + rest.size() > L) {
			w.resize(start);
			r->result = -1;
			break;
		}
		w += rest;
	}
	if (r->result == 0 && w.find('(') != std::string::npos)
		r->result = 1;

	// Runs, from the first digit.
	while (r->result == 0) {
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
			r->result = -1;
			break;
		}
		if (symbol)
			w.append(count, c);
		if (w.size() + rest.size() > L) {
			w.resize(first);
			r->result = -1;
			break;
		}
		w += rest;
	}

	if (w.size() >= size_t(bufsize))
		r->result = 1;
	else if (r->result == 0)
		r->text = w;
	return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size == 0)
		return 0;
	int bufsize = data[0] == 255 ? 16384 : data[0] + 1;
	const char *format = reinterpret_cast<const char *>(data + 1);
	size_t length = strnlen(format, size - 1);
	bool fits = length < size_t(bufsize);

	// An exact allocation; the bytes after the terminator are not zero.
	std::unique_ptr<char[]> buf(new char[bufsize]);
	memset(buf.get(), 0xa5, bufsize);
	memcpy(buf.get(), format, fits ? length : bufsize);
	if (fits)
		buf[length] = '\0';
	std::unique_ptr<char[]> before(new char[bufsize]);
	memcpy(before.get(), buf.get(), bufsize);

	int result = expandf(buf.get(), bufsize);
	demand(result == 0 || result == 1 || result == -1);
	if (result != 0) {
		demand(memcmp(buf.get(), before.get(), bufsize) == 0);
	} else {
		size_t expanded = strnlen(buf.get(), bufsize);
		demand(expanded < size_t(bufsize));
		demand(memcmp(buf.get() + expanded + 1, before.get() + expanded + 1,
		              bufsize - expanded - 1) == 0);
	}
	if (!fits) {
		demand(result == 1);
		return 0;
	}

	outcome want;
	if (bufsize > 256 || !rewrites(std::string(format, length), bufsize, &want))
		return 0;
	demand(result == want.result);
	demand(result != 0 || want.text == buf.get());
	return 0;
}
