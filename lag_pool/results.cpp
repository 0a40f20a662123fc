#include "lag_pool/results.h"

#include <string_view>

#include "common/tokens.h"

// Each field after the first on a line is a blank and then a field of 9:
// a field of 10 for a text that fits it, and one blank before a text that
// fills it, which then stays apart from the field before.
void put_labels(FILE *fp, const Pool &p)
{
	fprintf(fp, "#%9s", "lag");
	const char *labels = p.labels.data;
	if (p.has_labels)
		next_token(&labels);  // the lag column's
	for (int r = 0; r < p.nreg; r++) {
		std::string_view label = p.has_labels ? next_token(&labels) : std::string_view();
		putc(' ', fp);
		for (size_t n = label.size(); n < 9; n++)
			putc(' ', fp);
		fwrite(label.data(), 1, label.size(), fp);
	}
	putc('\n', fp);
}

void put_row(FILE *fp, int lag, const float *values, int n)
{
	fprintf(fp, "%10d", lag);
	for (int i = 0; i < n; i++)
		fprintf(fp, " %9.4f", values[i]);
	putc('\n', fp);
}
