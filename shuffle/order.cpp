// The order: its printing.
#include "shuffle/order.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "common/digits.h"

// The two digits of v < 100 as two bytes, the first in the low one. On a
// little-endian machine the compiler makes this one 16-bit load.
static uint64_t two_digits(uint32_t v)
{
	const unsigned char *pair = reinterpret_cast<const unsigned char *>(digit_pairs + 2 * v);
	return pair[0] | unsigned(pair[1]) << 8;
}

// Stores the eight bytes of word at p, lowest byte first, whatever the
// byte order of the machine.
static void store_low_first(char *p, uint64_t word)
{
	if constexpr (std::endian::native == std::endian::big)
		word = __builtin_bswap64(word);
	memcpy(p, &word, 8);
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
size_t format_order(char *buf, const int *values, int count)
{
	const uint64_t zeros = 0x3030303030303030;
	char *p = buf;
	for (int i = 0; i < count; i++) {
		uint32_t v = uint32_t(values[i]) + 1;
		if (v >= 100000000) {
			uint32_t top = v / 100000000;
			memcpy(p, digit_pairs + 2 * top + (top < 10), 2);
			p += 1 + (top >= 10);
			store_low_first(p, eight_digits(v % 100000000));
			p += 8;
		} else {
			uint64_t word = eight_digits(v);
			int skip = std::countr_zero(word - zeros) / 8;  // v > 0: a digit is not 0
			store_low_first(p, word >> 8 * skip);
			p += 8 - skip;
		}
		*p++ = ' ';
	}
	return p - buf;
}
