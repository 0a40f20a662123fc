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
// rewrites of the whole text, one group or run at a time. Then the same
// format again, with its last request for storage refused: the result must
// say so and leave the buffer as it was. Every request granted must be
// given back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/budget.h"
#include "fuzz/check.h"
#include "pattern_list/expandf.h"
#include "tests/expandf_model.h"

// The run's memory budget, played here instead of common's: it grants
// every request but the one numbered refused (from 1), and counts what is
// held.
static int requests, refused;
static int64_t held;

bool budget_take(size_t bytes)
{
	if (++requests == refused)
		return false;
	held += bytes;
	return true;
}

void budget_give(size_t bytes)
{
	held -= bytes;
}

// expandf on buf with request number refuse refused (0: none).
static int run(char *buf, int bufsize, int refuse)
{
	requests = 0;
	refused = refuse;
	int result = int(expandf(buf, bufsize));
	demand(held == 0);
	return result;
}

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

	int result = run(buf.get(), bufsize, 0);
	int granted = requests;
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

	expandf_model::Outcome want;
	if (bufsize <= 256 && expandf_model::expand(std::string(format, length), bufsize, want, 20000)) {
		demand(result == want.result);
		demand(result != 0 || want.text == buf.get());
	}

	if (granted > 0) {
		memcpy(buf.get(), before.get(), bufsize);
		demand(run(buf.get(), bufsize, granted) == int(ExpandResult::no_memory));
		demand(memcmp(buf.get(), before.get(), bufsize) == 0);
	}
	return 0;
}
