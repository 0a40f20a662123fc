// The writer with its file-system calls failed one at a time, as a file
// system without some of them, or one that fails in the moment, would fail
// them. The calls are wrapped at link time (--wrap, tests/CMakeLists.txt):
// a test plants the failure of a call, and a wrapper fails every later one
// until the test ends.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/budget.h"
#include "common/output/output.h"

namespace {

struct Planted {
	std::string call;
	int error;
};
std::vector<Planted> planted;
std::function<void()> before_link;  // run once, before the next linkat
bool signals_held_at_unlink;

// Whether call fails now, errno set as planted.
bool fails(const char *call)
{
	for (const Planted &p : planted)
		if (p.call == call) {
			errno = p.error;
			return true;
		}
	return false;
}

}  // namespace

extern "C" {
int __real_linkat(int, const char *, int, const char *, int);
int __real_renameat(int, const char *, int, const char *);
int __real_fallocate64(int, int, off_t, off_t);
int __real_flock(int, int);
int __real_openat64(int, const char *, int, ...);
int __real_unlinkat(int, const char *, int);
ssize_t __real_write(int, const void *, size_t);

int __wrap_linkat(int a, const char *b, int c, const char *d, int e)
{
	if (before_link)
		std::exchange(before_link, nullptr)();
	return fails("linkat") ? -1 : __real_linkat(a, b, c, d, e);
}
int __wrap_renameat(int a, const char *b, int c, const char *d)
{
	return fails("renameat") ? -1 : __real_renameat(a, b, c, d);
}
int __wrap_fallocate64(int fd, int mode, off_t off, off_t len)
{
	return fails("fallocate") ? -1 : __real_fallocate64(fd, mode, off, len);
}
int __wrap_flock(int fd, int op)
{
	return fails("flock") ? -1 : __real_flock(fd, op);
}
// Only the unnamed files of O_TMPFILE are failed.
int __wrap_openat64(int dir, const char *path, int flags, mode_t mode)
{
	if ((flags & O_TMPFILE) == O_TMPFILE && fails("O_TMPFILE"))
		return -1;
	return __real_openat64(dir, path, flags, mode);
}
ssize_t __wrap_write(int fd, const void *buf, size_t n)
{
	return fails("write") ? -1 : __real_write(fd, buf, n);
}
int __wrap_unlinkat(int dir, const char *path, int flags)
{
	sigset_t now;
	sigprocmask(SIG_BLOCK, nullptr, &now);
	signals_held_at_unlink = sigismember(&now, SIGTERM);
	return __real_unlinkat(dir, path, flags);
}
}

