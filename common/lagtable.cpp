#include "common/lagtable.h"

void put_lag_heading(FILE *fp)
{
	fprintf(fp, "#%9s", "lag");
}

// A blank and then a field of 9: a field of 10 for a text that fits it, and
// one blank before a text that fills it.
void put_label(FILE *fp, std::string_view label)
{
	putc(' ', fp);
	for (size_t n = label.size(); n < 9; n++)
		putc(' ', fp);
	fwrite(label.data(), 1, label.size(), fp);
}

void put_lag(FILE *fp, int lag)
{
	fprintf(fp, "%10d", lag);
}

void put_value(FILE *fp, double value, int decimals)
{
	fprintf(fp, " %9.*f", decimals, value);
}
