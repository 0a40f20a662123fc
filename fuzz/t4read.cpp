// The transform reader against the one it replaced, which took the matrix
// with fscanf(fp, " %f %f %f %f") between the lines of the line reader, on
// one stream. On any bytes the two must agree: t4read on whether it read
// the matrix, on every value it stored (bit for bit, a failed row's first
// values included), on where it stopped and on what the lines after that
// hold; t4scan on its fault, its matrix and its scale, on a stream that
// seeks and on one that hands out a byte at a time and then ends. On a
// stream that fails after its contents both must give a read fault.
//
// They may differ only in what a failed read leaves, which nothing reads:
// when the byte that broke a "nan" or "inf" is a NUL, scanf consumes it and
// the new reader cannot, since a line read ends at its first NUL; and the
// values stored before a read error, since fgets hands out nothing of a
// line that the error broke off.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/lines.h"
#include "common/tokens.h"
#include "fuzz/check.h"
#include "xfm/t4.h"

namespace {

// The reader as it was.

int old_t4read(FILE *fp, float t4[16])
{
	for (int i = 0; i < 4; i++)
		if (fscanf(fp, " %f %f %f %f", &t4[i], &t4[i + 4], &t4[i + 8], &t4[i + 12]) != 4)
			return -1;
	return 0;
}

Fault old_t4scan(FILE *fp, float t4[16], float &scale)
{
	scale = 0;
	int blocks = 0;
	LineReader in;
	while (read_line(in, fp)) {
		cut_comment(in.line);
		const char *rest = in.line;
		std::string_view first = next_token(&rest), second = next_token(&rest);
		if (first == "scale:" && !second.empty())
			scale = float(strtod(second.data(), nullptr));
		if (first == "t4" && second.empty()) {
			if (old_t4read(fp, t4) != 0)
				return Fault::read;
			blocks++;
		}
	}
	if (in.fault != Fault::none)
		return in.fault;
	if (blocks == 0) {
		rewind(fp);
		return old_t4read(fp, t4) == 0 ? Fault::none : Fault::read;
	}
	return Fault::none;
}

// The streams.

FILE *memory_stream(std::vector<char> &text)
{
	static char nothing[1];
	FILE *fp = fmemopen(text.empty() ? nothing : text.data(), text.size(), "r");
	demand(fp != nullptr);
	return fp;
}

// Hands out one byte a read and, once the text is out, ends or fails.
struct Trickle {
	const std::vector<char> *text;
	size_t at;
	bool fail;
};

ssize_t trickle(void *cookie, char *buf, size_t size)
{
	Trickle &t = *static_cast<Trickle *>(cookie);
	if (t.at == t.text->size()) {
		errno = EIO;
		return t.fail ? -1 : 0;
	}
	if (size == 0)
		return 0;
	*buf = (*t.text)[t.at++];
	return 1;
}

// The lines of the rest of the stream as t4scan would take them, the empty
// ones left out: an empty line holds no token, whichever way it came.
void add_lines(FILE *fp, LineReader &in, std::vector<std::string> &lines)
{
	while (read_line(in, fp))
		if (*in.line)
			lines.emplace_back(in.line);
}

bool same_bits(const void *a, const void *b, size_t size)
{
	return memcmp(a, b, size) == 0;
}

// A matrix that no reader wrote: every value stored shows.
void unset(float t4[16])
{
	memset(t4, 0xa5, 16 * sizeof(float));
}

void compare_t4read(std::vector<char> &text)
{
	float before[16], after[16];
	unset(before);
	unset(after);

	FILE *old_fp = memory_stream(text);
	int old_status = old_t4read(old_fp, before);
	long old_at = ftell(old_fp);
	LineReader old_in;
	std::vector<std::string> old_rest;
	add_lines(old_fp, old_in, old_rest);
	fclose(old_fp);

	FILE *fp = memory_stream(text);
	LineReader in;
	char *rest = nullptr;
	int status = t4read(fp, in, &rest, after);
	demand(in.fault == Fault::none);
	long at = ftell(fp) - (rest ? long(strlen(rest)) : 0);
	std::vector<std::string> new_rest;
	if (rest && *rest)
		new_rest.emplace_back(rest);
	add_lines(fp, in, new_rest);
	fclose(fp);

	demand(status == old_status);
	demand(same_bits(before, after, sizeof before));
	bool nul_consumed = old_at > 0 && text[old_at - 1] == '\0';
	if (status == 0 || !nul_consumed)
		demand(new_rest == old_rest);
	if (std::find(text.begin(), text.end(), '\0') == text.end())
		demand(at == old_at);
}

struct Scanned {
	Fault fault;
	float t4[16], scale;
};

void demand_same(const Scanned &a, const Scanned &b)
{
	demand(a.fault == b.fault);
	demand(same_bits(a.t4, b.t4, sizeof a.t4));
	demand(same_bits(&a.scale, &b.scale, sizeof a.scale));
}

template <typename Scan>
Scanned scan_memory(std::vector<char> &text, Scan scan)
{
	Scanned s;
	unset(s.t4);
	FILE *fp = memory_stream(text);
	s.fault = scan(fp, s.t4, s.scale);
	fclose(fp);
	return s;
}

template <typename Scan>
Scanned scan_trickle(std::vector<char> &text, bool fail, Scan scan)
{
	Scanned s;
	unset(s.t4);
	Trickle t{&text, 0, fail};
	FILE *fp = fopencookie(&t, "r", {trickle, nullptr, nullptr, nullptr});
	demand(fp != nullptr);
	s.fault = scan(fp, s.t4, s.scale);
	fclose(fp);
	return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	// fmemopen wants a buffer it may own; an exact copy catches over-reads.
	std::vector<char> text(data, data + size);
	compare_t4read(text);
	demand_same(scan_memory(text, t4scan), scan_memory(text, old_t4scan));
	demand_same(scan_trickle(text, false, t4scan), scan_trickle(text, false, old_t4scan));
	demand(scan_trickle(text, true, t4scan).fault == Fault::read);
	demand(scan_trickle(text, true, old_t4scan).fault == Fault::read);
	return 0;
}
