// The "Korvant" scratch folder and unique names in it.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/TempFolder.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::writeAll;

class TempFolderTest : public ::testing::Test {
protected:
    TempDir m_dir;
    test::ScopedEnv m_tmp{"TMPDIR", m_dir.path().c_str()};
};

TEST_F(TempFolderTest, UniqueNamesCountWithThreeDigits) {
    std::string path = m_dir.file("name.wav");
    makeUniqueFileName(path, true);
    EXPECT_EQ(path, m_dir.file("name.wav"));
    makeUniqueFileName(path, true);
    EXPECT_EQ(path, m_dir.file("name001.wav"));
    path = m_dir.file("name.wav");
    makeUniqueFileName(path, false);
    EXPECT_EQ(path, m_dir.file("name002.wav"));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(TempFolderTest, UniqueNamesStopAfterOneThousand) {
    writeAll(m_dir.file("x"), "");
    for (int i = 1; i <= 1000; ++i) {
        char name[16];
        snprintf(name, sizeof name, "x%03d", i);
        writeAll(m_dir.file(name), "");
    }
    std::string path = m_dir.file("x");
    makeUniqueFileName(path, false);
    EXPECT_EQ(path, m_dir.file("x1000"));
}

TEST_F(TempFolderTest, TempPathsLiveInKorvantWhichExitRemoves) {
    const std::string first = makeTempFilePath("seg.wav");
    EXPECT_EQ(first, m_dir.path() + "/Korvant/seg.wav");
    EXPECT_TRUE(fs::is_directory(m_dir.path() + "/Korvant"));
    writeAll(first, "data");
    EXPECT_EQ(makeTempFilePath("seg.wav"), m_dir.path() + "/Korvant/seg001.wav");

    removeTempFolder();
    EXPECT_FALSE(fs::exists(m_dir.path() + "/Korvant"));
}

TEST_F(TempFolderTest, SubFoldersAreNotEntered) {
    makeTempFilePath("a");
    fs::create_directory(m_dir.path() + "/Korvant/keep");
    writeAll(m_dir.path() + "/Korvant/keep/inner", "x");
    writeAll(m_dir.path() + "/Korvant/file", "x");
    removeTempFolder();
    EXPECT_FALSE(fs::exists(m_dir.path() + "/Korvant/file"));
    EXPECT_TRUE(fs::exists(m_dir.path() + "/Korvant/keep/inner"));
}

}  // namespace
}  // namespace pw
