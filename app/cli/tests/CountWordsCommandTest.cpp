// "phrasewright --count-words" against the learned words of a program folder.
#include "app/cli/CountWordsCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/cli/tests/RunCommand.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

class CountWords : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(m_dir.file("Dictionaries"));
        // "cat" is learned: UTF-16 with its mark, meaning TAB word.
        test::writeAll(m_dir.file("Dictionaries/Learning.txt"),
                       std::string("\xFF\xFE\t\0c\0a\0t\0\r\0\n\0", 14));
        fs::current_path(m_dir.path());
    }
    void TearDown() override { fs::current_path(m_started); }

    test::TempDir m_dir;
    fs::path m_started = fs::current_path();
};

TEST_F(CountWords, PrintsTheReportAndTheNewWordsOfStandardInputOrAFile) {
    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--count-words"}, out, err, "The cat saw the cat.\n"), 0);
    EXPECT_EQ(out.str(), "語数:\t5\n種類:\t2/3\n2\tthe\n1\tsaw\n");
    EXPECT_EQ(err.str(), "");

    // Any encoding a text file comes in: here UTF-16 with its mark.
    const std::string text = m_dir.file("text.txt");
    test::writeAll(text, std::string("\xFF\xFE"
                                     "D\0o\0n\0'\0t\0 \0g\0o\0!\0",
                                     20));
    std::ostringstream fileOut;
    EXPECT_EQ(test::runCommand({"--count-words", text}, fileOut, err), 0);
    EXPECT_EQ(fileOut.str(), "語数:\t2\n種類:\t1/2\n1\tdon't\n");

    std::ostringstream none;
    EXPECT_EQ(test::runCommand({"--count-words"}, none, err, "1 2 3"), 0);
    EXPECT_EQ(none.str(), "語数:\t0\n種類:\t0/0\n");
}

TEST_F(CountWords, AMissingFileOrMoreArgumentsAreRefused) {
    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--count-words", m_dir.file("none.txt")}, out, err), 1);
    EXPECT_NE(err.str().find("cannot read"), std::string::npos);
    EXPECT_EQ(test::runCommand({"--count-words", "a.txt", "b.txt"}, out, err), 2);
    EXPECT_EQ(out.str(), "");
    std::ostringstream usage;
    test::runCommand({"--help"}, usage, err);
    EXPECT_NE(usage.str().find("--count-words [FILE]"), std::string::npos);
}

}  // namespace
}  // namespace pw
