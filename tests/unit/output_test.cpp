// The writer: what it reports when a stream fails, how it waits for a
// named pipe, and the steps of a rewrite in place where the kernel is
// unusual (a file system that cannot reserve blocks).
#include "common/output/output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

#include "common/output/steps.h"

namespace {

struct TempDir {
	char path[32] = "/tmp/output_test.XXXXXX";
	TempDir()
	{
		mkdtemp(path);
	}
	~TempDir()
	{
		(void)system((std::string("rm -rf ") + path).c_str());
	}
	std::string operator/(const char *name) const
	{
		return std::string(path) + "/" + name;
	}
};

// Writes bytes to path through the writer, on a thread of its own.
static std::future<Fault> write_later(const std::string &path, size_t bytes)
{
	return std::async(std::launch::async, [path, bytes] {
		FILE *fp = open_output(path.c_str());
		if (!fp)
			return Fault::write;
		std::string text(bytes, 'x');
		fwrite(text.data(), 1, text.size(), fp);
		return close_output(fp);
	});
}

static size_t drain(int fd)
{
	fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
	char buf[4096];
	size_t total = 0;
	for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
		total += size_t(n);
	return total;
}

// A named pipe is written as it is: an output opened before its reader
// comes waits for it, and one whose reader is slow waits for that reader
// past the 64 KiB a pipe holds. A writer that fails instead ends within
// the time that the test gives it.
TEST(Output, NamedPipeWaitsForItsReader)
{
	const auto a_while = std::chrono::milliseconds(200);
	TempDir dir;
	std::string path = dir / "pipe";
	ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);

	std::future<Fault> early = write_later(path, 100);
	EXPECT_EQ(early.wait_for(a_while), std::future_status::timeout);
	int reader = open(path.c_str(), O_RDONLY);
	EXPECT_EQ(drain(reader), 100u);
	EXPECT_EQ(early.get(), Fault::none);
	close(reader);

	reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
	std::future<Fault> slow = write_later(path, 200000);
	EXPECT_EQ(slow.wait_for(a_while), std::future_status::timeout);
	EXPECT_EQ(drain(reader), 200000u);
	EXPECT_EQ(slow.get(), Fault::none);
	close(reader);
}

// The steps of a rewrite in place honour the file-size limit to the byte,
// and where the file system cannot reserve blocks, a write ahead that
// fails (here at that limit) leaves the file at its old size.
TEST(Output, RewriteInPlaceStepsKeepTheOldFile)
{
	TempDir dir;
	std::string path = dir / "old";
	int target = open(path.c_str(), O_RDWR | O_CREAT, 0600);
	ASSERT_GE(target, 0);
	std::string old(10000, 'o'), content(100000, 'n');
	ASSERT_EQ(write(target, old.data(), old.size()), ssize_t(old.size()));

	struct rlimit was, limit;
	getrlimit(RLIMIT_FSIZE, &was);
	limit = {50000, was.rlim_max};
	void (*xfsz)(int) = signal(SIGXFSZ, SIG_IGN);
	setrlimit(RLIMIT_FSIZE, &limit);
	EXPECT_TRUE(within_size_limit(50000));
	EXPECT_FALSE(within_size_limit(50001));
	EXPECT_FALSE(write_ahead(target, {-1, content.data(), content.size()}, off_t(old.size()),
	                         off_t(content.size())));
	setrlimit(RLIMIT_FSIZE, &was);
	signal(SIGXFSZ, xfsz);

	struct stat st;
	ASSERT_EQ(fstat(target, &st), 0);
	EXPECT_EQ(st.st_size, off_t(old.size()));
	close(target);
}

}  // namespace
