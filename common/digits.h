// Decimal numbers as text, on the paths that the numbers of a large file
// take: plain decimals read without strtod's cost, and digits written two
// at a time.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads the plain decimal at s: a sign or none, then digits with at most
// one '.' among them, at least one and at most 15 digits in all ("-12.345",
// "5.", ".5"). Returns where it ends, with v the correctly rounded value
// that strtod gives for the same text; nullptr for any other form.
//
// With at most 15 digits both the digits and the power of ten are exact
// doubles, so their one quotient is correctly rounded (Clinger's fast
// path). strtod would read on past the end only into an exponent or a
// hexadecimal form: the caller checks that the byte at the end is one that
// may follow its numbers.
inline const char *plain_decimal(const char *s, double &v)
{
	static const double tens[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
	                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
	const char *first = s + (*s == '-' || *s == '+'), *p = first;
	uint64_t digits = 0;
	for (; unsigned(*p - '0') < 10; p++)
		digits = digits * 10 + unsigned(*p - '0');
	const char *point = *p == '.' ? p : nullptr;
	if (point)
		for (p++; unsigned(*p - '0') < 10; p++)
			digits = digits * 10 + unsigned(*p - '0');
	ptrdiff_t decimals = point ? p - point - 1 : 0;
	ptrdiff_t count = p - first - (point != nullptr);
	if (count == 0 || count > 15)
		return nullptr;
	v = double(digits) / tens[decimals];
	if (*s == '-')
		v = -v;
	return p;
}

// "00" to "99": the two digits of n < 100 stand at digit_pairs + 2 * n.
inline constexpr char digit_pairs[] =
	"00010203040506070809101112131415161718192021222324252627282930313233343536373839"
	"40414243444546474849505152535455565758596061626364656667686970717273747576777879"
	"8081828384858687888990919293949596979899";
