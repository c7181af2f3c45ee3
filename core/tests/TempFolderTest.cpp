// The "Korvant" scratch folder and unique names in it.
#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(TempFolderTest, TempPathsLiveInAFolderOfTheProcessWhichExitRemoves) {
    const std::string korvant = m_dir.path() + "/Korvant/";
    EXPECT_EQ(sharedTempFolder(), korvant);
    const std::string own = tempFolder();
    EXPECT_EQ(own.rfind(korvant + std::to_string(getpid()) + "-", 0), 0u) << own;
    EXPECT_FALSE(fs::exists(own)) << "created only when a scratch file is wanted";

    const std::string first = makeTempFilePath("seg.wav");
    EXPECT_EQ(first, own + "seg.wav");
    EXPECT_TRUE(fs::is_directory(own));
    writeAll(first, "data");
    EXPECT_EQ(makeTempFilePath("seg.wav"), own + "seg001.wav");

    removeTempFolder();
    EXPECT_FALSE(fs::exists(korvant));
}

TEST_F(TempFolderTest, ExitRemovesOnlyItsOwnFolderAndThoseOfEndedProcesses) {
    const std::string korvant = m_dir.path() + "/Korvant/";
    struct Case {
        std::string folder;
        bool survives;
    };
    const Case cases[] = {
        {"999999999-12", false},                       // no such process
        {std::to_string(getpid()) + "-1", false},      // this number, an earlier start
        {"notes", true},                               // not a process folder
        {std::to_string(getpid()) + "-1-copy", true},  // nor is this
    };
    for (const Case& c : cases) {
        fs::create_directories(korvant + c.folder + "/conversion-a1b2c3");
        writeAll(korvant + c.folder + "/scratch.wav", "x");
        writeAll(korvant + c.folder + "/conversion-a1b2c3/1-sentence.wav", "x");
    }
    writeAll(korvant + "loose.wav", "x");
    EXPECT_EQ(makeTempFolder(), tempFolder());
    EXPECT_EQ(fs::status(tempFolder()).permissions(), fs::perms::owner_all);
    writeAll(tempFolder() + "mine.wav", "x");

    removeTempFolder();
    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(korvant + c.folder + "/scratch.wav"), c.survives) << c.folder;
        // A crashed conversion's work folder goes with the folder around it.
        EXPECT_EQ(fs::exists(korvant + c.folder), c.survives) << c.folder;
    }
    EXPECT_TRUE(fs::exists(korvant + "loose.wav"));
    EXPECT_FALSE(fs::exists(tempFolder()));
}

TEST_F(TempFolderTest, AnotherRunningProcessKeepsItsScratchFiles) {
    // A child process that waits: its folder, named as it names it, must survive.
    int toChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(toChild[1]);
        makeTempFilePath("convert.wav");
        writeAll(tempFolder() + "convert.wav", "pcm");
        char byte;
        [[maybe_unused]] ssize_t n = read(toChild[0], &byte, 1);  // until the parent is done
        _exit(0);
    }
    close(toChild[0]);
    const std::string korvant = m_dir.path() + "/Korvant/";
    std::string childFile;
    for (int i = 0; i < 200 && childFile.empty(); ++i) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(korvant, ec)) {
            if (entry.path().filename().string().rfind(std::to_string(child) + "-", 0) == 0 &&
                fs::exists(entry.path() / "convert.wav")) {
                childFile = (entry.path() / "convert.wav").string();
            }
        }
        usleep(10000);
    }
    ASSERT_FALSE(childFile.empty());
    removeTempFolder();
    EXPECT_TRUE(fs::exists(childFile));
    close(toChild[1]);
    int status = 0;
    waitpid(child, &status, 0);
}

TEST_F(TempFolderTest, SubFoldersAreNotEntered) {
    makeTempFilePath("a");
    fs::create_directory(tempFolder() + "keep");
    writeAll(tempFolder() + "keep/inner", "x");
    writeAll(tempFolder() + "file", "x");
    removeTempFolder();
    EXPECT_FALSE(fs::exists(tempFolder() + "file"));
    EXPECT_TRUE(fs::exists(tempFolder() + "keep/inner"));
}

}  // namespace
}  // namespace pw
