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

// Reads text as n finite numbers, in any form strtod reads, separated by
// single commas and filling it: no blank before a number, nothing after the
// last. False, with values partly set, when text is not so.
bool option_numbers(const char *text, double values[], int n);
