// The lines of a lag table, as lag_pool writes its group means and lag_table
// a subject's autocorrelations: a column header "#%9s" with "lag" and a field
// of ten for each region's label, then one row per lag, "%10d" and a field of
// ten for each value. A text that fills its field, or is wider, has one blank
// before it, so that no two fields run together.
#pragma once

#include <cstdio>
#include <string_view>

// "#      lag": the start of the column header.
void put_lag_heading(FILE *fp);

// A label in its field of ten; an empty one leaves the field blank.
void put_label(FILE *fp, std::string_view label);

// The lag that starts a row, "%10d".
void put_lag(FILE *fp, int lag);

// A value in its field of ten, with the given number of decimals.
void put_value(FILE *fp, double value, int decimals);
