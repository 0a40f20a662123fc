#include "xfm/t4.h"

#include <cstdlib>
#include <cstring>

#include "common/header.h"
#include "common/lines.h"
#include "common/output/output.h"
#include "common/tokens.h"

void t4list(FILE *fp, const float t4[16])
{
	fprintf(fp, "t4\n");
	for (int i = 0; i < 4; i++)
		fprintf(fp, "%10.6f%10.6f%10.6f%10.4f\n", t4[i], t4[i + 4], t4[i + 8], t4[i + 12]);
}

int t4read(FILE *fp, float t4[16])
{
	for (int i = 0; i < 4; i++)
		if (fscanf(fp, " %f %f %f %f", &t4[i], &t4[i + 4], &t4[i + 8], &t4[i + 12]) != 4)
			return -1;
	return 0;
}

Fault t4scan(FILE *fp, float t4[16], float &scale)
{
	scale = 0;
	int blocks = 0;
	LineReader in;
	while (read_line(in, fp)) {
		// Only the first two tokens can matter: "scale:" and its value,
		// or a lone "t4".
		cut_comment(in.line);
		const char *rest = in.line;
		std::string_view first = next_token(&rest), second = next_token(&rest);
		if (first == "scale:" && !second.empty())
			scale = float(strtod(second.data(), nullptr));
		if (first == "t4" && second.empty()) {
			if (t4read(fp, t4) != 0)
				return Fault::read;
			blocks++;
		}
	}
	if (in.fault != Fault::none)
		return in.fault;
	if (blocks == 0) {
		rewind(fp);
		return t4read(fp, t4) == 0 ? Fault::none : Fault::read;
	}
	return Fault::none;
}

static Fault open_and_scan(const char *path, bool announce, float t4[16], float &scale)
{
	FILE *fp = fopen(path, "r");
	if (!fp)
		return Fault::read;
	if (announce)
		printf("Reading: %s\n", path);
	Fault fault = t4scan(fp, t4, scale);
	fclose(fp);
	return fault;
}

Fault read_xfm(const char *path, float t4[16], float &scale)
{
	return open_and_scan(path, true, t4, scale);
}

Fault load_xfm(const char *path, float t4[16], float &scale)
{
	return open_and_scan(path, false, t4, scale);
}

Fault write_xfm(const char *path, const char *comment, const float t4[16], float scale)
{
	FILE *fp = open_output(path);
	if (!fp)
		return Fault::write;
	printf("Writing: %s\n", path);
	write_command_line(fp);
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
