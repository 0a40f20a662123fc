// The argument scan shared by every program: an argument that begins with
// '-' is an option group, any other is positional. Options and positionals
// may be interleaved; there is no end-of-options marker.
#pragma once

// Stores the first k positional arguments in slots[0..k-1] and returns how
// many were found (at most k); later positionals are ignored.
int positionals(int argc, char *const argv[], const char *slots[], int k);

// The next positional argument after argv[at], with at moved to it; null
// after the last. Start with at = 0:
//   for (int at = 0; const char *path = next_positional(argc, argv, at);)
const char *next_positional(int argc, char *const argv[], int &at);

// How often letter occurs in all option groups together; each occurrence
// counts, so "-uu" counts two.
int option_count(int argc, char *const argv[], char letter);

// The next option group after argv[at] that holds one of letters, with at
// moved to it: the place of its first such letter, whose value is the rest
// of the group ("-r60" gives "r60"); null after the last. Start with at = 0.
const char *next_option(int argc, char *const argv[], const char *letters, int &at);

// A finite number at the start of s, in any form strtod reads, with no
// blank before it, that ends at the byte stop; the text after it, or null.
// Arguments and the numbers of data files are read by this one rule.
const char *finite_number(const char *s, char stop, double &v);

// Reads text as n finite numbers, in any form strtod reads, separated by
// single commas and filling it: no blank before a number, nothing after the
// last. False, with values partly set, when text is not so.
bool option_numbers(const char *text, double values[], int n);

// What one of the suite's own programs takes on its command line: letters
// that stand alone (flags), letters whose value is the rest of their group
// (valued: "-r60"), and how many operands, at least and at most (most < 0:
// no limit). The programs of the original six keep ignoring what they do
// not know, as stored scripts expect, and have no grammar.
struct Grammar {
	const char *flags;
	const char *valued;
	int fewest_operands;
	int most_operands;
};

// The first argument that breaks a grammar, and how.
enum class Stray {
	none,
	unknown_option,   // a letter the grammar does not know
	needs_value,      // a valued letter with nothing after it, last
	value_apart,      // a valued letter with nothing after it, and a next argument
	extra_operand,    // an operand past the most
	missing_operand,  // fewer operands than the fewest
};

struct StrayArgument {
	Stray kind = Stray::none;
	char letter = 0;            // the option letter, for the first three
	const char *arg = nullptr;  // the argument, or the next one for value_apart
};

// Reads the command line against grammar, left to right: the first
// argument that breaks it, or kind none.
StrayArgument find_stray(int argc, char *const argv[], const Grammar &grammar);
