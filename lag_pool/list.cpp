#include "lag_pool/list.h"

#include <unistd.h>

#include <climits>
#include <cstring>

Fault read_list(FILE *fp, LineReader &in, TableList &list, const char **unreadable)
{
	*unreadable = nullptr;
	while (read_line(in, fp)) {
		char *path = in.line;
		size_t len = in.len;
		if (len > 0 && path[len - 1] == '\n')
			path[--len] = '\0';
		if (access(path, R_OK) != 0) {
			*unreadable = path;
			return Fault::read;
		}
		if (list.nsub == INT_MAX)
			return Fault::format;
		if (!reserve(list.paths, list.size + len + 1))
			return Fault::memory;
		memcpy(list.paths.data + list.size, path, len + 1);
		list.size += len + 1;
		list.nsub++;
	}
	if (in.fault != Fault::none)
		return in.fault;
	return list.nsub == 0 ? Fault::format : Fault::none;
}

const char *next_path(const TableList &list, const char *path)
{
	if (!path)
		return list.nsub > 0 ? list.paths.data : nullptr;
	path += strlen(path) + 1;
	return path < list.paths.data + list.size ? path : nullptr;
}
