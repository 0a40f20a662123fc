// The numbers read from table tokens. The value conversion takes a
// faster path than strtod for plain decimals; it must agree with strtod to
// the bit on every token, so it is checked against strtod itself.
#include "lag_pool/subject_table.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

uint32_t bits(float f)
{
	uint32_t u;
	memcpy(&u, &f, sizeof u);
	return u;
}

// The reference: strtod on the token alone, then single precision.
float by_strtod(const std::string &tok)
{
	return static_cast<float>(strtod(tok.c_str(), nullptr));
}

// Both ways a value is read: alone, and as a data line's last token.
void expect_as_strtod(const std::string &tok)
{
	ASSERT_EQ(bits(cell_value(tok)), bits(by_strtod(tok))) << "token \"" << tok << "\"";
	float value;
	ASSERT_TRUE(read_data_line(("0 " + tok + "\n").c_str(), 0, &value, 1));
	ASSERT_EQ(bits(value), bits(by_strtod(tok))) << "line \"0 " << tok << "\"";
}

TEST(CellValue, AgreesWithStrtodOnEveryForm)
{
	// clang-format off
	const char *const forms[] = {
		"0", "-0", "0.0", "-0.0", "-0e5", "1", "-1", "0.1", "-0.1", "0.1234", "-0.0123",
		".5", "5.", "-.5", "-5.", "+5", "+.5", "+-5", "-+5", "--1", ".", "-", "+", "-.",
		"1e", "1e+", "1e-", "1E5", "1e+5", "1e-5", "e5", ".e5", "1.5e3.2", "1e5e5",
		"3abc", "1,5", "1.2.3", "n/a", "NA", "x", "#", "-nan", "nan", "NaN", "nan(123)",
		"-nan(0x7)", "nanny", "inf", "-inf", "+inf", "infinity", "-Infinity", "INF", "info",
		"0x1p3", "-0x1.8p1", "0X10", "+0x1p-2", "0x", "0xg", "00x1", "0x.8", "1x5",
		"4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
		"1e-310", "-1e-320", "2.2250738585072011e-308", "2.2250738585072014e-308",
		"1.7976931348623157e308", "1.7976931348623158e308", "1.7976931348623159e308",
		"1e308", "1e309", "1e400", "-1e400", "1e-400", "-1e-400", "1e99999999999",
		"1e-99999999999", "1e00000000000000000000000001",
		"3.4028234663852886e38", "3.4028235677973366e38", "3.4028236e38", "1.4e-45",
		"7.0064923216240854e-46", "7.0064923216240862e-46", "1.17549435e-38",
		"9007199254740993", "9007199254740993.0000000000000000000001", "9007199254740992.5",
		"16777217", "16777217.000000000000000001", "0.100000001490116119384765625",
		"0.10000000149011612", "0.1000000014901161193847656250000000000000000001",
		"999999999999999", "-.000000000000001", "9999999999999999", "0.0000000000000001",
	};
	// clang-format on
	for (const char *form : forms)
		expect_as_strtod(form);
}

TEST(CellValue, AgreesWithStrtodOnLongMantissas)
{
	auto repeat = [](const char *head, int n, char c, const char *tail) {
		return std::string(head) + std::string(n, c) + tail;
	};
	expect_as_strtod(repeat("0.", 700, '0', "1"));
	expect_as_strtod(repeat("", 400, '9', ""));
	expect_as_strtod(repeat("", 309, '9', ".5"));
	expect_as_strtod(repeat("1.", 2000, '0', "1e-5"));
	expect_as_strtod(repeat("-", 30, '1', "e-330"));
}

// Decimal strings exactly halfway between two adjacent doubles, and a hair
// either side of halfway: the hardest inputs for correct rounding.
TEST(CellValue, AgreesWithStrtodOnHalfwayCases)
{
	std::mt19937_64 rng(7);
	std::uniform_int_distribution<int> exponent(-1070, 1020);
	std::uniform_real_distribution<double> mantissa(1, 2);
	std::vector<char> text(2000);
	for (int n = 0; n < 2000; n++) {
		double d = std::ldexp(mantissa(rng), exponent(rng));
		long double mid = (static_cast<long double>(d) + std::nextafter(d, HUGE_VAL)) / 2;
		snprintf(text.data(), text.size(), "%.1100Le", mid);
		std::string exact = text.data();
		size_t e = exact.find('e');
		std::string digits = exact.substr(0, e), power = exact.substr(e);
		while (digits.back() == '0')
			digits.pop_back();
		if (digits.back() == '.')
			continue;
		expect_as_strtod(digits + power);
		expect_as_strtod(digits + "1" + power);
		std::string below = digits;
		below.back()--;
		expect_as_strtod(below + "9999999999" + power);
	}
}

TEST(CellValue, AgreesWithStrtodOnRandomTokens)
{
	std::mt19937 rng(2026);
	auto pick = [&](int n) { return static_cast<int>(rng() % n); };
	auto digits = [&](int n) {
		std::string s;
		for (int i = 0; i < n; i++)
			s += static_cast<char>('0' + pick(10));
		return s;
	};
	const char *const signs[] = {"", "", "-", "+"};
	const char *const tails[] = {"", "", "", "abc", "#", ".", "e", "e+", "x1", ",5", "-3"};
	for (int n = 0; n < 100000; n++) {
		std::string tok = signs[pick(4)];
		tok += digits(pick(21));
		if (pick(3)) {
			tok += '.';
			tok += digits(pick(26));
		}
		if (pick(2)) {
			tok += pick(2) ? 'e' : 'E';
			tok += signs[pick(4)];
			tok += std::to_string(pick(800) - 400);
		}
		tok += tails[pick(11)];
		if (!tok.empty())
			expect_as_strtod(tok);
	}
	// Short strings over the bytes that matter to either reader.
	const std::string alphabet = "0123456789.eE+-xXpPinfaNty()";
	for (int n = 0; n < 100000; n++) {
		std::string tok;
		for (int len = 1 + pick(12); len > 0; len--)
			tok += alphabet[pick(alphabet.size())];
		expect_as_strtod(tok);
	}
	// Values as the tools write them, "%10.4f" and "%.7g".
	std::uniform_real_distribution<float> value(-2000, 2000);
	char text[64];
	for (int n = 0; n < 100000; n++) {
		float v = value(rng);
		snprintf(text, sizeof text, n % 2 ? "%.4f" : "%.7g", v);
		expect_as_strtod(text);
	}
}

TEST(LagValue, IntegerPrefixInBase10KeptTo32Bits)
{
	EXPECT_EQ(lag_value("-3"), -3);
	EXPECT_EQ(lag_value("-3.0"), -3);
	EXPECT_EQ(lag_value("-3.9"), -3);
	EXPECT_EQ(lag_value("+2"), 2);
	EXPECT_EQ(lag_value("12abc"), 12);
	EXPECT_EQ(lag_value("0x10"), 0);
	EXPECT_EQ(lag_value("-08"), -8);
	EXPECT_EQ(lag_value("lag"), 0);
	EXPECT_EQ(lag_value("-2147483648"), INT32_MIN);
	EXPECT_EQ(lag_value("2147483648"), INT32_MIN);
	EXPECT_EQ(lag_value("-4294967299"), -3);
	// Past 64 bits the value saturates at INT64_MAX or INT64_MIN, whose low
	// 32 bits are -1 and 0, on every machine.
	EXPECT_EQ(lag_value("99999999999999999999"), -1);
	EXPECT_EQ(lag_value("-99999999999999999999"), 0);
}

}  // namespace
