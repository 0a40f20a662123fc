// lag_pool: pools per-subject lag tables (one row per lag, one column per
// region) into group means, region means and the Bartlett correction factor.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output.h"
#include "common/prog.h"
#include "lag_pool/getroot.h"
#include "lag_pool/pool.h"
#include "lag_pool/table.h"

const char rcsid[] = "$Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";

// The shape of every table, taken from the first, and what is gathered over
// the subjects. The tables themselves are not kept: their values are summed
// as they are read, so memory grows with the table and not with the cohort.
struct Pool {
	int nsub;  // subjects: the lines of the list
	int nreg;  // regions: the value columns
	int mlag;  // the largest lag; rows run from -mlag to +mlag
	int nlag;  // rows: 2 * mlag + 1
	std::vector<std::string> regname;
	std::vector<float> avg;     // row by row: the sums, then the group means
	std::vector<float> values;  // the data line being read
};

[[noreturn]] static void usage()
{
	fprintf(stderr, "Usage:\t%s <lstfile>\n", program);
	fprintf(stderr, "\toption\n");
	exit(1);
}

// A list line names a table with every byte but its newline.
static std::string list_path(const char *line, size_t len)
{
	if (line[len - 1] == '\n')
		len--;
	return std::string(line, len);
}

// Every listed table must be readable before any is read. Returns the
// number of subjects.
static int check_list(FILE *lst, const char *lstfile, LineReader &in)
{
	char *line;
	size_t len;
	int nsub = 0;
	begin_lines(in, lst);
	while (next_line(in, &line, &len)) {
		std::string path = list_path(line, len);
		if (access(path.c_str(), R_OK) != 0)
			errr(program, path.c_str());
		if (nsub == INT_MAX)
			errf(program, lstfile);
		nsub++;
	}
	if (ferror(lst))
		errr(program, lstfile);
	if (nsub == 0)
		errf(program, lstfile);
	return nsub;
}

// The next path of a list read again from its start. A list that has lost
// lines since they were checked can no longer be read as it was.
static std::string next_path(LineReader &in, const char *lstfile)
{
	char *line;
	size_t len;
	if (!next_line(in, &line, &len))
		errr(program, lstfile);
	return list_path(line, len);
}

// The shape from the first table: nreg from the last header line before its
// first data line, mlag from the lag of that data line.
static void measure(const char *path, LineReader &in, Pool &p)
{
	FILE *fp = fopen(path, "r");
	if (!fp)
		errr(program, path);
	char *line;
	size_t len;
	size_t ntok = 0;  // tokens of the last header line: the lag column and the labels
	begin_lines(in, fp);
	while (next_line(in, &line, &len)) {
		const char *end = line + len;
		if (line[0] == '#') {
			blank_hashes(line, len);
			ntok = count_tokens(line, end);
			continue;
		}
		if (ntok < 2 || ntok > INT_MAX || count_tokens(line, end) != ntok)
			errf(program, path);
		const char *rest = line;
		int lag = lag_value(next_token(&rest, end));
		if (lag >= 0 || lag == INT_MIN)
			errf(program, path);
		fclose(fp);
		p.nreg = static_cast<int>(ntok - 1);
		p.mlag = -lag;
		return;
	}
	if (ferror(fp))
		errr(program, path);
	errf(program, path);
}

// A header line whose tokens ('#' made blank) are the lag column and one
// label per region replaces every label.
static void take_labels(char *line, size_t len, std::vector<std::string> &regname)
{
	const char *end = line + len;
	blank_hashes(line, len);
	if (count_tokens(line, end) != regname.size() + 1)
		return;
	const char *rest = line;
	next_token(&rest, end);
	for (std::string &label : regname)
		label = next_token(&rest, end);
}

// Where the sums or means of a lag begin in avg.
static size_t lag_row(const Pool &p, int lag)
{
	return size_t(lag + p.mlag) * p.nreg;
}

// Adds one subject's table to the sums. Its header lines are echoed and may
// bring new labels; its data lines run from lag -mlag up, without a gap,
// and may stop early.
static void pool_table(const char *path, LineReader &in, Pool &p)
{
	FILE *fp = fopen(path, "r");
	if (!fp)
		errr(program, path);
	printf("Reading: %s\n", path);
	char *line;
	size_t len;
	int lag = -p.mlag;
	begin_lines(in, fp);
	while (next_line(in, &line, &len)) {
		if (line[0] == '#') {
			fwrite(line, 1, len, stdout);
			take_labels(line, len, p.regname);
			continue;
		}
		if (lag > p.mlag || !read_data_line(line, line + len, lag, p.values.data(), p.nreg))
			errf(program, path);
		add_row(&p.avg[lag_row(p, lag)], p.values.data(), p.nreg);
		lag++;
	}
	if (ferror(fp))
		errr(program, path);
	fclose(fp);
	for (; lag <= p.mlag; lag++)
		add_zero_row(&p.avg[lag_row(p, lag)], p.nreg);
}

