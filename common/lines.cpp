#include "common/lines.h"

#include <algorithm>
#include <climits>
#include <cstring>

// Larger than a table line of a few hundred regions.
static const size_t block_size = 1 << 17;

static bool fail(LineReader &in, Fault fault)
{
	in.fault = fault;
	return false;
}

bool ready_lines(LineReader &in)
{
	return reserve(in.block, block_size) && reserve(in.buf, in.first_size);
}

bool buffer_lines(LineReader &in, FILE *fp)
{
	if (!reserve(in.block, block_size))
		return fail(in, Fault::memory);
	setvbuf(fp, in.block.data, _IOFBF, block_size);
	return true;
}

// The block is taken before the file is opened, so that a run without the
// memory for it opens nothing; buffer_lines then finds it held.
FILE *open_lines(LineReader &in, const char *path)
{
	if (!reserve(in.block, block_size)) {
		fail(in, Fault::memory);
		return nullptr;
	}
	FILE *fp = fopen(path, "r");
	if (!fp)
		fail(in, Fault::read);
	else
		buffer_lines(in, fp);
	return fp;
}

// fgets reads the stream's own buffer up to the newline and no further. It
// does not say how many bytes it stored, so a chunk's last byte is set
// beforehand: fgets makes it the terminator only when it filled the chunk.
bool read_line(LineReader &in, FILE *fp)
{
	in.fault = Fault::none;
	size_t used = 0;  // bytes of the line stored before the current chunk
	for (;;) {
		if (in.buf.cap - used < 2 && !reserve(in.buf, std::max(in.first_size, used + 2)))
			return fail(in, Fault::memory);
		char *chunk = in.buf.data + used;
		int room = static_cast<int>(std::min<size_t>(in.buf.cap - used, INT_MAX));
		chunk[room - 1] = 1;  // anything but a NUL
		if (!fgets(chunk, room, fp)) {
			if (ferror(fp))
				return fail(in, Fault::read);
			if (used == 0)
				return false;
			*chunk = '\0';  // a last line without a newline
			break;
		}
		if (chunk[room - 1] != '\0' || chunk[room - 2] == '\n')
			break;
		used += room - 1;
	}
	in.line = in.buf.data;
	in.len = strlen(in.line);
	return true;
}
