#include "common/args.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static bool is_option(const char *arg)
{
	return arg[0] == '-';
}

int positionals(int argc, char *const argv[], const char *slots[], int k)
{
	int found = 0;
	for (int at = 0; found < k;) {
		const char *arg = next_positional(argc, argv, at);
		if (!arg)
			break;
		slots[found++] = arg;
	}
	return found;
}

const char *next_positional(int argc, char *const argv[], int &at)
{
	while (++at < argc)
		if (!is_option(argv[at]))
			return argv[at];
	return nullptr;
}

int option_count(int argc, char *const argv[], char letter)
{
	int count = 0;
	for (int i = 1; i < argc; i++) {
		if (!is_option(argv[i]))
			continue;
		for (const char *c = argv[i]; *c; c++)
			count += *c == letter;
	}
	return count;
}

const char *next_option(int argc, char *const argv[], const char *letters, int &at)
{
	while (++at < argc)
		if (const char *letter = is_option(argv[at]) ? strpbrk(argv[at], letters) : nullptr)
			return letter;
	return nullptr;
}

const char *finite_number(const char *s, char stop, double &v)
{
	char *end;
	if (!*s || strchr(" \t\n\v\f\r", *s))
		return nullptr;
	v = strtod(s, &end);
	if (end == s || *end != stop || !std::isfinite(v))
		return nullptr;
	return end;
}

bool option_numbers(const char *text, double values[], int n)
{
	for (int i = 0; i < n && text; i++) {
		text = finite_number(text, i < n - 1 ? ',' : '\0', values[i]);
		if (text && i < n - 1)
			text++;
	}
	return text != nullptr;
}

// The first letter of an option group that breaks grammar; the group's
// value letters take all that follows them.
static StrayArgument stray_in_group(const char *group, const char *next, const Grammar &grammar)
{
	for (const char *c = group + 1; *c; c++) {
		if (strchr(grammar.flags, *c))
			continue;
		if (!strchr(grammar.valued, *c))
			return {Stray::unknown_option, *c, group};
		if (c[1])
			return {};
		return {next ? Stray::value_apart : Stray::needs_value, *c, next ? next : group};
	}
	return {};
}

StrayArgument find_stray(int argc, char *const argv[], const Grammar &grammar)
{
	int operands = 0;
	for (int i = 1; i < argc; i++) {
		if (!is_option(argv[i])) {
			if (++operands > grammar.most_operands && grammar.most_operands >= 0)
				return {Stray::extra_operand, 0, argv[i]};
			continue;
		}
		const char *next = i + 1 < argc ? argv[i + 1] : nullptr;
		if (StrayArgument stray = stray_in_group(argv[i], next, grammar); stray.kind != Stray::none)
			return stray;
	}
	if (operands < grammar.fewest_operands)
		return {Stray::missing_operand, 0, nullptr};
	return {};
}
