// The argument scans on any argument vector: the input cut at its NUL
// bytes, the first piece being the program's path.
//
// positionals must keep arguments that do not begin with '-', in order,
// skipping none before the last it keeps, and stop only at k. Every option
// letter's count must be unchanged by the order of the arguments and by a
// positional added, grow by one with an option group of that letter, and all
// counts together must be the bytes of the option groups. The program name
// must be the text after the last '/'. shuffle's count and seed must be what
// strtol reads, to 32 bits.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "common/args.h"
#include "common/integers.h"
#include "common/prog.h"
#include "fuzz/argv.h"
#include "fuzz/check.h"
#include "shuffle/numbers.h"

namespace {

bool is_option(const char *arg)
{
	return arg[0] == '-';
}

void check_positionals(int argc, char *argv[], int k)
{
	std::unique_ptr<const char *[]> slots(new const char *[k]);
	int n = positionals(argc, argv, slots.get(), k);
	demand(n >= 0 && n <= k);
	int at = 0;  // the argument after the last kept
	for (int i = 0; i < n; i++) {
		int j = at > 0 ? at : 1;
		while (j < argc && argv[j] != slots[i]) {
			demand(is_option(argv[j]));  // none skipped
			j++;
		}
		demand(j < argc && !is_option(argv[j]));
		at = j + 1;
	}
	if (n < k)
		for (int j = std::max(at, 1); j < argc; j++)
			demand(is_option(argv[j]));
}

void check_option_counts(int argc, char *argv[])
{
	std::vector<char *> more(argv, argv + argc);
	std::reverse(more.begin() + 1, more.end());
	char positional[] = "p", group[] = "-?";
	more.push_back(positional);
	more.push_back(group);
	more.push_back(nullptr);

	size_t total = 0;
	for (int i = 1; i < argc; i++)
		if (is_option(argv[i]))
			total += strlen(argv[i]);
	size_t counted = 0;
	for (int c = 1; c <= UCHAR_MAX; c++) {
		int count = option_count(argc, argv, char(c));
		counted += count;
		group[1] = char(c);
		int with_group = option_count(argc + 2, more.data(), char(c));
		demand(with_group == count + 1 + (c == '-'));
	}
	demand(counted == total);
}

int32_t strtol32(const char *s)
{
	return int32_t(uint32_t(uint64_t(strtol(s, nullptr, 10))));
}

void check_shuffle(int argc, char *argv[])
{
	const char *count;
	if (positionals(argc, argv, &count, 1) == 1)
		demand(read_low32(count) == strtol32(count));
	int32_t seed = 0;
	for (int i = 1; i < argc; i++)
		if (const char *s = is_option(argv[i]) ? strchr(argv[i], 's') : nullptr)
			seed = strtol32(s + 1);
	demand(seed_option(argc, argv) == seed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	FuzzArgs args(data, size);
	int argc = args.argc;
	std::vector<char *> &argv = args.argv;

	setprog(argv.data());
	size_t name = strlen(program), path = strlen(argv[0]);
	demand(name <= path && program == argv[0] + path - name && !strchr(program, '/'));
	demand(name == path || program[-1] == '/');

	for (int k = 1; k <= 3; k++)
		check_positionals(argc, argv.data(), k);
	check_option_counts(argc, argv.data());
	check_shuffle(argc, argv.data());
	return 0;
}
