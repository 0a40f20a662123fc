// lag_pool: pools per-subject lag tables (one row per lag, one column per
// region) into group means, region means and the Bartlett correction factor.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/budget.h"
#include "common/header.h"
#include "common/lines.h"
#include "common/output/output.h"
#include "common/prog.h"
#include "lag_pool/crew.h"
#include "lag_pool/getroot.h"
#include "lag_pool/list.h"
#include "lag_pool/pool.h"
#include "lag_pool/table.h"

static const char rcsid[] = "$Id: lag_pool.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <lstfile>\n", program);
	fprintf(out, "\toption\n");
}

// Reads the list and checks every path in it; returns the number of
// subjects. The list is closed.
static int read_paths(const char *lstfile, LineReader &in, TableList &list)
{
	printf("Reading: %s\n", lstfile);
	FILE *lst = open_lines(in, lstfile);
	if (!lst)
		report(Fault::read, lstfile);
	const char *unreadable;
	Fault fault = read_list(lst, in, list, &unreadable);
	if (fault != Fault::none)
		report(fault, unreadable ? unreadable : lstfile);
	fclose(lst);
	return list.nsub;
}

// The shape of every table, from the first.
static void measure(const char *path, LineReader &in, Pool &p)
{
	FILE *fp = open_lines(in, path);
	if (!fp)
		report(Fault::read, path);
	Fault fault = measure_table(fp, in, p.nreg, p.mlag);
	if (fault != Fault::none)
		report(fault, path);
	fclose(fp);
}

// The bytes of the sums, of the labels, of gammabar and of roiavg;
// SIZE_MAX when they are past counting.
static size_t pool_bytes(const Pool &p)
{
	uint64_t floats = uint64_t(p.nlag) * uint64_t(p.nreg) + 2 * uint64_t(p.nlag);
	uint64_t labels = uint64_t(p.nreg) * sizeof(std::string);
	if (floats > (SIZE_MAX - labels) / sizeof(float))
		return SIZE_MAX;
	return floats * sizeof(float) + labels;
}

// Makes room for the sums: nothing is allocated that the run may not have.
static void make_pool(Pool &p)
{
	// 2 * mlag + 1 rows must be countable; a table that asks for more
	// could never be held.
	if (p.mlag > (INT_MAX - 1) / 2)
		report(Fault::memory, nullptr);
	p.nlag = 2 * p.mlag + 1;
	if (!budget_take(pool_bytes(p)))
		report(Fault::memory, nullptr);
	p.regname.resize(p.nreg);
	p.avg.resize(size_t(p.nlag) * p.nreg);
}

// Sums the tables in list order as the crew reads them. What a table prints
// appears in that order; the first table that fails ends the run, and
// nothing of a later one appears.
static void pool_tables(const TableList &list, Pool &p)
{
	Crew crew;
	if (!start_crew(crew, list, p.nreg, p.mlag, crew_size()))
		report(Fault::memory, nullptr);
	const char *path = next_path(list, nullptr);
	for (int t = 0; t < p.nsub; t++, path = next_path(list, path)) {
		Subject &s = take_subject(crew, t);
		if (s.textlen > 0)
			fwrite(s.text.data, 1, s.textlen, stdout);
		if (s.fault != Fault::none) {
			stop_crew(crew);
			report(s.fault, path);
		}
		add_subject(p, s);
		release_subject(crew, t);
	}
	stop_crew(crew);
}

// Creates a result file and writes its two header lines.
static FILE *create(const std::string &name)
{
	FILE *fp = open_output(name.c_str());
	if (!fp)
		report(Fault::write, name.c_str());
	fprintf(stderr, "Writing: %s\n", name.c_str());
	write_command_line(fp);
	return fp;
}

static void finish(FILE *fp, const std::string &name)
{
	if (!close_output(fp))
		report(Fault::write, name.c_str());
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
	begin_run(argv, rcsid, usage);

	const char *lstfile;
	if (positionals(argc, argv, &lstfile, 1) < 1)
		exit_usage(stderr);

	try {
		Pool p;
		LineReader in;
		TableList list;
		p.nsub = read_paths(lstfile, in, list);
		measure(next_path(list, nullptr), in, p);
		printf("nsub=%d nreg%d mlag=%d\n", p.nsub, p.nreg, p.mlag);
		make_pool(p);
		std::vector<float> gammabar(p.nlag);
		pool_tables(list, p);

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
		report(Fault::memory, nullptr);
	} catch (const std::length_error &) {
		report(Fault::memory, nullptr);
	}
	exit_success();
}
