// split and split_uncommented on any line. The first byte of the input gives
// the maximum count, the rest is the line, which ends at its first NUL. The
// tokens must be the first max maximal runs of graphic bytes of the line (of
// the part before its first '#' for split_uncommented), and the line must
// change only where a token or the comment was cut.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/split.h"
#include "fuzz/check.h"

namespace {

struct run {
	size_t at, len;
};

// The maximal runs of graphic bytes in text[0..n).
std::vector<run> graphic_runs(const char *text, size_t n)
{
	std::vector<run> runs;
	for (size_t i = 0; i < n;) {
		if (!is_graphic(text[i])) {
			i++;
			continue;
		}
		size_t j = i;
		while (j < n && is_graphic(text[j]))
			j++;
		runs.push_back({i, j - i});
		i = j;
	}
	return runs;
}

void check_split(const uint8_t *data, size_t size, int max, bool uncommented)
{
	// Exact allocations, so that any access past the line or past max
	// tokens is caught.
	std::unique_ptr<char[]> line(new char[size + 1]);
	memcpy(line.get(), data, size);
	line[size] = '\0';
	std::unique_ptr<char *[]> tokens(new char *[max > 0 ? max : 0]);

	// What the line must look like afterwards: the comment cut off, and a
	// terminator after every token that the string goes on past.
	std::vector<char> want(line.get(), line.get() + size + 1);
	size_t len = strlen(want.data());
	if (uncommented) {
		char *hash = static_cast<char *>(memchr(want.data(), '#', len));
		if (hash) {
			*hash = '\0';
			len = hash - want.data();
		}
	}
	std::vector<run> runs = graphic_runs(want.data(), len);
	size_t count = max > 0 ? std::min(runs.size(), size_t(max)) : 0;
	for (size_t i = 0; i < count; i++)
		if (runs[i].at + runs[i].len < len)
			want[runs[i].at + runs[i].len] = '\0';

	int n = uncommented ? split_uncommented(line.get(), tokens.get(), max)
	                    : split(line.get(), tokens.get(), max);
	demand(n >= 0 && size_t(n) == count);
	for (size_t i = 0; i < count; i++) {
		demand(tokens[i] == line.get() + runs[i].at);
		demand(strlen(tokens[i]) == runs[i].len);
	}
	demand(memcmp(line.get(), want.data(), size + 1) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size == 0)
		return 0;
	// -4 to 27: none, a few, and more than a short line holds.
	int max = data[0] % 32 - 4;
	check_split(data + 1, size - 1, max, false);
	check_split(data + 1, size - 1, max, true);
	return 0;
}
