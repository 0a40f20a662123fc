// The line reader and the lag-table reader on any stream. The first byte of
// the input gives the line reader's first buffer size (so that lines outgrow
// it), the rest is the stream.
//
// The lines handed out must be the stream's lines, each up to its first NUL
// or through its newline, nothing else lost or changed. Every token must
// convert as strtod (to the bit) and strtol do, and a line read as a data
// line must give back its own values and refuse another lag or region
// count. Read as a first table, the stream must give a shape or a format
// fault; read as a subject's table of that shape, it must add up or give a
// format fault, and echo its header lines as read.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/tokens.h"
#include "fuzz/check.h"
#include "lag_pool/subject_table.h"

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
	demand(bits(cell_value(tok)) == bits(want));
	demand(lag_value(tok) == static_cast<int32_t>(strtol(text.c_str(), nullptr, 10)));
}

void check_line(const char *line)
{
	std::vector<std::string_view> tokens;
	const char *p = line;
	for (std::string_view tok; !(tok = next_token(&p)).empty();) {
		tokens.push_back(tok);
		check_token(tok);
	}
	if (tokens.empty())
		return;

	// The line as a data line of its first token's lag and as many regions
	// as it has further tokens; one region more or less, or another lag,
	// does not fit it.
	int nreg = int(tokens.size()) - 1;
	int lag = lag_value(tokens[0]);
	std::unique_ptr<float[]> values(new float[nreg + 1]);
	demand(read_data_line(line, lag, values.get(), nreg));
	for (int r = 0; r < nreg; r++)
		demand(bits(values[r]) == bits(cell_value(tokens[r + 1])));
	demand(!read_data_line(line, lag, values.get(), nreg + 1));
	if (nreg > 0)
		demand(!read_data_line(line, lag, values.get(), nreg - 1));
	demand(!read_data_line(line, int(uint32_t(lag) + 1), values.get(), nreg));
}

FILE *stream(std::vector<char> &copy)
{
	static char nothing[1];
	FILE *fp = fmemopen(copy.empty() ? nothing : copy.data(), copy.size(), "r");
	demand(fp != nullptr);
	return fp;
}

// Each line must be the text at its offset up to a NUL or through a
// newline; the offset then moves past that line's newline.
void check_lines(const std::vector<char> &text, size_t first_size)
{
	std::vector<char> copy(text);
	FILE *fp = stream(copy);
	LineReader in;
	in.first_size = first_size;
	size_t at = 0;
	while (read_line(in, fp)) {
		demand(strlen(in.line) == in.len && at + in.len <= text.size());
		demand(memcmp(in.line, text.data() + at, in.len) == 0);
		demand(!memchr(in.line, '\n', in.len) || in.line[in.len - 1] == '\n');
		if (in.len > 0 && in.line[in.len - 1] == '\n') {
			at += in.len;
		} else {
			demand(at + in.len == text.size() || text[at + in.len] == '\0');
			const void *nl = memchr(text.data() + at, '\n', text.size() - at);
			at = nl ? static_cast<const char *>(nl) - text.data() + 1 : text.size();
		}
		check_line(in.line);
	}
	demand(at == text.size() && in.fault == Fault::none);
	fclose(fp);
}

void check_tables(const std::vector<char> &text)
{
	std::vector<char> copy(text);
	FILE *fp = stream(copy);
	LineReader in;
	int nreg = 0, mlag = 0;
	Subject first;
	Fault fault = measure_table(fp, "t", in, nreg, mlag, first);
	fclose(fp);
	demand(fault == Fault::none || fault == Fault::format);
	if (fault != Fault::none)
		return;
	demand(nreg >= 1 && mlag >= 1);
	size_t rows = (2 * size_t(mlag) + 1) * size_t(nreg);
	if (rows > 1 << 20)
		return;

	copy = text;
	fp = stream(copy);
	Subject s;
	demand(reserve(s.rows, rows * sizeof(float)));
	fault = read_table(fp, in, nreg, mlag, s);
	fclose(fp);
	demand(fault == Fault::none || fault == Fault::format);
	demand(s.nrows <= 2 * mlag + 1);
	// What was echoed is header lines as read: each begins with '#'.
	const char *echoed = s.text.data;
	for (const char *line = echoed; line < echoed + s.textlen;) {
		demand(*line == '#');
		const char *nl = static_cast<const char *>(memchr(line, '\n', echoed + s.textlen - line));
		line = nl ? nl + 1 : echoed + s.textlen;
	}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size == 0)
		return 0;
	std::vector<char> text(data + 1, data + size);
	check_lines(text, 2 + data[0] % 64);
	check_tables(text);
	return 0;
}
