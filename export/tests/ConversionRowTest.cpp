// The rows of a conversion: what each sentence says, its recorded audio, and
// the names of the files.
#include <gtest/gtest.h>

#include "content/SentenceListModel.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "export/ConversionRow.h"
#include "export/tests/ExportTestSupport.h"

namespace pw {
namespace {

TEST(OutputNames, TheNumberHasTheDigitsTheCountNeeds) {
    struct Case {
        size_t number;
        size_t count;
        const char* name;
    };
    const Case cases[] = {
        {1, 9, "1 lesson"},
        {9, 9, "9 lesson"},
        {1, 10, "01 lesson"},
        {1, 120, "001 lesson"},
        {120, 120, "120 lesson"},
        {7, 1000, "0007 lesson"},
        {10000, 10000, "10000 lesson"},
        {3, 10000, "00003 lesson"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(outputFileName(c.number, c.count, u"lesson")), c.name)
            << c.number << " of " << c.count;
    }
}

TEST(OutputNames, CharactersFileNamesCannotHoldAreEscaped) {
    EXPECT_EQ(outputFileName(1, 1, u"Why? a:b/c\\d*e\"f<g>h|i"),
              u"1 Why%3F a%3Ab%2Fc%5Cd%2Ae%22f%3Cg%3Eh%7Ci");
    EXPECT_EQ(outputFileName(1, 1, u"tab\there\r\n"), u"1 tab here  ");
    EXPECT_EQ(outputFileName(1, 1, u"100% 日本"), u"1 100% 日本");
}

class ConversionRows : public ::testing::Test {
protected:
    test::TempDir m_dir;
};

TEST_F(ConversionRows, SentencesInListOrderWithPlainTextsAndTheFileName) {
    test::writeLearningFile(m_dir.file("lesson.xml"),
                            {{"<b>Good</b> morning.", "おはよう &amp; こんにちは", ""},
                             {"Second.", "", ""},
                             {"Third.", "三", ""}});
    SentenceListModel list;
    ASSERT_TRUE(list.open(m_dir.file("lesson.xml")));
    const std::vector<ConversionRow> rows = makeConversionRows(list, {2, 0, 7}, false);
    ASSERT_EQ(rows.size(), 2u);  // record 7 does not exist
    EXPECT_EQ(rows[0].record, 2);
    EXPECT_EQ(rows[0].outputName, u"1 lesson");
    EXPECT_EQ(rows[1].sentence, u"Good morning.");
    EXPECT_EQ(rows[1].translation, u"おはよう & こんにちは");
    EXPECT_EQ(rows[1].outputName, u"2 lesson");
    EXPECT_FALSE(rows[1].hasRecordedAudio());
    EXPECT_TRUE(rows[1].progress.empty());
}

TEST_F(ConversionRows, RecordedAudioIsTheSentencesSegmentOfTheCompanionFile) {
    test::writeLearningFile(m_dir.file("talk.xml"),
                            {{"One.", "", "00:01:00"}, {"Two.", "", "00:02:50"}});
    test::writeAll(m_dir.file("talk.mp3"), "stands for the recording");
    SentenceListModel list;
    ASSERT_TRUE(list.open(m_dir.file("talk.xml")));
    const std::vector<ConversionRow> rows = makeConversionRows(list, {0, 1}, false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].audioPath, m_dir.file("talk.mp3"));
    EXPECT_EQ(rows[0].audioStart, 1000);
    EXPECT_EQ(rows[0].audioEnd, 2500);
    EXPECT_EQ(rows[1].audioStart, 2500);
    EXPECT_EQ(rows[1].audioEnd, -1);  // to the end of the file
}

TEST_F(ConversionRows, WordsNameTheirFilesWhenShort) {
    const std::string longWord(30, 'x');
    test::writeAll(m_dir.file("words.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><WordList>"
                   "<Word key=\"apple\"><![CDATA[りんご]]></Word>"
                   "<Word key=\"what?\"></Word>"
                   "<Word key=\"" +
                       longWord + "\"></Word></WordList>");
    SentenceListModel list;
    list.setWordMode(true);
    ASSERT_TRUE(list.open(m_dir.file("words.xml")));
    const std::vector<ConversionRow> rows = makeConversionRows(list, {0, 1, 2}, true);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].outputName, u"1 apple");
    EXPECT_EQ(rows[0].translation, u"りんご");
    EXPECT_EQ(rows[1].outputName, u"2 what%3F");
    EXPECT_EQ(rows[2].outputName, u"3 words");
}

}  // namespace
}  // namespace pw
