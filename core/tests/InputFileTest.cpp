// Opening files for reading: FIFOs, devices and folders are refused at once.
#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "core/InputFile.h"
#include "core/SafeFile.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using namespace std::chrono_literals;

TEST(InputFile, EveryReaderRefusesAFifoWithoutWaitingForAWriter) {
    test::TempDir dir;
    const std::string fifo = dir.file("p.xml");
    test::makeFifo(fifo);
    int error = 0;
    EXPECT_TRUE(test::returnsWithin(1s, fifo, [&] {
        EXPECT_EQ(openRegularFile(fifo), -1);
        error = errno;
    }));
    EXPECT_EQ(error, EINVAL);
    EXPECT_TRUE(test::returnsWithin(1s, fifo, [&] {
        std::string bytes = "old";
        EXPECT_FALSE(readFileBytes(fifo, bytes));
        EXPECT_EQ(bytes, "");
    }));
    EXPECT_TRUE(test::returnsWithin(1s, fifo, [&] {
        InputFileStream in(fifo);
        EXPECT_FALSE(in.is_open());
        EXPECT_TRUE(in.fail());
    }));
}

TEST(InputFile, FoldersAndMissingFilesAreRefusedWithTheirReason) {
    test::TempDir dir;
    EXPECT_EQ(openRegularFile(dir.path()), -1);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(openRegularFile(dir.file("missing")), -1);
    EXPECT_EQ(errno, ENOENT);
    std::string bytes;
    EXPECT_FALSE(readFileBytes(dir.path(), bytes));
    EXPECT_FALSE(readFileBytes("/dev/null", bytes));  // a device
}

TEST(InputFile, TheStreamReadsAndSeeksLikeAFileStream) {
    test::TempDir dir;
    std::string content;
    for (int i = 0; i < 5000; ++i) {
        content += static_cast<char>('a' + i % 26);
    }
    test::writeAll(dir.file("f.bin"), content);
    InputFileStream in(dir.file("f.bin"));
    ASSERT_TRUE(in.is_open());
    in.seekg(0, std::ios::end);
    EXPECT_EQ(in.tellg(), 5000);
    in.seekg(0, std::ios::beg);
    std::string first(10, '\0');
    ASSERT_TRUE(in.read(first.data(), 10));
    EXPECT_EQ(first, content.substr(0, 10));
    // tellg after buffered reading gives the logical position, and a
    // relative seek counts from it.
    EXPECT_EQ(in.tellg(), 10);
    in.seekg(4090, std::ios::cur);
    std::string across(20, '\0');
    ASSERT_TRUE(in.read(across.data(), 20));
    EXPECT_EQ(across, content.substr(4100, 20));
    std::string rest(1000, '\0');
    EXPECT_FALSE(in.read(rest.data(), 1000));
    EXPECT_EQ(in.gcount(), 5000 - 4120);
}

}  // namespace
}  // namespace pw
