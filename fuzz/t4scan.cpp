// The transform reading procedure on any file contents. It must give
// Fault::none or Fault::read; the same contents handed out a byte at a time
// must read the same; a stream that fails after handing out the contents
// must be a read fault, never a matrix; and a matrix read, written out as
// the tools write it, must read back, whatever the width of its numbers.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/check.h"
#include "xfm/t4.h"

namespace {

Fault scan(const char *text, size_t size, float t4[16], float &scale)
{
	static char nothing[1];
	FILE *fp = fmemopen(size ? const_cast<char *>(text) : nothing, size, "r");
	demand(fp != nullptr);
	Fault fault = t4scan(fp, t4, scale);
	fclose(fp);
	return fault;
}

// A stream over text that hands out at most `piece` bytes a read and, once
// the text is out, fails or ends.
struct Trickle {
	const char *text;
	size_t size, at, piece;
	bool fail;
};

ssize_t trickle(void *cookie, char *buf, size_t size)
{
	Trickle &t = *static_cast<Trickle *>(cookie);
	if (t.at == t.size) {
		errno = EIO;
		return t.fail ? -1 : 0;
	}
	size_t n = std::min({size, t.piece, t.size - t.at});
	memcpy(buf, t.text + t.at, n);
	t.at += n;
	return ssize_t(n);
}

Fault scan_trickle(Trickle t, float t4[16], float &scale)
{
	FILE *fp = fopencookie(&t, "r", {trickle, nullptr, nullptr, nullptr});
	demand(fp != nullptr);
	Fault fault = t4scan(fp, t4, scale);
	fclose(fp);
	return fault;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	// fmemopen wants a buffer it may own; an exact copy catches over-reads.
	std::vector<char> text(data, data + size);
	float t4[16], scale;
	Fault fault = scan(text.data(), size, t4, scale);
	demand(fault == Fault::none || fault == Fault::read);

	float again[16], rescale;
	Trickle t{text.data(), size, 0, 1, true};
	demand(scan_trickle(t, again, rescale) == Fault::read);
	// A stream that cannot seek back has no bare form to read again.
	t.fail = false;
	Fault trickled = scan_trickle(t, again, rescale);
	demand(trickled == fault || (trickled == Fault::read && fault == Fault::none));
	if (trickled == Fault::none)
		demand(memcmp(again, t4, sizeof again) == 0 && memcmp(&rescale, &scale, sizeof scale) == 0);
	if (fault != Fault::none)
		return 0;

	char *written = nullptr;
	size_t length = 0;
	FILE *fp = open_memstream(&written, &length);
	demand(fp != nullptr);
	fprintf(fp, "#xfm_reverse in_t4\n#$Id$\n");
	t4list(fp, t4);
	if (scale != 0)
		fprintf(fp, "scale:    %10.6f\n", scale);
	fclose(fp);
	demand(scan(written, length, again, rescale) == Fault::none);
	free(written);
	return 0;
}
