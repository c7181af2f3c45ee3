// The open list: opening XML files and MP3 lyrics, results written into the
// document and saved, companion audio, and what listeners are told.
#include <filesystem>

#include <gtest/gtest.h>

#include "audio/tests/Id3TestTag.h"
#include "content/SentenceListModel.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

namespace id3 = test::id3;
using namespace std::string_literals;
using test::ScopedRecordingUi;
using test::TempDir;

std::string fixture(const std::string& name) {
    return test::sourceDir() + "/content/tests/fixtures/" + name;
}

// An MP3 file whose ID3v2.3 tag holds the given lyrics.
void writeLyricsMp3(const std::string& path, const std::vector<id3::Entry>& entries) {
    test::writeAll(path,
                   id3::tag(3, id3::frame(3, "SYLT", id3::syltBody(1, entries))) + id3::kAudio);
}

std::vector<std::u16string> row(SentenceListModel& list, int i) {
    std::vector<std::u16string> cells;
    for (int column = 0; column < SentenceListModel::kColumnCount; ++column) {
        cells.push_back(list.cellText(i, column));
    }
    return cells;
}

class RecordingListener : public SentenceListListener {
public:
    void recordsReset() override { events.push_back(-1); }
    void recordChanged(int index) override { events.push_back(index); }
    std::vector<int> events;
};

TEST(SentenceListModel, RecordsAnywhereInDocumentOrder) {
    SentenceListModel list;
    ASSERT_TRUE(list.open(fixture("wrapped.xml")));
    EXPECT_TRUE(list.openError().empty());
    ASSERT_EQ(list.recordCount(), 3);
    using Row = std::vector<std::u16string>;
    EXPECT_EQ(row(list, 0),
              (Row{u"XX", u"250", u"Where is the gate?", u"ゲートはどこですか？", u"87.5", u""}));
    EXPECT_EQ(row(list, 1),
              (Row{u"  X", u"7", u"", u"プレーンテキストは読まれません。", u"", u""}));
    EXPECT_EQ(row(list, 2),
              (Row{u"", u"100", u"Found deep inside. Joined.", u"", u"abc", u" 92.25"}));
    EXPECT_EQ(list.getDescription(), u"Phrases for the <b>airport</b>.");
    EXPECT_EQ(list.text(0, TextKind::Explanation), u"<i>gate</i>: 搭乗口");
    EXPECT_EQ(list.getScore(0, false), 87.5);
    EXPECT_EQ(list.getScore(2, false), 0);
    EXPECT_EQ(list.getScore(2, true), 92.25);
    EXPECT_EQ(list.startTime(0), 1500);
    EXPECT_EQ(list.startTime(1), 62500);
    EXPECT_EQ(list.endTime(1), -1);  // "1:05" has two fields
    EXPECT_EQ(list.startTime(2), -1);

    // An index out of range changes and returns nothing.
    for (int bad : {-1, 3, 1000}) {
        list.incrementTrial(bad);
        list.setCheck(bad, 0, true);
        list.setScore(bad, u"1", true);
        list.setRecordText(bad, TextKind::Sentence, u"x");
        EXPECT_EQ(list.text(bad, TextKind::Sentence), u"");
        EXPECT_EQ(list.textNode(bad, TextKind::Sentence), nullptr);
        EXPECT_EQ(list.getScore(bad, true), 0);
        EXPECT_EQ(list.startTime(bad), -1);
        EXPECT_EQ(list.cellText(bad, 0), u"");
        int start = 5, end = 5;
        std::string path;
        EXPECT_FALSE(list.audioSegment(bad, start, end));
        EXPECT_FALSE(list.audioSource(bad, path, start, end));
    }
    EXPECT_EQ(list.cellText(0, SentenceListModel::kColumnCount), u"");
}

