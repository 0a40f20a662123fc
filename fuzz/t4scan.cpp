// The transform reading procedure on any file contents. It must return 0 or
// -1 and nothing else; when it reads a matrix, that matrix written out as
// the tools write it must read back, unless a printed number fills its whole
// field and so runs into the one before it (which the format allows).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/check.h"
#include "xfm/t4.h"

namespace {

int scan(const char *text, size_t size, float t4[16], float &scale)
{
	static char nothing[1];
	FILE *fp = fmemopen(size ? const_cast<char *>(text) : nothing, size, "r");
	demand(fp != nullptr);
	int status = t4scan(fp, t4, scale);
	fclose(fp);
	return status;
}

// True when every number of the listing starts with a blank or a sign,
// which ends the number before it.
bool fields_apart(const float t4[16])
{
	char field[64];
	for (int k = 0; k < 16; k++) {
		snprintf(field, sizeof field, k < 12 ? "%10.6f" : "%10.4f", t4[k]);
		if (field[0] != ' ' && field[0] != '-')
			return false;
	}
	return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	// fmemopen wants a buffer it may own; an exact copy catches over-reads.
	std::vector<char> text(data, data + size);
	float t4[16], scale;
	int status = scan(text.data(), size, t4, scale);
	demand(status == 0 || status == -1);
	if (status != 0 || !fields_apart(t4))
		return 0;

	char *written = nullptr;
	size_t length = 0;
	FILE *fp = open_memstream(&written, &length);
	demand(fp != nullptr);
	fprintf(fp, "#xfm_reverse in_t4\n#$Id$\n");
	t4list(fp, t4);
	if (scale != 0)
		fprintf(fp, "scale:    %10.6f\n", scale);
	fclose(fp);
	float again[16], rescale;
	demand(scan(written, length, again, rescale) == 0);
	free(written);
	return 0;
}
