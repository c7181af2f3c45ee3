// phrasewright --export: its arguments, and whole exports through the same
// conversion as the dialog.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/ExportCommand.h"
#include "app/cli/tests/RunCommand.h"
#include "audio/SyltTagReader.h"
#include "core/testsupport/TestFiles.h"
#include "export/tests/ExportTestSupport.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

using Outcome = test::CommandOutcome;

// Runs in the program's folder, where Resources/Lyrics.xml is, as the
// program itself does.
Outcome exportWith(const std::vector<std::string>& args) {
    const fs::path before = fs::current_path();
    fs::current_path(test::runtimeDir());
    Outcome outcome = test::runCapturing("--export", args);
    fs::current_path(before);
    return outcome;
}

TEST(ExportArguments, WhatTheyMean) {
    std::string error;
    auto parsed = parseExportArguments({"a.xml", "--out", "o", "--rows", "3-7", "--spell",
                                        "--interval", "250", "--lyrics", "SYLT", "--jobs", "3"},
                                       error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->file, "a.xml");
    EXPECT_EQ(parsed->outputFolder, "o");
    EXPECT_EQ(parsed->firstRow, 3);
    EXPECT_EQ(parsed->lastRow, 7);
    EXPECT_TRUE(parsed->spell);
    EXPECT_EQ(parsed->intervalMs, 250);
    EXPECT_EQ(parsed->lyrics, "SYLT");
    EXPECT_EQ(parsed->jobs, 3);

    parsed = parseExportArguments({"--out", "o", "a.xml", "--rows", "4-"}, error);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->firstRow, 4);
    EXPECT_EQ(parsed->lastRow, 0);
    EXPECT_EQ(parsed->intervalMs, 1000);
    EXPECT_FALSE(parsed->spell);
    EXPECT_TRUE(parsed->lyrics.empty());
}

TEST(ExportArguments, NonsenseIsRefusedWithTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"a.xml"},
        {"--out", "o"},
        {"a.xml", "--out"},
        {"a.xml", "--out", "o", "--rows", "7-3"},
        {"a.xml", "--out", "o", "--rows", "0-3"},
        {"a.xml", "--out", "o", "--rows", "x"},
        {"a.xml", "--out", "o", "--interval", "10001"},
        {"a.xml", "--out", "o", "--interval", "-5"},
        {"a.xml", "--out", "o", "--jobs", "0"},
        {"a.xml", "--out", "o", "--fast"},
        {"a.xml", "b.xml", "--out", "o"},
    };
    for (const auto& args : cases) {
        const Outcome run = exportWith(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("Usage: phrasewright --export"), std::string::npos);
    }
}

class ExportRun : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeLearningFile(
            m_in.file("lesson.xml"),
            {{"First one.", "一つ目", ""}, {"Second one.", "二つ目", ""}, {"Third one.", "", ""}});
    }
    test::TempDir m_in;
    test::TempDir m_out;
};

TEST_F(ExportRun, ConvertsTheRowsAskedForAndSaysHowEachWent) {
    const std::string out = m_out.file("new/folder");
    const Outcome run = exportWith({m_in.file("lesson.xml"), "--out", out, "--rows", "2-3",
                                    "--lyrics", "SYLT", "--interval", "300", "--jobs", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("[1/2] 1 lesson.mp3: Complete\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[2/2] 2 lesson.mp3: Complete\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2 of 2 sentences converted, 0 skipped, 0 failed"), std::string::npos);
    LyricsInfo lyrics;
    ASSERT_NO_THROW(readSyltTag(out + "/1 lesson.mp3", lyrics));
    EXPECT_EQ(lyrics.texts, (std::vector<std::u16string>{u"二つ目", u"Second one."}));
    ASSERT_NO_THROW(readSyltTag(out + "/2 lesson.mp3", lyrics));
    EXPECT_EQ(lyrics.texts, std::vector<std::u16string>{u"Third one."});

    // Again: the files are there already.
    const Outcome again = exportWith({m_in.file("lesson.xml"), "--out", out, "--rows", "2-3"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("1 lesson.mp3: pathname already exists."), std::string::npos);
    EXPECT_NE(again.out.find("0 of 2 sentences converted, 2 skipped, 0 failed"), std::string::npos);
}

TEST_F(ExportRun, ProblemsGiveAReasonAndAStatus) {
    Outcome run =
        exportWith({m_in.file("lesson.xml"), "--out", m_out.path(), "--lyrics", "Karaoke"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no lyrics format \"Karaoke\""), std::string::npos);
    EXPECT_NE(run.err.find("SYLT tag (ID3v2.3) (SYLT)"), std::string::npos) << run.err;

    run = exportWith({m_in.file("lesson.xml"), "--out", m_out.path(), "--rows", "2-9"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("has 3 sentences"), std::string::npos);

    run = exportWith({m_in.file("missing.xml"), "--out", m_out.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot open"), std::string::npos);
    run = exportWith({"not-here.xml", "--out", m_out.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("It was looked for in the program's folder /"), std::string::npos)
        << run.err;

    test::writeAll(m_out.file("a file"), "");
    run = exportWith({m_in.file("lesson.xml"), "--out", m_out.file("a file")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot make the folder"), std::string::npos);
}

TEST_F(ExportRun, AFailedSentenceMakesTheStatusNonZero) {
    // An encoder that fails every file comes first on the PATH.
    test::TempDir bin;
    test::writeAll(bin.file("lame"), "#!/bin/sh\nexit 3\n");
    fs::permissions(bin.file("lame"), fs::perms::owner_all);
    const std::string path = bin.path() + ":" + std::getenv("PATH");
    test::ScopedEnv env("PATH", path.c_str());
    const Outcome run = exportWith({m_in.file("lesson.xml"), "--out", m_out.path(), "--jobs", "1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("1 lesson.mp3: Failed wav to MP3"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("1 lesson: Failed wav to MP3"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pw
