#include "lag_pool/getroot.h"

static bool known_extension(const std::string &ext)
{
	return ext == ".rec" || ext == ".dat" || ext == ".txt" || ext == ".lst";
}

std::string getroot(const char *name)
{
	std::string root = name;
	for (;;) {
		size_t dot = root.rfind('.');
		if (dot == std::string::npos || !known_extension(root.substr(dot)))
			return root;
		root.resize(dot);
	}
}
