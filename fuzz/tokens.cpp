// The tokenizer on any line, NUL bytes included: a line ends at its first
// NUL. The tokens must be non-empty runs of graphic bytes, in order, apart
// from one another, with nothing graphic left between, before or after
// them and nothing taken from past the end of the line; each run must be
// whole. Cutting a comment must end the line at its first '#' and change
// nothing before it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/tokens.h"
#include "fuzz/check.h"

namespace {

bool all_graphic(const char *p, size_t n)
{
	for (size_t i = 0; i < n; i++)
		if (!is_graphic(p[i]))
			return false;
	return true;
}

bool none_graphic(const char *p, const char *end)
{
	for (; p < end; p++)
		if (is_graphic(*p))
			return false;
	return true;
}

void check_tokens(const char *line)
{
	const char *end = line + strlen(line);
	const char *p = line, *after = line;  // after: the end of the last token
	size_t n = 0;
	for (std::string_view tok; !(tok = next_token(&p)).empty(); n++) {
		demand(tok.data() >= after && tok.data() + tok.size() <= end);
		demand(all_graphic(tok.data(), tok.size()));
		demand(none_graphic(after, tok.data()));
		demand(tok.data() == line || !is_graphic(tok.data()[-1]));
		demand(!is_graphic(tok.data()[tok.size()]));
		after = p;
		demand(p == tok.data() + tok.size());
	}
	demand(p <= end && none_graphic(after, end));
	demand(count_tokens(line) == n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	// An exact allocation, so that reading past the line's end is caught.
	std::unique_ptr<char[]> line(new char[size + 1]);
	memcpy(line.get(), data, size);
	line[size] = '\0';
	check_tokens(line.get());

	std::string before(line.get());
	cut_comment(line.get());
	size_t kept = strlen(line.get());
	demand(before.compare(0, kept, line.get()) == 0);
	demand(!memchr(line.get(), '#', kept));
	demand(kept == before.size() || before[kept] == '#');
	check_tokens(line.get());
	return 0;
}
