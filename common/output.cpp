#include "common/output.h"

#include "common/prog.h"

FILE *open_output(const char *path)
{
	return fopen(path, "w");
}

bool close_output(FILE *fp)
{
	bool failed = ferror(fp);
	failed |= fclose(fp) != 0;
	return !failed;
}

void write_command_line(FILE *fp, int argc, char *const argv[])
{
	fprintf(fp, "#%s", program);
	for (int i = 1; i < argc; i++)
		fprintf(fp, " %s", argv[i]);
	fprintf(fp, "\n#%s\n", rcsid);
}
