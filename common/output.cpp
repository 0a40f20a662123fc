#include "common/output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/prog.h"

// A regular file is written under a temporary name in its own directory and
// renamed over the target only once every byte is written and closed, so a
// failed run never leaves a half-written file where a good one stood (think
// of inverting a transform file in place on a full disk).
struct Pending {
	FILE *fp;
	std::string temp;    // the temporary file
	std::string target;  // the path it replaces, symbolic links resolved
};

static std::vector<Pending> pending;

// While a temporary file exists, a signal that would end the run (a reader
// of standard output gone, an interrupt) waits until the file is renamed or
// removed, and then ends it as it would have.
static sigset_t unheld;

static void hold_signals()
{
	if (!pending.empty())
		return;
	sigset_t held;
	sigemptyset(&held);
	sigaddset(&held, SIGHUP);
	sigaddset(&held, SIGINT);
	sigaddset(&held, SIGPIPE);
	sigaddset(&held, SIGTERM);
	sigprocmask(SIG_BLOCK, &held, &unheld);
}

static void release_signals()
{
	if (pending.empty())
		sigprocmask(SIG_SETMASK, &unheld, nullptr);
}

static std::string directory_of(const std::string &path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr(0, slash);
}

static std::string base_of(const std::string &path)
{
	size_t slash = path.rfind('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path that a rename must replace: a symbolic link is followed to the
// file it names, so the link itself stays. False for a link that names
// nothing yet: that one is written through directly.
static bool resolve(const char *path, std::string &target)
{
	struct stat st;
	target = path;
	if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode))
		return true;
	char *real = realpath(path, nullptr);
	if (!real)
		return false;
	target = real;
	free(real);
	return true;
}

// ".NAME.XXXXXX" beside the target. NAME is the target's base name, cut
// where needed so that the temporary name fits wherever the target's does:
// a name near the length limit must not lose the safe way of writing.
static std::string temporary_name(const std::string &target)
{
	std::string dir = directory_of(target), base = base_of(target);
	size_t keep = std::min(base.size(), NAME_MAX - strlen("..XXXXXX"));
	size_t room = PATH_MAX - 1 - strlen("/..XXXXXX");
	if (dir.size() + keep > room)
		keep = dir.size() < room ? room - dir.size() : 0;
	return dir + "/." + base.substr(0, keep) + ".XXXXXX";
}

static mode_t creation_mode()
{
	mode_t mask = umask(0);
	umask(mask);
	return 0666 & ~mask;
}

// Opens a temporary file beside target with the permission bits the target
// has, or would get if fopen created it. Returns -1 when it cannot.
static int open_temporary(const std::string &target, const struct stat *st, std::string &temp)
{
	temp = temporary_name(target);
	int fd = mkstemp(temp.data());
	if (fd == -1)
		return -1;
	mode_t mode = st ? st->st_mode & 07777 : creation_mode();
	if (st && geteuid() == 0)
		(void)fchown(fd, st->st_uid, st->st_gid);
	if (fchmod(fd, mode) == -1) {
		close(fd);
		unlink(temp.c_str());
		return -1;
	}
	return fd;
}

FILE *open_output(const char *path)
{
	// Devices, pipes and the like are written directly; a directory, like
	// the empty path, fails here as it always has.
	struct stat st;
	bool exists = stat(path, &st) == 0;
	if (!*path || (exists && !S_ISREG(st.st_mode)))
		return fopen(path, "w");

	Pending out{nullptr, "", ""};
	if (!resolve(path, out.target))
		return fopen(path, "w");
	// A file that may not be written is not replaced either: fopen says why.
	if (exists && access(out.target.c_str(), W_OK) != 0)
		return fopen(path, "w");
	hold_signals();
	int fd = open_temporary(out.target, exists ? &st : nullptr, out.temp);
	if (fd == -1) {
		release_signals();
		return fopen(path, "w");  // no temporary allowed here: write in place
	}
	out.fp = fdopen(fd, "w");
	if (!out.fp) {
		close(fd);
		unlink(out.temp.c_str());
		release_signals();
		return nullptr;
	}
	pending.push_back(out);
	return out.fp;
}

bool close_output(FILE *fp)
{
	size_t i = 0;
	while (i < pending.size() && pending[i].fp != fp)
		i++;
	bool failed = ferror(fp);
	failed |= fclose(fp) != 0;
	if (i == pending.size())
		return !failed;

	Pending out = pending[i];
	pending.erase(pending.begin() + i);
	bool replaced = !failed && rename(out.temp.c_str(), out.target.c_str()) == 0;
	if (!replaced)
		unlink(out.temp.c_str());
	release_signals();
	return replaced;
}

std::string one_line(const char *text)
{
	std::string line;
	for (const char *c = text; *c; c++) {
		if (*c == '\n')
			line += "\\n";
		else if (*c == '\r')
			line += "\\r";
		else
			line += *c;
	}
	return line;
}

void write_command_line(FILE *fp)
{
	fprintf(fp, "#%s", one_line(program).c_str());
	for (char *const *arg = arguments; *arg; arg++)
		fprintf(fp, " %s", one_line(*arg).c_str());
	fprintf(fp, "\n#%s\n", rcsid);
}
