// phrasewright --list: the records of learning files as lines, and the reason
// a file cannot be opened.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/CommandLine.h"
#include "app/cli/Subcommand.h"
#include "app/cli/tests/RunCommand.h"
#include "audio/tests/Id3TestTag.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using Outcome = test::CommandOutcome;

Outcome list(const std::vector<std::string>& args) {
    return test::runCapturing("--list", args);
}

TEST(ListCommand, PrintsTheCellsAndStartTimeOfEveryRecord) {
    test::TempDir dir;
    test::writeAll(dir.file("lesson.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SentenceList>"
                   "<SentenceGroup check=\"2\" trialNumber=\"4\" dictationScore=\"80.5\" "
                   "startTime=\"01:02:50\"><sentence><![CDATA[Two\tlines\r\nhere]]></sentence>"
                   "<translation><![CDATA[二行]]></translation></SentenceGroup>"
                   "<Wrapper><SentenceGroup writingScore=\"91\"><sentence>plain</sentence>"
                   "</SentenceGroup></Wrapper></SentenceList>");
    const Outcome run = list({dir.file("lesson.xml")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "  X\t4\tTwo lines  here\t二行\t80.5\t\t62500\n"
              "\t\t\t\t\t91\t-1\n");
    EXPECT_EQ(run.err, "");

    namespace id3 = test::id3;
    test::writeAll(
        dir.file("talk.mp3"),
        id3::tag(4, id3::frame(4, "SYLT", id3::syltBody(3, {{u"Hi", 0}, {u"Bye", 754321}}))) +
            id3::kAudio);
    const Outcome lyrics = list({dir.file("talk.mp3")});
    EXPECT_EQ(lyrics.status, 0) << lyrics.err;
    EXPECT_EQ(lyrics.out, "\t\tHi\t\t\t\t0\n\t\tBye\t\t\t\t754320\n");

    // Half-width katakana in Shift_JIS, whose bytes are also EUC-JP kanji.
    test::writeAll(dir.file("kana.xml"),
                   "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><SentenceList><SentenceGroup>"
                   "<sentence><![CDATA[Hello]]></sentence><translation><![CDATA["
                   "\xBA\xDD\xC6\xC1\xDC\xB0]]></translation></SentenceGroup></SentenceList>");
    const Outcome kana = list({dir.file("kana.xml")});
    EXPECT_EQ(kana.status, 0) << kana.err;
    EXPECT_EQ(kana.out, "\t\tHello\tｺﾝﾆﾁﾜｰ\t\t\t-1\n");

    // A download cut off inside the lyrics lists the lines it holds.
    const std::string whole =
        id3::tag(4, id3::frame(4, "SYLT", id3::syltBody(3, {{u"Hi", 0}, {u"Bye", 754321}})));
    test::writeAll(dir.file("cut.mp3"), whole.substr(0, whole.size() - 2));
    const Outcome cut = list({dir.file("cut.mp3")});
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_EQ(cut.out, "\t\tHi\t\t\t\t0\n");
}

TEST(ListCommand, AFileThatCannotBeOpenedSaysWhyAndExitsWithOne) {
    test::ScopedRecordingUi ui;
    test::TempDir dir;
    test::writeAll(dir.file("bad.xml"), "<SentenceList>\n  <SentenceGroup a=1/>\n</SentenceList>");
    test::writeAll(dir.file("song.mp3"), test::id3::kAudio);
    test::writeAll(dir.file("empty.xml"), "");
    struct Case {
        std::string file;
        std::vector<std::string> reasons;
    };
    const Case cases[] = {
        {"bad.xml", {"cannot open", "XMLParser line:280", "Row:2 Col:", "bad.xml"}},
        {"missing.xml", {"missing.xml does not exist"}},
        {"empty.xml", {"empty.xml is empty"}},
        {"song.mp3", {"synchronised lyrics", "does not start with an ID3v2 tag"}},
    };
    for (const Case& c : cases) {
        const Outcome run = list({dir.file(c.file)});
        EXPECT_EQ(run.status, 1) << c.file;
        EXPECT_EQ(run.out, "") << c.file;
        for (const std::string& reason : c.reasons) {
            EXPECT_NE(run.err.find(reason), std::string::npos) << c.file << ": " << run.err;
        }
        EXPECT_EQ(run.err.find('\r'), std::string::npos) << c.file;
    }
    // The reason is printed once, not also as a message box.
    EXPECT_TRUE(ui->boxes.empty());

    EXPECT_EQ(list({}).status, 2);
    EXPECT_EQ(list({"a.xml", "b.xml"}).status, 2);
}

TEST(ListCommand, ARelativeFileIsLookedForWhereTheUserIsAndTheMessageSaysWhere) {
    test::TempDir dir;
    test::writeAll(
        dir.file("here.xml"),
        "<SentenceList><SentenceGroup><sentence><![CDATA[found]]></sentence></SentenceGroup>"
        "</SentenceList>");
    const std::filesystem::path programFolder = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    rememberStartDirectory();
    std::filesystem::current_path(programFolder);  // as start-up leaves it

    const Outcome found = list({"here.xml"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "\t\tfound\t\t\t\t-1\n");
    const Outcome missing = list({"nothere.xml"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nothere.xml does not exist"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("looked for in " + dir.path() + " and in the program's folder " +
                               programFolder.string()),
              std::string::npos)
        << missing.err;
}

TEST(ListCommand, APipeIsRefusedWithinASecond) {
    using namespace std::chrono_literals;
    test::TempDir dir;
    const std::string pipe = dir.file("p.xml");
    test::makeFifo(pipe);
    Outcome run{};
    EXPECT_TRUE(test::returnsWithin(1s, pipe, [&] { run = list({pipe}); }));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pw