namespace {

struct Steps : testing::Test {
	char dir[32] = "/tmp/output_steps.XXXXXX";
	void SetUp() override
	{
		ASSERT_TRUE(mkdtemp(dir));
	}
	void TearDown() override
	{
		planted.clear();
		before_link = nullptr;
		(void)system((std::string("rm -rf ") + dir).c_str());
	}
	std::string path(const char *name) const
	{
		return std::string(dir) + "/" + name;
	}
	void put(const char *name, const std::string &text) const
	{
		FILE *fp = fopen(path(name).c_str(), "w");
		fputs(text.c_str(), fp);
		fclose(fp);
	}
	std::string text(const char *name) const
	{
		std::string all;
		if (FILE *fp = fopen(path(name).c_str(), "r")) {
			for (int c; (c = getc(fp)) != EOF;)
				all += char(c);
			fclose(fp);
		}
		return all;
	}
	ino_t inode(const char *name) const
	{
		struct stat st;
		return stat(path(name).c_str(), &st) == 0 ? st.st_ino : 0;
	}
	// The names in the directory, in no order.
	std::string names() const
	{
		std::string all;
		DIR *d = opendir(dir);
		while (struct dirent *e = readdir(d))
			if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
				all += std::string(e->d_name) + " ";
		closedir(d);
		return all;
	}
};

int open_fds()
{
	int n = 0;
	DIR *d = opendir("/proc/self/fd");
	while (readdir(d))
		n++;
	closedir(d);
	return n;
}

// Writes text to name through the writer, alone.
Fault write_output(const std::string &path, const std::string &text)
{
	FILE *fp = open_output(path.c_str());
	if (!fp)
		return Fault::write;
	fputs(text.c_str(), fp);
	return close_output(fp);
}

// A write that failed and was followed by writes that worked (a disk full
// for a moment) still leaves the file out: the last flush succeeds, only
// the stream's error remembers.
TEST_F(Steps, AnyFailedWriteIsAWriteError)
{
	FILE *fp = open_output(path("new").c_str());
	ASSERT_TRUE(fp);
	std::string block(1 << 16, 'x');
	planted = {{"write", ENOSPC}};
	EXPECT_LT(fwrite(block.data(), 1, block.size(), fp), block.size());
	planted.clear();
	fputs("the end\n", fp);
	EXPECT_EQ(close_output(fp), Fault::write);
	EXPECT_NE(access(path("new").c_str(), F_OK), 0);
}

// Where no name can be linked beside the file, or the rename over it fails
// (as on a name that something is mounted on), the file is rewritten in
// place instead: the same file, with the new bytes, and nothing beside it.
TEST_F(Steps, NoNameBesideOrNoRenameRewritesInPlace)
{
	for (const char *call : {"linkat", "renameat"}) {
		put("f", "old\n");
		ino_t was = inode("f");
		planted = {{call, call[0] == 'l' ? EPERM : EBUSY}};
		EXPECT_EQ(write_output(path("f"), "new bytes\n"), Fault::none) << call;
		planted.clear();
		EXPECT_EQ(text("f"), "new bytes\n") << call;
		EXPECT_EQ(inode("f"), was) << call;
		EXPECT_EQ(names(), "f ") << call;
	}
}

// Where blocks cannot be reserved, a content that fits is written whole,
// its part past the old end first; the file keeps its hard links.
TEST_F(Steps, NoReservedBlocksStillWritesAContentThatFits)
{
	put("f", "old\n");
	ASSERT_EQ(link(path("f").c_str(), path("g").c_str()), 0);
	std::string content(100000, 'n');
	planted = {{"fallocate", EOPNOTSUPP}};
	EXPECT_EQ(write_output(path("f"), content), Fault::none);
	EXPECT_EQ(text("g"), content);
}

// A file grown by a write ahead is cut back to its old bytes when its set
// fails after it was readied: here at the link of the set's first member,
// a new file.
TEST_F(Steps, AGrownFileOfAFailedSetIsCutBack)
{
	put("f", "old\n");
	ASSERT_EQ(link(path("f").c_str(), path("g").c_str()), 0);
	OutputSet set;
	FILE *fresh = open_output(path("new").c_str(), &set), *grown = open_output(path("f").c_str(), &set);
	ASSERT_TRUE(fresh && grown);
	fputs("new\n", fresh);
	fputs(std::string(100000, 'n').c_str(), grown);
	ASSERT_EQ(close_output(fresh), Fault::none);
	ASSERT_EQ(close_output(grown), Fault::none);
	planted = {{"fallocate", EOPNOTSUPP}, {"linkat", EIO}};
	int failed = -1;
	EXPECT_EQ(place_outputs(set, &failed), Fault::write);
	EXPECT_EQ(failed, 0);
	EXPECT_EQ(text("g"), "old\n");
	EXPECT_NE(access(path("new").c_str(), F_OK), 0);
}

// Another run takes a new member's name just before it is linked: the set
// is planned again from that member on, what was done for those after it
// (a name linked beside a file, blocks written ahead of a rewrite) undone
// first and done again. The run's bytes stand under every name, and no
// name beside a file is left.
TEST_F(Steps, ANameTakenMeanwhilePlansTheRestAgain)
{
	put("r", "old\n");
	put("f", "old\n");
	ASSERT_EQ(link(path("f").c_str(), path("g").c_str()), 0);
	OutputSet set;
	FILE *fp[3] = {open_output(path("new").c_str(), &set), open_output(path("r").c_str(), &set),
	               open_output(path("f").c_str(), &set)};
	std::string content(100000, 'n');
	for (FILE *member : fp) {
		ASSERT_TRUE(member);
		fputs(member == fp[0] ? "mine\n" : content.c_str(), member);
		ASSERT_EQ(close_output(member), Fault::none);
	}
	planted = {{"fallocate", EOPNOTSUPP}};
	before_link = [this] { put("new", "theirs\n"); };
	int failed = -1;
	EXPECT_EQ(place_outputs(set, &failed), Fault::none);
	EXPECT_EQ(text("new"), "mine\n");
	EXPECT_EQ(text("r"), content);
	EXPECT_EQ(text("g"), content);
	std::string all = names();
	EXPECT_EQ(std::count(all.begin(), all.end(), ' '), 4) << all;  // new, r, f, g
}

// A user moves another file over an existing output's name after the
// rename was chosen: the rename is not made over a name that no longer
// names the file, and the file found there now, hard-linked, is rewritten
// in place, so that its other name shows the run's bytes too.
TEST_F(Steps, AFileMovedOverTheNameBeforeTheRenameIsPlacedAgainst)
{
	put("f", "old\n");
	before_link = [this] {
		put("t", "theirs\n");
		ASSERT_EQ(link(path("t").c_str(), path("g").c_str()), 0);
		ASSERT_EQ(rename(path("t").c_str(), path("f").c_str()), 0);
	};
	EXPECT_EQ(write_output(path("f"), "mine\n"), Fault::none);
	EXPECT_EQ(text("g"), "mine\n");
	EXPECT_EQ(inode("f"), inode("g"));
}

// A FIFO that takes a new output's name just before it is linked is never
// waited for with signals held, nor written: the output fails, whether a
// reader holds the FIFO open or none does. Each run is a child of its own,
// which the test ends if it hangs.
TEST_F(Steps, AFifoThatTakesTheNameIsNeitherWaitedForNorWritten)
{
	for (bool reader : {false, true}) {
		pid_t child = fork();
		if (child == 0) {
			int fd = -1;
			before_link = [&] {
				mkfifo(path("new").c_str(), 0600);
				if (reader)
					fd = open(path("new").c_str(), O_RDONLY | O_NONBLOCK);
			};
			char byte;
			bool failed = write_output(path("new"), "mine\n") == Fault::write;
			_exit(failed && (!reader || read(fd, &byte, 1) <= 0) ? 0 : 1);
		}
		int status = -1;
		for (int tenths = 0; tenths < 50 && waitpid(child, &status, WNOHANG) == 0; tenths++)
			usleep(100000);
		if (waitpid(child, &status, WNOHANG) == 0) {
			kill(child, SIGKILL);
			waitpid(child, &status, 0);
		}
		EXPECT_EQ(status, 0) << "reader " << reader;
		unlink(path("new").c_str());
	}
}

// A new file written under its own name (no unnamed file can be made) and
// not placed is removed with signals held, so that no signal sees half of
// the removal; and only while its name still names it: a file that took the
// name meanwhile stays.
TEST_F(Steps, ANewFileNotPlacedIsRemovedOnlyWhileItIsThere)
{
	for (bool moved : {false, true}) {
		planted = {{"O_TMPFILE", EOPNOTSUPP}};
		FILE *fp = open_output(path("new").c_str());
		ASSERT_TRUE(fp);
		EXPECT_EQ(access(path("new").c_str(), F_OK), 0);
		if (moved) {
			put("other", "other\n");
			ASSERT_EQ(rename(path("other").c_str(), path("new").c_str()), 0);
		}
		(void)fgetc(fp);  // reading a stream for writing sets its error
		signals_held_at_unlink = false;
		EXPECT_EQ(close_output(fp), Fault::write);
		EXPECT_EQ(text("new"), moved ? "other\n" : "") << moved;
		EXPECT_TRUE(moved || signals_held_at_unlink);
		unlink(path("new").c_str());
	}
}

// A set whose member failed as it was closed is ended whole: every other
// member, written or not, is undone and closed.
TEST_F(Steps, ASetWithAFailedMemberEndsEveryOther)
{
	int before = open_fds();
	OutputSet set;
	FILE *bad = open_output(path("a").c_str(), &set), *good = open_output(path("b").c_str(), &set);
	ASSERT_TRUE(bad && good);
	(void)fgetc(bad);
	EXPECT_EQ(close_output(bad), Fault::write);
	EXPECT_EQ(close_output(good), Fault::none);
	int failed = -1;
	EXPECT_EQ(place_outputs(set, &failed), Fault::write);
	EXPECT_EQ(failed, 0);
	EXPECT_EQ(open_fds(), before);
	EXPECT_NE(access(path("b").c_str(), F_OK), 0);
}

// An existing empty file is replaced as any existing file is: it keeps its
// mode and its hard links.
TEST_F(Steps, AnEmptyFileKeepsItsModeAndLinks)
{
	put("f", "");
	ASSERT_EQ(chmod(path("f").c_str(), 0604), 0);
	ASSERT_EQ(link(path("f").c_str(), path("g").c_str()), 0);
	EXPECT_EQ(write_output(path("f"), "x\n"), Fault::none);
	struct stat st;
	ASSERT_EQ(stat(path("f").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 07777, 0604u);
	EXPECT_EQ(text("g"), "x\n");
}

// A file in memory (tmpfs) that a rewrite in place grows takes the growth
// from the run's memory, beside its new content that waited there.
TEST_F(Steps, GrowingAFileInMemoryTakesFromTheBudget)
{
	char shm[] = "/dev/shm/output_steps.XXXXXX";
	int fd = mkstemp(shm);
	if (fd < 0)
		GTEST_SKIP() << "no /dev/shm";
	close(fd);
	std::string link_name = std::string(shm) + ".link";
	ASSERT_EQ(link(shm, link_name.c_str()), 0);
	uint64_t before = budget_taken();
	EXPECT_EQ(write_output(shm, std::string(300000, 'n')), Fault::none);
	EXPECT_GE(budget_taken() - before, 600000u);
	unlink(shm);
	unlink(link_name.c_str());
}

}  // namespace
