#include "xfm/scan_float.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// What a "%f" conversion makes of text: the value it stored (its bits, or
// "none") and the bytes it consumed.
std::string outcome(bool stored, float value, long used)
{
	uint32_t bits;
	memcpy(&bits, &value, sizeof bits);
	char text[64];
	if (stored)
		snprintf(text, sizeof text, "%08x after %ld", unsigned(bits), used);
	else
		snprintf(text, sizeof text, "none after %ld", used);
	return text;
}

std::string by_fscanf(std::string text)
{
	FILE *fp = fmemopen(text.data(), text.size(), "r");
	float value = 0;
	bool stored = fscanf(fp, "%f", &value) == 1;
	long used = ftell(fp);
	fclose(fp);
	return outcome(stored, value, used);
}

std::string by_scan(std::string text)
{
	char *p = text.data();
	float value = 0;
	bool stored = scan_float(&p, value);
	return outcome(stored, value, long(p - text.data()));
}

// The C library's own scanf is the reference, on the forms whose value or
// whose consumed bytes are easy to get wrong: partial signs, exponents and
// prefixes, the words, and decimals that a double would round twice. The
// forms are apart by '|'.
const char forms[] = "1.5|-0|+7e-3x|12e|1e+|1e+x|1e-+5|1E5e5|1.2.3|.5|.|-.|+.e1|-|+ 1|e5|0|0e|"
		     "0x|-0x|0xg|0x.|0xp3|0x1P-3|0X1.8p+|0x1fp1f|0xe|"
		     "nan|-NaN(12)|na|nax|n\n|inf|-Infinity|infinit |infx|infi|in|i\n|"
		     "3.4028235e38|3.4028236e38|1e40|-1e-46|1.401298e-45|"
		     "0.000000000000000000000000000000000000000000700649232162408535461864791|"
		     "1.000000059604644775390625000001|16777217|1.00000005960464477539062499999";

TEST(ScanFloat, AsTheLibrarysScanf)
{
	std::string all = forms;
	for (size_t at = 0, bar; at <= all.size(); at = bar + 1) {
		bar = std::min(all.find('|', at), all.size());
		std::string text = all.substr(at, bar - at);
		EXPECT_EQ(by_scan(text), by_fscanf(text)) << text;
	}
}

TEST(ScanFloat, ALongNumberIsReadWhole)
{
	std::string digits = "1" + std::string(100000, '0') + "1e-100000";
	EXPECT_EQ(by_scan(digits + " 5"), by_fscanf(digits + " 5"));
	EXPECT_EQ(by_scan("0." + std::string(50000, '0') + "1e50000"), "3dcccccd after 50009");
}

}  // namespace
