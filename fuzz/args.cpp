// The argument scans of the six programs on any argument vector: the input
// cut at its NUL bytes, the first piece being the program's path. Each
// program's scan must agree with a plain reading of the command line: the
// positionals are the first k arguments that do not begin with '-', in
// order; an option letter counts once per occurrence in every argument that
// does; shuffle's count and seed are what strtol reads, to 32 bits.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "common/args.h"
#include "common/prog.h"
#include "fuzz/check.h"
#include "shuffle/args.h"

namespace {

struct scan {
	const char *program;
	int k;			// positionals kept
	const char *letters;	// option letters counted
};

const scan scans[] = {
	{"xfm_unit", 1, ""},
	{"xfm_reverse", 2, "u"},
	{"xfm_chain", 3, ""},
	{"lag_pool", 1, ""},
	{"pattern_list", 1, "we"},
	{"shuffle", 1, ""},
};

bool is_option(const char *arg)
{
	return arg[0] == '-';
}

// strtol(s, nullptr, 10) in plain terms: white space, a sign, digits; a
// value beyond the range of a long stops at its end.
long plain_strtol(const char *s)
{
	while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
		s++;
	bool negative = *s == '-';
	if (*s == '-' || *s == '+')
		s++;
	const unsigned long limit = negative ? 0ul - (unsigned long)LONG_MIN : LONG_MAX;
	unsigned long v = 0;
	for (; *s >= '0' && *s <= '9'; s++) {
		unsigned d = *s - '0';
		v = v > (limit - d) / 10 ? limit : v * 10 + d;
	}
	return negative ? long(0ul - v) : long(v);
}

int32_t plain_low32(const char *s)
{
	return int32_t(uint32_t(uint64_t(plain_strtol(s))));
}

void check_scans(int argc, char *argv[])
{
	std::vector<const char *> positional;
	for (int i = 1; i < argc; i++)
		if (!is_option(argv[i]))
			positional.push_back(argv[i]);

	for (const scan &s : scans) {
		std::unique_ptr<const char *[]> slots(new const char *[s.k]);
		int n = positionals(argc, argv, slots.get(), s.k);
		demand(n == int(std::min<size_t>(s.k, positional.size())));
		for (int i = 0; i < n; i++)
			demand(slots[i] == positional[i]);
		for (const char *c = s.letters; *c; c++) {
			int count = 0;
			for (int i = 1; i < argc; i++)
				for (const char *a = argv[i]; is_option(argv[i]) && *a; a++)
					count += *a == *c;
			demand(option_count(argc, argv, *c) == count);
		}
	}

	if (!positional.empty())
		demand(low32(positional[0]) == plain_low32(positional[0]));
	int32_t seed = 0;
	for (int i = 1; i < argc; i++) {
		const char *s = is_option(argv[i]) ? strchr(argv[i], 's') : nullptr;
		if (s)
			seed = plain_low32(s + 1);
	}
	demand(seed_option(argc, argv) == seed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	// Every argument in an allocation of its own size, so that reading
	// past one is caught.
	std::vector<std::unique_ptr<char[]>> pieces;
	for (size_t start = 0;;) {
		const void *nul = start < size ? memchr(data + start, 0, size - start) : nullptr;
		size_t end = nul ? static_cast<const uint8_t *>(nul) - data : size;
		pieces.emplace_back(new char[end - start + 1]);
		memcpy(pieces.back().get(), data + start, end - start);
		pieces.back()[end - start] = '\0';
		if (!nul)
			break;
		start = end + 1;
	}
	std::vector<char *> argv;
	for (auto &p : pieces)
		argv.push_back(p.get());
	argv.push_back(nullptr);
	int argc = int(argv.size()) - 1;

	setprog(argv.data());
	const char *slash = strrchr(argv[0], '/');
	demand(program == (slash ? slash + 1 : argv[0]));

	check_scans(argc, argv.data());
	return 0;
}
