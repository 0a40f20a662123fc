#include "common/output/staging.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

static ssize_t append(void *cookie, const char *bytes, size_t n)
{
	Staging &s = *static_cast<Staging *>(cookie);
	if (n > SIZE_MAX - s.length || !reserve(s.buf, s.length + n)) {
		errno = ENOMEM;
		return -1;
	}
	memcpy(s.buf.data + s.length, bytes, n);
	s.length += n;
	return ssize_t(n);
}

FILE *open_staging(Staging &staging)
{
	cookie_io_functions_t io = {nullptr, append, nullptr, nullptr};
	return fopencookie(&staging, "w", io);
}
