#include "xfm/t4.h"

#include <cstdlib>
#include <cstring>

#include "common/header.h"
#include "common/lines.h"
#include "common/output/output.h"
#include "common/prog.h"
#include "common/tokens.h"
#include "xfm/scan_float.h"

void t4list(FILE *fp, const float t4[16])
{
	// A blank and a field of 9 is a field of 10 for a number that fits it,
	// and keeps a number that fills it apart from the one before.
	fprintf(fp, "t4\n");
	for (int i = 0; i < 4; i++)
		fprintf(fp, "%10.6f %9.6f %9.6f %9.4f\n", t4[i], t4[i + 4], t4[i + 8], t4[i + 12]);
}

void list_xfm(const float t4[16], float scale)
{
	t4list(stdout, t4);
	printf("scale: %.6f\n", scale);
}

// Moves *rest past white space, reading on into the next line (a null *rest
// starts there) while the line it leaves ended with its newline. False at
// the end of the input: the end of the stream or of a failed read (in.fault
// says which), or a NUL byte, which "%f" takes for no number.
static bool skip_space(FILE *fp, LineReader &in, char **rest)
{
	for (;;) {
		if (!*rest) {
			if (!read_line(in, fp))
				return false;
			*rest = in.line;
		}
		while (scanf_space(**rest))
			(*rest)++;
		if (**rest != '\0')
			return true;
		if (*rest == in.line || (*rest)[-1] != '\n')
			return false;
		*rest = nullptr;
	}
}

int t4read(FILE *fp, LineReader &in, char **rest, float t4[16])
{
	for (int i = 0; i < 4; i++)
		for (int j = 0; j < 4; j++)
			if (!skip_space(fp, in, rest) || !scan_float(rest, t4[i + 4 * j]))
				return -1;
	return 0;
}

// The fault of a matrix that t4read could not read: the line reader's,
// when a line could not be read, or else a read error.
static Fault unreadable(const LineReader &in)
{
	return in.fault != Fault::none ? in.fault : Fault::read;
}

Fault t4scan(FILE *fp, float t4[16], float &scale)
{
	scale = 0;
	int blocks = 0;
	LineReader in;
	char *rest = nullptr;  // what stands after the numbers of a block
	for (;;) {
		char *line = rest;
		if (!line) {
			if (!read_line(in, fp))
				break;
			line = in.line;
		}
		rest = nullptr;
		// Only the first two tokens can matter: "scale:" and its value,
		// or a lone "t4".
		cut_comment(line);
		const char *tokens = line;
		std::string_view first = next_token(&tokens), second = next_token(&tokens);
		if (first == "scale:" && !second.empty())
			scale = float(strtod(second.data(), nullptr));
		if (first == "t4" && second.empty()) {
			if (t4read(fp, in, &rest, t4) != 0)
				return unreadable(in);
			blocks++;
		}
	}
	if (in.fault != Fault::none)
		return in.fault;
	if (blocks == 0) {
		rewind(fp);
		if (t4read(fp, in, &rest, t4) != 0)
			return unreadable(in);
	}
	return Fault::none;
}

Fault load_xfm(const char *path, float t4[16], float &scale, Echo echo)
{
	FILE *fp = fopen(path, "r");
	if (!fp)
		return Fault::read;
	if (echo == Echo::listed)
		print_named(stdout, "Reading: ", path);
	Fault fault = t4scan(fp, t4, scale);
	fclose(fp);
	if (fault == Fault::none && echo == Echo::listed)
		list_xfm(t4, scale);
	return fault;
}

Fault write_xfm(const char *path, const char *comment, const float t4[16], float scale)
{
	FILE *fp = open_result(path, stdout);
	if (!fp)
		return Fault::write;
	if (comment)
		fputs(comment, fp);
	t4list(fp, t4);
	if (scale != 0)
		fprintf(fp, "scale:    %10.6f\n", scale);
	return close_output(fp);
}

bool parse_xfm_name(const char *path, std::string &from, std::string &to)
{
	const char *slash = strrchr(path, '/');
	const char *base = slash ? slash + 1 : path;
	const char *sep = strstr(base, "_to_");
	if (!sep)
		return false;
	const char *rest = sep + strlen("_to_");
	const char *end = strstr(rest, "_t4");
	if (!end)
		return false;
	from.assign(base, sep);
	to.assign(rest, end);
	return true;
}

std::string xfm_name(const std::string &from, const std::string &to)
{
	return from + "_to_" + to + "_t4";
}

bool inverse_name(const char *path, std::string &name)
{
	std::string a, b;
	if (!parse_xfm_name(path, a, b))
		return false;
	name = xfm_name(b, a);
	return true;
}

bool product_name(const char *left, const char *right, std::string &name)
{
	std::string a, b, inner, c;
	if (!parse_xfm_name(left, a, b) || !parse_xfm_name(right, inner, c) || inner != b)
		return false;
	name = xfm_name(a, c);
	return true;
}
