// The seed on shuffle's command line.
#pragma once

// The text after the first 's' of the last option group that holds one; 0
// without such a group.
int seed_option(int argc, char *const argv[]);