TEST(SentenceListModel, ResultsAreWrittenAndSavedWithoutObsoleteAttributes) {
    TempDir dir;
    const std::string path = dir.file("lesson.xml");
    std::filesystem::copy_file(fixture("wrapped.xml"), path);
    SentenceListModel list;
    RecordingListener listener;
    list.addListener(&listener);
    ASSERT_TRUE(list.open(path));
    EXPECT_EQ(listener.events, std::vector<int>{-1});

    list.incrementTrial(0);  // 250 -> 101
    list.incrementTrial(1);  // 7 -> 8
    list.incrementTrial(2);  // 100 -> 101
    list.setCheck(0, 1, false);
    list.setScore(1, u"75.5", false);
    list.setScore(1, u"80", true);
    list.setRecordText(2, TextKind::Translation, u"深い");
    list.setRecordText(2, TextKind::Explanation, u"no cell shows this");
    list.setDescription(u"Updated");
    EXPECT_EQ(listener.events, (std::vector<int>{-1, 0, 1, 2, 0, 1, 1, 2}));
    EXPECT_EQ(row(list, 0)[0], u"X  ");
    EXPECT_EQ(row(list, 0)[1], u"101");
    EXPECT_EQ(row(list, 1)[1], u"8");
    EXPECT_EQ(row(list, 2)[1], u"101");

    std::string error;
    ASSERT_TRUE(list.save(&error)) << error;
    const std::string saved = test::readAll(path);
    EXPECT_EQ(saved.find("dictationPoint"), std::string::npos);
    EXPECT_EQ(saved.find("writingPoint"), std::string::npos);
    EXPECT_TRUE(saved.starts_with("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    // The plain-text sentence gained an empty CDATA section, the third record
    // its translation.
    const size_t plain = saved.find("Plain text is not read.");
    ASSERT_NE(plain, std::string::npos);
    EXPECT_LT(saved.find("<![CDATA[]]>", plain), saved.find("</sentence>", plain));
    EXPECT_NE(saved.find("<![CDATA[深い]]>"), std::string::npos);

    SentenceListModel again;
    ASSERT_TRUE(again.open(path));
    EXPECT_EQ(row(again, 0), row(list, 0));
    EXPECT_EQ(row(again, 1),
              (std::vector<std::u16string>{u"  X", u"8", u"", u"プレーンテキストは読まれません。",
                                           u"75.5", u"80"}));
    EXPECT_EQ(again.check(0), 1);
    EXPECT_EQ(again.getDescription(), u"Updated");
    EXPECT_EQ(again.text(2, TextKind::Explanation), u"no cell shows this");
    list.removeListener(&listener);
}

TEST(SentenceListModel, AFailedOpenKeepsTheListAndSaysWhy) {
    ScopedRecordingUi ui;
    TempDir dir;
    test::writeAll(dir.file("broken.xml"), "<SentenceList><SentenceGroup></SentenceList>");
    test::writeAll(dir.file("nothing.xml"), "just text");
    writeLyricsMp3(dir.file("talk.mp3"), {{u"Hello", 0}});
    test::writeAll(dir.file("talk.xml"), "<SentenceList><oops</SentenceList>");
    test::writeAll(dir.file("silent.mp3"), id3::kAudio);
    test::writeAll(dir.file("blank.xml"), "");
    std::filesystem::create_directory(dir.file("folder.xml"));

    SentenceListModel list;
    ASSERT_TRUE(list.open(fixture("empty.xml")));
    EXPECT_EQ(list.recordCount(), 0);
    const std::u16string description = list.getDescription();
    EXPECT_NE(description.find(u"<b>yet</b>"), std::u16string::npos);
    struct Case {
        std::string name;
        std::u16string reason;  // part of openError()
        size_t boxes;           // parse-error boxes shown
    };
    const Case cases[] = {
        {"broken.xml", u"XMLParser line:516", 1},
        {"nothing.xml", u"holds no XML element", 0},
        {"missing.xml", u"missing.xml does not exist", 0},
        {"notes.txt", u"notes.xml does not exist", 0},
        {"blank.xml", u"blank.xml is empty", 0},
        {"folder.xml", u"folder.xml cannot be opened: it is not a regular file", 0},
        // talk.xml is the learner's file: its lyrics must not replace it.
        {"talk.mp3", u"XMLParser line:", 1},
        {"silent.mp3", u"The file does not start with an ID3v2 tag.", 0},
        {"absent.mp3", u"the file cannot be opened", 0},
    };
    for (const Case& c : cases) {
        ui->boxes.clear();
        EXPECT_FALSE(list.open(dir.file(c.name))) << c.name;
        EXPECT_NE(list.openError().find(c.reason), std::u16string::npos)
            << c.name << ": " << std::string(list.openError().begin(), list.openError().end());
        EXPECT_EQ(ui->boxes.size(), c.boxes) << c.name;
        EXPECT_EQ(list.getDescription(), description) << c.name;
        EXPECT_EQ(list.path(), fixture("empty.xml")) << c.name;
    }
    EXPECT_FALSE(list.loadFromMp3(dir.file("broken.xml")));
    EXPECT_NE(list.openError().find(u"is not an MP3 file"), std::u16string::npos);
}

TEST(SentenceListModel, APipeIsRefusedAtOnceWhetherXmlOrMp3) {
    using namespace std::chrono_literals;
    TempDir dir;
    test::makeFifo(dir.file("pipe.xml"));
    test::makeFifo(dir.file("song.mp3"));
    SentenceListModel list;
    EXPECT_TRUE(test::returnsWithin(1s, dir.file("pipe.xml"),
                                    [&] { EXPECT_FALSE(list.open(dir.file("pipe.xml"))); }));
    EXPECT_NE(list.openError().find(u"not a regular file"), std::u16string::npos);
    EXPECT_TRUE(test::returnsWithin(1s, dir.file("song.mp3"),
                                    [&] { EXPECT_FALSE(list.open(dir.file("song.mp3"))); }));
    EXPECT_NE(list.openError().find(u"the file cannot be opened"), std::u16string::npos);
}

TEST(SentenceListModel, AnMp3OpensThroughItsXmlFileFirst) {
    TempDir dir;
    writeLyricsMp3(dir.file("talk.mp3"), {{u"From the lyrics", 0}});
    test::writeAll(dir.file("talk.xml"),
                   "<SentenceList><SentenceGroup><sentence><![CDATA[From the XML]]></sentence>"
                   "</SentenceGroup></SentenceList>");
    SentenceListModel list;
    ASSERT_TRUE(list.open(dir.file("talk.mp3")));
    EXPECT_EQ(list.text(0, TextKind::Sentence), u"From the XML");
    EXPECT_FALSE(list.isFromLyrics());
    EXPECT_EQ(list.path(), dir.file("talk.xml"));

    // A name ending in ".XML" opens that very file.
    std::filesystem::rename(dir.file("talk.xml"), dir.file("Upper.XML"));
    ASSERT_TRUE(list.open(dir.file("Upper.XML")));
    EXPECT_EQ(list.path(), dir.file("Upper.XML"));
}

TEST(SentenceListModel, AnMp3WithoutXmlOpensFromItsLyricsAndSavesBesideIt) {
    TempDir dir;
    writeLyricsMp3(dir.file("talk.mp3"),
                   {{u"First line", 0}, {u"Second line", 1500}, {u"第三", 754321}});
    SentenceListModel list;
    RecordingListener listener;
    list.addListener(&listener);
    ASSERT_TRUE(list.open(dir.file("talk.mp3")));
    EXPECT_EQ(listener.events, std::vector<int>{-1});
    EXPECT_TRUE(list.isFromLyrics());
    EXPECT_EQ(list.path(), dir.file("talk.xml"));
    ASSERT_EQ(list.recordCount(), 3);
    EXPECT_EQ(row(list, 2), (std::vector<std::u16string>{u"", u"", u"第三", u"", u"", u""}));
    EXPECT_EQ(list.record(2)->getAttribute(u"startTime"), u"12:34:32");
    EXPECT_EQ(list.startTime(2), 754320);

    // Each line plays from its time to the next; the last to the end of the file.
    const std::tuple<int, int, int, bool> segments[] = {
        {0, 0, 1500, true}, {1, 1500, 754320, true}, {2, 754320, -1, true}};
    for (const auto& [i, start, end, found] : segments) {
        std::string path;
        int s = 0, e = 0;
        EXPECT_EQ(list.audioSource(i, path, s, e), found) << i;
        EXPECT_EQ(path, dir.file("talk.mp3")) << i;
        EXPECT_EQ(s, start) << i;
        EXPECT_EQ(e, end) << i;
    }

    list.incrementTrial(1);
    ASSERT_TRUE(list.save());
    EXPECT_FALSE(list.isFromLyrics());
    // Never read a declaration, so the list is saved as UTF-16.
    EXPECT_TRUE(test::readAll(dir.file("talk.xml")).starts_with("\xFF\xFE<\0?\0x\0m\0l\0"s));
    SentenceListModel again;
    ASSERT_TRUE(again.open(dir.file("talk.mp3")));
    EXPECT_FALSE(again.isFromLyrics());
    EXPECT_EQ(again.text(1, TextKind::Sentence), u"Second line");
    EXPECT_EQ(again.cellText(1, SentenceListModel::kTrialColumn), u"1");
    list.removeListener(&listener);
}

TEST(SentenceListModel, AudioSegments) {
    ScopedRecordingUi ui;
    SentenceListModel list;
    ASSERT_TRUE(list.document().parseString(
        u"<L><SentenceGroup startTime='00:01:00' endTime='00:02:00'/>"  // 0: own end
        u"<SentenceGroup startTime='00:03:00'/>"                        // 1: next start
        u"<SentenceGroup startTime='00:00:00'/>"                        // 2: 0 from the third on
        u"<SentenceGroup startTime='00:05:00' endTime='00:04:00'/>"     // 3: end before start
        u"<SentenceGroup/>"                                             // 4: no start
        u"<SentenceGroup startTime='00:06:00' endTime='bad'/>"          // 5: next has none
        u"<SentenceGroup/></L>"));
    ASSERT_TRUE(list.refresh());
    const std::tuple<int, int, int, bool> cases[] = {
        {0, 1000, 2000, true},  {1, 3000, 0, false},  {2, 0, 0, false},
        {3, 5000, 4000, false}, {4, -1, 6000, false}, {5, 6000, -1, true},
    };
    for (const auto& [i, start, end, found] : cases) {
        int s = 7, e = 7;
        EXPECT_EQ(list.audioSegment(i, s, e), found) << i;
        EXPECT_EQ(s, start) << i;
        EXPECT_EQ(e, end) << i;
    }
}

TEST(SentenceListModel, VoiceFilesAndCompanionAudio) {
    TempDir dir;
    const std::string lesson = dir.file("lesson.xml");
    const std::string voice = dir.file("one.wav");
    test::writeAll(voice, "RIFF");
    const std::string source = "<L><SentenceGroup voice='" + voice +
                               "' startTime='00:01:00'/>"
                               "<SentenceGroup startTime='00:02:00'><sentence voice='" +
                               voice +
                               "'/></SentenceGroup>"
                               "<SentenceGroup voice='" +
                               dir.file("gone.wav") + "' startTime='00:03:00'/></L>";
    test::writeAll(lesson, source);
    SentenceListModel list;
    ASSERT_TRUE(list.open(lesson));

    std::string path;
    int start = 0, end = 0;
    for (int i : {0, 1}) {
        ASSERT_TRUE(list.audioSource(i, path, start, end)) << i;
        EXPECT_EQ(path, voice);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, -1);
    }
    // A missing voice file falls back on the companion audio, found as
    // .mp3, then .ogg, then .wma.
    EXPECT_FALSE(list.audioSource(2, path, start, end));
    for (const char* extension : {".wma", ".ogg", ".mp3"}) {
        test::writeAll(dir.file("lesson") + extension, "audio");
        path.clear();
        ASSERT_TRUE(list.audioSource(2, path, start, end)) << extension;
        EXPECT_EQ(path, dir.file("lesson") + extension);
        EXPECT_EQ(start, 3000);
        EXPECT_EQ(end, -1);
    }
}

TEST(SentenceListModel, WordModeSwitchesTheRecordsOfTheSameDocument) {
    SentenceListModel list;
    ASSERT_TRUE(list.open(fixture("words.xml")));
    EXPECT_EQ(list.text(0, TextKind::Sentence), u"Not a word.");
    list.setWordMode(true);
    ASSERT_TRUE(list.refresh());
    ASSERT_EQ(list.recordCount(), 3);
    EXPECT_EQ(row(list, 0)[SentenceListModel::kSentenceColumn], u"apple");
    EXPECT_EQ(row(list, 2)[SentenceListModel::kTranslationColumn], u"?");
    list.setWordMode(false);
    ASSERT_TRUE(list.refresh());
    EXPECT_EQ(list.recordCount(), 1);
}

}  // namespace
}  // namespace pw
