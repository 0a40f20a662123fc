// The root that the result files are named after.
#pragma once

#include <string>

// The list file's name without its known extensions (".rec", ".dat", ".txt",
// ".lst"), stripped one after another from the end. The directory part
// stays, so the results land beside the list.
std::string getroot(const char *name);
