#include "lag_pool/results.h"

#include <string_view>

#include "common/lagtable.h"
#include "common/tokens.h"

void put_labels(FILE *fp, const Pool &p)
{
	put_lag_heading(fp);
	const char *labels = p.labels.data;
	if (p.has_labels)
		next_token(&labels);  // the lag column's
	for (int r = 0; r < p.nreg; r++)
		put_label(fp, p.has_labels ? next_token(&labels) : std::string_view());
	putc('\n', fp);
}

void put_row(FILE *fp, int lag, const float *values, int n)
{
	put_lag(fp, lag);
	for (int i = 0; i < n; i++)
		put_value(fp, values[i], 4);
	putc('\n', fp);
}
