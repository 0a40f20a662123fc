// The name-pattern parser on any path (up to its first NUL). When it parses,
// the base name must begin with the name it gives back, split at the first
// "_to_" and the first "_t4" after it, and that name must parse to the same
// two parts wherever it stands; when it does not, the base name must lack
// the pattern.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/check.h"
#include "xfm/t4.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	std::unique_ptr<char[]> path(new char[size + 1]);
	memcpy(path.get(), data, size);
	path[size] = '\0';

	std::string whole = path.get();
	size_t slash = whole.rfind('/');
	std::string base = slash == std::string::npos ? whole : whole.substr(slash + 1);
	size_t sep = base.find("_to_");
	bool pattern = sep != std::string::npos && base.find("_t4", sep + 4) != std::string::npos;

	std::string from, to;
	bool parsed = parse_xfm_name(path.get(), from, to);
	demand(parsed == pattern);
	if (!parsed)
		return 0;

	std::string name = xfm_name(from, to);
	demand(base.compare(0, name.size(), name) == 0);
	demand(from.size() == sep);
	demand(to.find("_t4") == std::string::npos);
	demand(name.find('/') == std::string::npos);

	std::string again_from, again_to;
	demand(parse_xfm_name(name.c_str(), again_from, again_to));
	demand(again_from == from && again_to == to);
	demand(parse_xfm_name(("dir/" + name + ".bak").c_str(), again_from, again_to));
	demand(again_from == from && again_to == to);
	return 0;
}
