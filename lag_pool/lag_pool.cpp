// lag_pool: pools per-subject lag tables (one row per lag, one column per
// region) into group means, region means and the Bartlett correction factor.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

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
#include "lag_pool/results.h"
#include "lag_pool/subject_table.h"

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
	print_named(stdout, "Reading: ", lstfile);
	FILE *lst = open_lines(in, lstfile);
	if (!lst)
		report(in.fault, lstfile);
	const char *unreadable;
	Fault fault = read_list(lst, in, list, &unreadable);
	if (fault != Fault::none)
		report(fault, unreadable ? unreadable : lstfile);
	fclose(lst);
	return list.nsub;
}

// The shape of every table, from the first, which is left open to be read
// on: what it read is in first.
static FILE *measure(const char *path, LineReader &in, Pool &p, Subject &first)
{
	FILE *fp = open_lines(in, path);
	if (!fp)
		report(in.fault, path);
	Fault fault = measure_table(fp, path, in, p.nreg, p.mlag, first);
	if (fault != Fault::none)
		report(fault, path);
	return fp;
}

// n zero floats within the memory budget, or the memory error.
static float *floats(size_t n)
{
	void *p = n <= SIZE_MAX / sizeof(float) ? budget_calloc(n * sizeof(float)) : nullptr;
	if (!p)
		report(Fault::memory, nullptr);
	return static_cast<float *>(p);
}

// Makes room for the sums: nothing is allocated that the run may not have.
static void make_pool(Pool &p)
{
	// 2 * mlag + 1 rows must be countable; a table that asks for more
	// could never be held.
	if (p.mlag > (INT_MAX - 1) / 2)
		report(Fault::memory, nullptr);
	p.nlag = 2 * p.mlag + 1;
	p.avg = floats(size_t(p.nlag) * size_t(p.nreg));
}

// Sums the tables in list order as the crew reads them. What a table prints
// appears in that order. Returns the fault of the first table that fails,
// *failed naming it; nothing of a later table appears. The crew has
// stopped when it returns, or, after a fault, is abandoned: the run must
// then end at once.
static Fault pool_tables(const TableList &list, FILE *first, Subject &measured, LineReader &in, Pool &p,
                         const char **failed)
{
	std::unique_ptr<Crew> crew(new Crew);
	*failed = nullptr;
	if (!start_crew(*crew, list, p.nreg, p.mlag, crew_size(), first, std::move(measured)))
		return Fault::memory;
	const char *path = next_path(list, nullptr);
	for (int t = 0; t < p.nsub; t++, path = next_path(list, path)) {
		Subject &s = take_subject(*crew, t, path, in);
		if (s.textlen > 0)
			fwrite(s.text.data, 1, s.textlen, stdout);
		if (Fault fault = s.fault; fault != Fault::none) {
			*failed = path;
			abandon_crew(crew.release());
			return fault;
		}
		add_subject(p, s);
		release_subject(*crew, t);
	}
	return Fault::none;
}

// The three results are one set: none takes its place before all are
// written, and a run that ends first leaves every old one as it was.
static OutputSet results;

// Creates a result file and writes its two header lines.
static FILE *create(const std::string &name)
{
	FILE *fp = open_result(name.c_str(), stderr, &results);
	if (!fp)
		report(Fault::write, name.c_str());
	return fp;
}

static void finish(FILE *fp, const std::string &name)
{
	if (Fault fault = close_output(fp); fault != Fault::none)
		report(fault, name.c_str());
}

static void write_avg(const std::string &name, const Pool &p)
{
	FILE *fp = create(name);
	put_labels(fp, p);
	for (int lag = -p.mlag; lag <= p.mlag; lag++)
		put_row(fp, lag, &p.avg[lag_row(p, lag)], p.nreg);
	finish(fp, name);
}

static void write_roiavg(const std::string &name, const Pool &p, const float *roiavg)
{
	FILE *fp = create(name);
	fprintf(fp, "#%9s%10s\n", "lag", "ROIavg");
	for (int i = 0; i < p.nlag; i++)
		put_row(fp, i - p.mlag, &roiavg[i], 1);
	finish(fp, name);
}

static void write_gammabar(const std::string &name, const Pool &p, const float *gammabar, float sum)
{
	FILE *fp = create(name);
	fprintf(fp, "#sum of gammabar = %.4f\n", sum);
	for (int i = 0; i < p.nlag; i++)
		put_row(fp, i - p.mlag, &gammabar[i], 1);
	finish(fp, name);
}

int main(int argc, char *argv[])
{
	begin_run(argv, rcsid, usage);

	const char *lstfile;
	if (positionals(argc, argv, &lstfile, 1) < 1)
		exit_usage(stderr);

	Pool p;
	LineReader in;
	TableList list;
	p.nsub = read_paths(lstfile, in, list);
	Subject measured;
	FILE *first = measure(next_path(list, nullptr), in, p, measured);
	printf("nsub=%d nreg%d mlag=%d\n", p.nsub, p.nreg, p.mlag);
	make_pool(p);
	float *gammabar = floats(p.nlag), *roiavg = floats(p.nlag);
	const char *failed;
	Fault fault = pool_tables(list, first, measured, in, p, &failed);
	if (fault != Fault::none)
		report(fault, failed);

	group_means(p.avg, size_t(p.nlag) * p.nreg, p.nsub);
	std::string root = getroot(lstfile);
	const std::string names[] = {root + "_avg.dat", root + "_ROIavg.dat", root + "_gammabar.dat"};
	write_avg(names[0], p);

	roi_means(p.avg, p.nreg, p.nlag, roiavg);
	write_roiavg(names[1], p, roiavg);

	float sum = cross_products(p.avg, p.nreg, p.nlag, gammabar);
	write_gammabar(names[2], p, gammabar, sum);
	int unplaced;
	if (fault = place_outputs(results, &unplaced); fault != Fault::none)
		report(fault, names[unplaced].c_str());
	printf("Bartlett correction factor (sum of gammabar) = %.4f\n", sum);
	budget_free(roiavg, p.nlag * sizeof(float));
	budget_free(gammabar, p.nlag * sizeof(float));
	exit_success();
}
