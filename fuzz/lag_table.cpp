// The lag-table reader on any stream. The first byte of the input gives the
// size of the line reader's first buffer (so that lines outgrow it), the rest
// is the stream. The lines handed out must be the stream cut after each
// newline, nothing lost or changed; the tokens of each line its maximal runs
// of graphic bytes; every token must convert as strtod (to the bit) and
// strtol do; and a line read as a data line must give back its own values.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/check.h"
#include "lag_pool/table.h"

namespace {

uint32_t bits(float f)
{
	uint32_t u;
	memcpy(&u, &f, sizeof u);
	return u;
}

void check_token(std::string_view tok)
{
	std::string text(tok);
	float want = static_cast<float>(strtod(text.c_str(), nullptr));
	float got = cell_value(tok);
	demand(bits(got) == bits(want));
	demand(lag_value(tok) == static_cast<int32_t>(strtol(text.c_str(), nullptr, 10)));
}

void check_line(const char *line, size_t len)
{
	const char *end = line + len;
	std::vector<std::string_view> tokens;
	for (size_t i = 0; i < len;) {
		if (!is_graphic(line[i])) {
			i++;
			continue;
		}
		size_t j = i;
		while (j < len && is_graphic(line[j]))
			j++;
		tokens.emplace_back(line + i, j - i);
		i = j;
	}

	demand(count_tokens(line, end) == tokens.size());
	const char *p = line;
	for (std::string_view want : tokens) {
		std::string_view tok = next_token(&p, end);
		demand(tok.data() == want.data() && tok.size() == want.size());
		check_token(tok);
	}
	demand(next_token(&p, end).empty());
	if (tokens.empty())
		return;

	// The line as a data line of its first token's lag and as many regions
	// as it has further tokens; one region more or less, or another lag,
	// does not fit it.
	int nreg = int(tokens.size()) - 1;
	int lag = lag_value(tokens[0]);
	std::unique_ptr<float[]> values(new float[nreg + 1]);
	demand(read_data_line(line, end, lag, values.get(), nreg));
	for (int r = 0; r < nreg; r++)
		demand(bits(values[r]) == bits(cell_value(tokens[r + 1])));
	demand(!read_data_line(line, end, lag, values.get(), nreg + 1));
	if (nreg > 0)
		demand(!read_data_line(line, end, lag, values.get(), nreg - 1));
	demand(!read_data_line(line, end, int(uint32_t(lag) + 1), values.get(), nreg));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size == 0)
		return 0;
	const char *text = reinterpret_cast<const char *>(data + 1);
	size_t length = size - 1;
	std::vector<char> copy(text, text + length);
	static char nothing[1];
	FILE *fp = fmemopen(length ? copy.data() : nothing, length, "r");
	demand(fp != nullptr);

	LineReader in;
	in.buf.resize(1 + data[0] % 64);
	begin_lines(in, fp);
	size_t offset = 0;
	char *line;
	size_t len;
	while (next_line(in, &line, &len)) {
		demand(len > 0 && offset + len <= length);
		demand(memcmp(line, text + offset, len) == 0);
		demand(!memchr(line, '\n', len - 1));
		demand(line[len - 1] == '\n' || offset + len == length);
		offset += len;
		check_line(line, len);
	}
	demand(offset == length);
	demand(!ferror(fp));
	fclose(fp);
	return 0;
}
