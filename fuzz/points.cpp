// The point reader on any point file, its lines read in order through one
// table, as xfm_points reads them.
//
// Only the first line that is neither blank nor a comment may set the table
// up. A point's three number texts must stand apart in its line, each read
// by strtod whole and to the bit of the value given; format_fixed4 must print
// each value as printf's "%.4f" does; and the line with its numbers replaced
// by those printed forms, as xfm_points writes it, must read again as a
// point of the printed values. Its seeds hold quoted fields with separators
// and doubled quotes inside, units after the columns' names and rows whose
// point is not known, wholly or in part.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/check.h"
#include "xfm_points/points.h"
#include "xfm_points/table.h"

namespace {

// Whether a and b are the same float to the bit, NaNs included.
bool same(float a, float b)
{
	return memcmp(&a, &b, sizeof a) == 0;
}

// Whether text, read whole by strtod and rounded to single, is v.
bool reads_as(const std::string &text, float v)
{
	char *stop;
	float read = float(strtod(text.c_str(), &stop));
	return !text.empty() && stop == text.c_str() + text.size() && same(read, v);
}

void check_line(Table &table, const std::string &line)
{
	Table before = table;
	Point p;
	PointLine kind = read_point_line(table, line.c_str(), p);
	if (before.started)
		demand(table.header == before.header && table.separator == before.separator &&
		       std::equal(table.column, table.column + 3, before.column));
	if (kind != PointLine::point)
		return;

	const char *first = line.c_str(), *last = first + line.size();
	int order[3] = {0, 1, 2};
	std::sort(order, order + 3, [&p](int a, int b) { return p.begin[a] < p.begin[b]; });
	const char *at = first;
	std::string written;
	std::string printed[3];
	for (int i : order) {
		demand(at <= p.begin[i] && p.begin[i] < p.end[i] && p.end[i] <= last);
		demand(reads_as(std::string(p.begin[i], p.end[i]), p.xyz[i]));
		char fast[FIXED4_MAX], slow[FIXED4_MAX];
		size_t len = format_fixed4(p.xyz[i], fast);
		snprintf(slow, sizeof slow, "%.4f", double(p.xyz[i]));
		demand(len == strlen(fast) && strcmp(fast, slow) == 0);
		printed[i] = fast;
		written.append(at, p.begin[i]).append(fast);
		at = p.end[i];
	}
	written.append(at, last);

	Table same = table;
	Point q;
	demand(read_point_line(same, written.c_str(), q) == PointLine::point);
	for (int i = 0; i < 3; i++)
		demand(reads_as(printed[i], q.xyz[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	std::string text(reinterpret_cast<const char *>(data), size);
	Table table;
	// Each line through its newline; a NUL ends its text, as the line
	// reader hands it out.
	for (size_t at = 0; at < text.size();) {
		size_t newline = text.find('\n', at);
		size_t next = newline == std::string::npos ? text.size() : newline + 1;
		std::string line = text.substr(at, next - at);
		check_line(table, line.substr(0, strlen(line.c_str())));
		at = next;
	}
	return 0;
}
