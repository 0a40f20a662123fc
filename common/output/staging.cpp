#include "common/output/staging.h"

#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

static ssize_t refuse(Staging &s)
{
	s.refused = true;
	errno = ENOMEM;
	return -1;
}

static ssize_t append(void *cookie, const char *bytes, size_t n)
{
	Staging &s = *static_cast<Staging *>(cookie);
	if (s.fd >= 0) {
		if (s.counted && !budget_take_file(n))
			return refuse(s);
		for (size_t done = 0; done < n;) {
			ssize_t put = write(s.fd, bytes + done, n - done);
			if (put < 0)
				return -1;
			done += size_t(put);
		}
		return ssize_t(n);
	}
	if (n > SIZE_MAX - s.length || !reserve(s.buf, s.length + n))
		return refuse(s);
	memcpy(s.buf.data + s.length, bytes, n);
	s.length += n;
	return ssize_t(n);
}

FILE *open_staging(Staging &staging)
{
	cookie_io_functions_t io = {nullptr, append, nullptr, nullptr};
	return fopencookie(&staging, "w", io);
}

// The magic numbers are 32 bits; f_type is an int on 32-bit machines.
bool in_memory(int fd)
{
	struct statfs fs;
	if (fstatfs(fd, &fs) != 0)
		return false;
	uint32_t type = uint32_t(fs.f_type);
	return type == uint32_t(TMPFS_MAGIC) || type == uint32_t(RAMFS_MAGIC);
}
