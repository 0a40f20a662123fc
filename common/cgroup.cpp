#include "common/cgroup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

static bool has_controller(const std::string &list, const char *name)
{
	size_t start = 0;
	for (;;) {
		size_t comma = list.find(',', start);
		if (list.compare(start, comma - start, name) == 0)
			return true;
		if (comma == std::string::npos)
			return false;
		start = comma + 1;
	}
}

// Adds root + path and every directory above it up to root.
static void add_path(std::vector<std::string> &dirs, const std::string &root, std::string path)
{
	for (;;) {
		struct stat st;
		std::string dir = root + path;
		if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
			dirs.push_back(dir);
		size_t slash = path.rfind('/');
		if (path.empty() || slash == std::string::npos)
			return;
		path.resize(slash);
	}
}

// Lines of /proc/self/cgroup read "id:controllers:path"; the unified (v2)
// hierarchy has id 0 and no controllers. Inside a container the path may
// name a cgroup above the one mounted; walking up finds what is there.
std::vector<std::string> cgroup_dirs(const char *v1_controller, const std::string &root)
{
	std::vector<std::string> dirs;
	FILE *fp = fopen((root + "/proc/self/cgroup").c_str(), "r");
	if (!fp)
		return dirs;
	char *line = nullptr;
	size_t cap = 0;
	ssize_t len;
	while ((len = getline(&line, &cap, fp)) > 0) {
		std::string text(line, len);
		if (text.back() == '\n')
			text.pop_back();
		size_t first = text.find(':'), second = text.find(':', first + 1);
		if (first == std::string::npos || second == std::string::npos)
			continue;
		std::string controllers = text.substr(first + 1, second - first - 1);
		std::string path = text.substr(second + 1);
		if (path == "/")
			path.clear();
		if (text.compare(0, first, "0") == 0 && controllers.empty()) {
			add_path(dirs, root + "/sys/fs/cgroup", path);
			add_path(dirs, root + "/sys/fs/cgroup/unified", path);
		} else if (has_controller(controllers, v1_controller)) {
			add_path(dirs, root + "/sys/fs/cgroup/" + v1_controller, path);
		}
	}
	free(line);
	fclose(fp);
	return dirs;
}

std::string first_line(const std::string &path)
{
	FILE *fp = fopen(path.c_str(), "r");
	if (!fp)
		return "";
	char text[128] = "";
	if (!fgets(text, sizeof text, fp))
		text[0] = '\0';
	fclose(fp);
	std::string line = text;
	if (!line.empty() && line.back() == '\n')
		line.pop_back();
	return line;
}

// A limit file's text as a number of bytes: UINT64_MAX for "max" or for
// text that is no number.
static uint64_t parse_limit(const char *text)
{
	char *end;
	errno = 0;
	unsigned long long value = strtoull(text, &end, 10);
	if (end == text || errno != 0)
		return UINT64_MAX;
	return value;
}

uint64_t cgroup_memory_limit(const std::string &root)
{
	uint64_t least = UINT64_MAX;
	for (const std::string &dir : cgroup_dirs("memory", root)) {
		for (const char *name : {"/memory.max", "/memory.limit_in_bytes"}) {
			std::string text = first_line(dir + name);
			if (!text.empty())
				least = std::min(least, parse_limit(text.c_str()));
		}
	}
	return least;
}
