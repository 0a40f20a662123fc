#include "xfm/t4.h"

#include <cstdlib>
#include <cstring>

#include "common/output.h"
#include "common/prog.h"
#include "common/split.h"

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

int t4scan(FILE *fp, float t4[16], float &scale)
{
	scale = 0;
	int blocks = 0;
	char *line = nullptr;
	size_t cap = 0;
	int status = 0;
	while (status == 0 && getline(&line, &cap, fp) != -1) {
		// Only the first two tokens can matter: "scale:" and its value,
		// or a lone "t4".
		char *tok[2];
		int ntok = split_uncommented(line, tok, 2);
		if (ntok == 2 && !strcmp(tok[0], "scale:"))
			scale = float(strtod(tok[1], nullptr));
		if (ntok == 1 && !strcmp(tok[0], "t4")) {
			status = t4read(fp, t4);
			blocks++;
		}
	}
	free(line);
	if (status != 0 || ferror(fp))
		return -1;
	if (blocks == 0) {
		rewind(fp);
		return t4read(fp, t4);
	}
	return 0;
}

void read_xfm(const char *path, float t4[16], float &scale)
{
	FILE *fp = fopen(path, "r");
	if (!fp)
		errr(program, path);
	printf("Reading: %s\n", path);
	if (t4scan(fp, t4, scale) != 0)
		errr(program, path);
	fclose(fp);
}

void write_xfm(const char *path, const char *comment, const float t4[16], float scale)
{
	FILE *fp = open_output(path);
	if (!fp)
		errw(program, path);
	printf("Writing: %s\n", path);
	write_command_line(fp);
	if (comment)
		fputs(comment, fp);
	t4list(fp, t4);
	if (scale != 0)
		fprintf(fp, "scale:    %10.6f\n", scale);
	if (!close_output(fp))
		errw(program, path);
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
