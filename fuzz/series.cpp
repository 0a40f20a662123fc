// lag_table's series reader on any stream. The first byte of the input
// says whether the first line is a header whatever it holds (its low bit)
// and gives the line reader's first buffer size (the rest of it), so that
// lines outgrow it; the rest is the stream.
//
// The reader must end in a series or a format fault at a line of the
// stream. A series holds one label per region, none empty and each of
// graphic ASCII bytes other than '#' (one label to lag_pool), and finite
// values; written back with tabs, its labels as the header and its values
// as %.17g, it must read back to the same labels and the same values to the
// bit (for labels that a reading leaves as they are: not quoted).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/check.h"
#include "lag_table/series.h"

namespace {

struct Read {
	Series s;
	Fault fault;
	long long line;
};

void read(std::vector<char> text, bool header, size_t first_size, Read &r)
{
	static char nothing[1];
	FILE *fp = fmemopen(text.empty() ? nothing : text.data(), text.size(), "r");
	demand(fp != nullptr);
	LineReader in;
	in.first_size = first_size;
	r.fault = read_series(fp, in, header, r.s, &r.line);
	fclose(fp);
}

const double *values(const Series &s)
{
	return reinterpret_cast<const double *>(s.values.data);
}

std::vector<std::string> labels(const Series &s)
{
	std::vector<std::string> all;
	const char *label = s.labels.data;
	for (int r = 0; r < s.nreg; r++, label = next_label(label))
		all.emplace_back(label);
	return all;
}

bool kept_as_read(const std::vector<std::string> &all)
{
	for (const std::string &l : all)
		if (l.size() >= 2 && l.front() == '"' && l.back() == '"')
			return false;
	return all.empty() || (all[0][0] != '#' && all[0].rfind("\xEF\xBB\xBF", 0) != 0);
}

void check_series(const Series &s, size_t first_size)
{
	std::vector<std::string> all = labels(s);
	for (const std::string &l : all) {
		demand(!l.empty());
		for (unsigned char c : l)
			demand(c > 0x20 && c < 0x7f && c != '#');
	}
	for (size_t i = 0; i < size_t(s.frames) * s.nreg; i++)
		demand(std::isfinite(values(s)[i]));
	if (s.nreg == 0 || !kept_as_read(all))
		return;

	std::string text;
	for (int r = 0; r < s.nreg; r++)
		text += (r ? "\t" : "") + all[r];
	text += '\n';
	char number[32];
	for (long long t = 0; t < s.frames; t++) {
		for (int r = 0; r < s.nreg; r++) {
			snprintf(number, sizeof number, "%.17g", values(s)[size_t(t) * s.nreg + r]);
			text += (r ? "\t" : "") + std::string(number);
		}
		text += '\n';
	}
	Read again;
	read(std::vector<char>(text.begin(), text.end()), true, first_size, again);
	demand(again.fault == Fault::none);
	demand(again.s.nreg == s.nreg && again.s.frames == s.frames);
	demand(labels(again.s) == all);
	size_t n = size_t(s.frames) * s.nreg;
	demand(n == 0 || memcmp(values(again.s), values(s), n * sizeof(double)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size == 0)
		return 0;
	std::vector<char> text(data + 1, data + size);
	bool header = data[0] & 1;
	size_t first_size = 2 + (data[0] >> 1) % 64;
	Read r;
	read(text, header, first_size, r);
	demand(r.fault == Fault::none || r.fault == Fault::format);
	if (r.fault == Fault::format) {
		long long lines = std::count(text.begin(), text.end(), '\n') + 1;
		demand(r.line >= 1 && r.line <= lines);
		return 0;
	}
	check_series(r.s, first_size);
	return 0;
}
