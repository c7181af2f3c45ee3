// Crash-safe file replacement: the old file survives every failure.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "core/SafeFile.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using test::readAll;
using test::TempDir;
using test::writeAll;

int entriesIn(const std::string& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

TEST(SafeFile, ReplacesAndCreatesWithoutLeavingTemporaries) {
    TempDir dir;
    const auto path = dir.file("list.xml");
    ASSERT_TRUE(replaceFileContents(path, "first"));
    ASSERT_TRUE(replaceFileContents(path, "second, longer"));
    EXPECT_EQ(readAll(path), "second, longer");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(SafeFile, KeepsPermissionBits) {
    TempDir dir;
    const auto path = dir.file("a.txt");
    writeAll(path, "old");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(replaceFileContents(path, "new"));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(SafeFile, WritesThroughSymbolicLinks) {
    TempDir dir;
    const auto target = dir.file("real.txt");
    const auto link = dir.file("link.txt");
    writeAll(target, "old");
    ASSERT_EQ(symlink("real.txt", link.c_str()), 0);
    ASSERT_TRUE(replaceFileContents(link, "new"));
    EXPECT_EQ(readAll(target), "new");
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(SafeFile, RefusesReadOnlyTargetsAndLeavesThemAlone) {
    TempDir dir;
    const auto path = dir.file("ro.txt");
    writeAll(path, "precious");
    chmod(path.c_str(), 0444);
    std::string error;
    EXPECT_FALSE(replaceFileContents(path, "overwritten", &error));
    EXPECT_NE(error.find("read-only"), std::string::npos);
    EXPECT_EQ(readAll(path), "precious");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(SafeFile, FailsCleanlyInAMissingFolder) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(replaceFileContents(dir.file("no/such/x.txt"), "data", &error));
    EXPECT_FALSE(error.empty());
}

TEST(SafeFile, AbandonedWriterKeepsTheOldFile) {
    TempDir dir;
    const auto path = dir.file("b.txt");
    writeAll(path, "old");
    {
        SafeFileWriter writer(path);
        ASSERT_TRUE(writer.open());
        ASSERT_TRUE(writer.write("half of the new"));
    }
    EXPECT_EQ(readAll(path), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(SafeFile, ReadFileBytesRefusesFoldersAndMissingFiles) {
    TempDir dir;
    std::string bytes;
    EXPECT_FALSE(readFileBytes(dir.path(), bytes));
    EXPECT_FALSE(readFileBytes(dir.file("missing"), bytes));
    writeAll(dir.file("x"), std::string("a\0b", 3));
    ASSERT_TRUE(readFileBytes(dir.file("x"), bytes));
    EXPECT_EQ(bytes, std::string("a\0b", 3));
}

}  // namespace
}  // namespace pw