// Creates a result file and writes its two header lines.
static FILE *create(const std::string &name)
{
	FILE *fp = open_output(name.c_str());
	if (!fp)
		errw(program, name.c_str());
	fprintf(stderr, "Writing: %s\n", name.c_str());
	write_command_line(fp);
	return fp;
}

static void finish(FILE *fp, const std::string &name)
{
	if (!close_output(fp))
		errw(program, name.c_str());
}

static void write_avg(const std::string &name, const Pool &p)
{
	FILE *fp = create(name);
	fprintf(fp, "#%9s", "lag");
	for (const std::string &label : p.regname)
		fprintf(fp, "%10s", label.c_str());
	fprintf(fp, "\n");
	for (int lag = -p.mlag; lag <= p.mlag; lag++) {
		const float *row = &p.avg[lag_row(p, lag)];
		fprintf(fp, "%10d", lag);
		for (int r = 0; r < p.nreg; r++)
			fprintf(fp, "%10.4f", row[r]);
		fprintf(fp, "\n");
	}
	finish(fp, name);
}

static void write_roiavg(const std::string &name, const Pool &p,
                         const std::vector<float> &roiavg)
{
	FILE *fp = create(name);
	fprintf(fp, "#%9s%10s\n", "lag", "ROIavg");
	for (int i = 0; i < p.nlag; i++)
		fprintf(fp, "%10d%10.4f\n", i - p.mlag, roiavg[i]);
	finish(fp, name);
}

static void write_gammabar(const std::string &name, const Pool &p,
                           const std::vector<float> &gammabar, float sum)
{
	FILE *fp = create(name);
	fprintf(fp, "#sum of gammabar = %.4f\n", sum);
	for (int i = 0; i < p.nlag; i++)
		fprintf(fp, "%10d%10.4f\n", i - p.mlag, gammabar[i]);
	finish(fp, name);
}

int main(int argc, char *argv[])
{
	begin_run(argv);
	print_rcsid();

	const char *lstfile;
	if (positionals(argc, argv, &lstfile, 1) < 1)
		usage();

	try {
		Pool p;
		LineReader list, table;

		printf("Reading: %s\n", lstfile);
		FILE *lst = fopen(lstfile, "r");
		if (!lst)
			errr(program, lstfile);
		p.nsub = check_list(lst, lstfile, list);

		rewind(lst);
		begin_lines(list, lst);
		measure(next_path(list, lstfile).c_str(), table, p);
		printf("nsub=%d nreg%d mlag=%d\n", p.nsub, p.nreg, p.mlag);

		// 2 * mlag + 1 rows must be countable; a table that asks for more
		// could never be held.
		if (p.mlag > (INT_MAX - 1) / 2)
			errm(program);
		p.nlag = 2 * p.mlag + 1;
		p.regname.resize(p.nreg);
		p.avg.resize(size_t(p.nlag) * p.nreg);
		p.values.resize(p.nreg);
		std::vector<float> gammabar(p.nlag);

		rewind(lst);
		begin_lines(list, lst);
		for (int s = 0; s < p.nsub; s++)
			pool_table(next_path(list, lstfile).c_str(), table, p);
		fclose(lst);

		group_means(p.avg.data(), p.avg.size(), p.nsub);
		std::string root = getroot(lstfile);
		write_avg(root + "_avg.dat", p);

		{
			std::vector<float> roiavg(p.nlag);
			roi_means(p.avg.data(), p.nreg, p.nlag, roiavg.data());
			write_roiavg(root + "_ROIavg.dat", p, roiavg);
		}

		float sum = cross_products(p.avg.data(), p.nreg, p.nlag, gammabar.data());
		write_gammabar(root + "_gammabar.dat", p, gammabar, sum);
		printf("Bartlett correction factor (sum of gammabar) = %.4f\n", sum);
	} catch (const std::bad_alloc &) {
		errm(program);
	} catch (const std::length_error &) {
		errm(program);
	}
	exit_success();
}
