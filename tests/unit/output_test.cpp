// The writer: what it reports when a stream fails.
#include "common/output/output.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// A write that failed and was followed by writes that worked (a disk full
// for a moment) still leaves the file out: the last flush succeeds, only
// the stream's error remembers.
TEST(Output, AnyFailedWriteIsAWriteError)
{
	char dir[] = "/tmp/output_test.XXXXXX";
	ASSERT_TRUE(mkdtemp(dir));
	std::string path = std::string(dir) + "/new";
	FILE *fp = open_output(path.c_str());
	ASSERT_TRUE(fp);

	int saved = dup(fileno(fp)), full = open("/dev/full", O_WRONLY);
	ASSERT_EQ(dup2(full, fileno(fp)), fileno(fp));
	std::string block(1 << 16, 'x');
	EXPECT_LT(fwrite(block.data(), 1, block.size(), fp), block.size());
	dup2(saved, fileno(fp));
	close(saved);
	close(full);
	fputs("the end\n", fp);

	EXPECT_EQ(close_output(fp), Fault::write);
	EXPECT_NE(access(path.c_str(), F_OK), 0);
	rmdir(dir);
}

}  // namespace
