// The argument scan shared by every program: an argument that begins with
// '-' is an option group, any other is positional. Options and positionals
// may be interleaved; there is no end-of-options marker.
#pragma once

// Stores the first k positional arguments in slots[0..k-1] and returns how
// many were found (at most k); later positionals are ignored.
int positionals(int argc, char *const argv[], const char *slots[], int k);

// How often letter occurs in all option groups together; each occurrence
// counts, so "-uu" counts two.
int option_count(int argc, char *const argv[], char letter);
