#include "common/header.h"

#include "common/prog.h"

std::string one_line(const char *text)
{
	std::string line;
	for (const char *c = text; *c; c++) {
		if (*c == '\n')
			line += "\\n";
		else if (*c == '\r')
			line += "\\r";
		else
			line += *c;
	}
	return line;
}

static void write_command_line(FILE *fp)
{
	fprintf(fp, "#%s", one_line(program).c_str());
	for (char *const *arg = arguments; *arg; arg++)
		fprintf(fp, " %s", one_line(*arg).c_str());
	fprintf(fp, "\n#%s\n", revision);
}

FILE *open_result(const char *path, FILE *progress, OutputSet *set)
{
	FILE *fp = open_output(path, set);
	if (fp) {
		print_named(progress, "Writing: ", path);
		write_command_line(fp);
	}
	return fp;
}
