// The order: its printing.
#include "shuffle/order.h"

#include <bit>
#include <cstdint>
#include <cstring>

static const char twodigits[] =
	"00010203040506070809101112131415161718192021222324252627282930313233343536373839"
	"40414243444546474849505152535455565758596061626364656667686970717273747576777879"
	"8081828384858687888990919293949596979899";

// The two digits of v < 100 as two bytes, the first in the low one.
static uint64_t two_digits(uint32_t v)
{
	uint16_t pair;
	memcpy(&pair, twodigits + 2 * v, 2);
	return pair;
}

// The eight digits of v < 10^8, leading zeros included, the first digit in
// the lowest byte. Put together in a register: gathered in memory, the
// word could not be loaded until the four stores had left.
static uint64_t eight_digits(uint32_t v)
{
	uint32_t high = v / 10000, low = v % 10000;
	return two_digits(high / 100) | two_digits(high % 100) << 16 | two_digits(low / 100) << 32 |
	       two_digits(low % 100) << 48;
}

// Eight bytes are stored for every number and the leading zeros are then
// stepped over: no branch depends on the width. The digits go out of the
// word lowest byte first.
static_assert(std::endian::native == std::endian::little);

size_t format_order(char *buf, const int *values, int count)
{
	const uint64_t zeros = 0x3030303030303030;
	char *p = buf;
	for (int i = 0; i < count; i++) {
		uint32_t v = uint32_t(values[i]) + 1;
		if (v >= 100000000) {
			uint32_t top = v / 100000000;
			memcpy(p, twodigits + 2 * top + (top < 10), 2);
			p += 1 + (top >= 10);
			uint64_t word = eight_digits(v % 100000000);
			memcpy(p, &word, 8);
			p += 8;
		} else {
			uint64_t word = eight_digits(v);
			int skip = std::countr_zero(word - zeros) / 8;  // v > 0: a digit is not 0
			word >>= 8 * skip;
			memcpy(p, &word, 8);
			p += 8 - skip;
		}
		*p++ = ' ';
	}
	return p - buf;
}
