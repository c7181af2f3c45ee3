// The record rules: check marks, trial numbers, scores, time text, the
// description, texts that are missing, and word records.
#include <cmath>

#include <gtest/gtest.h>

#include "content/SentenceRecord.h"
#include "core/testsupport/RecordingUi.h"
#include "xml/XMLParser.h"

namespace pw {
namespace {

using namespace records;

// Parses source and returns its document; the test fails on a parse error.
std::unique_ptr<XMLParser> parse(std::u16string_view source) {
    auto doc = std::make_unique<XMLParser>();
    EXPECT_TRUE(doc->parseString(source));
    return doc;
}

TEST(SentenceRecord, CheckMarksAndTrialNumbers) {
    const std::pair<int, std::u16string> checks[] = {
        {0, u""}, {1, u"X  "}, {2, u"  X"}, {3, u"XX"}, {4, u"    "}, {7, u"XX"}, {-1, u"XX"},
    };
    for (const auto& [check, text] : checks) {
        EXPECT_EQ(renderCheck(check), text) << check;
    }
    const std::pair<int, int> trials[] = {
        {0, 1},     {7, 8},   {99, 100}, {100, 101}, {101, 101},
        {250, 101}, {256, 1}, {300, 45}, {-5, 101},
    };
    for (const auto& [stored, next] : trials) {
        EXPECT_EQ(nextTrialNumber(stored), next) << stored;
    }

    auto doc = parse(u"<L><SentenceGroup check='3' trialNumber='250'/></L>");
    SentenceRecord record(*doc->getRoot()->getFirstChild(), false);
    record.setCheck(1, false);
    EXPECT_EQ(record.element().getAttribute(kCheck), u"1");
    record.setCheck(1, true);
    record.setCheck(0, false);
    EXPECT_EQ(record.element().getAttribute(kCheck), u"2");
    record.setCheck(2, true);  // no third mark
    EXPECT_EQ(record.check(), 2);
    record.incrementTrial();
    EXPECT_EQ(record.trialText(), u"101");
}

TEST(SentenceRecord, ScoresReadAsNumbers) {
    const std::pair<std::u16string, double> cases[] = {
        {u"", 0},      {u"87.5", 87.5}, {u"  92.25", 92.25}, {u"+3", 3},     {u"-1.5", -1.5},
        {u"abc", 0},   {u"12abc", 12},  {u"1e2", 100},       {u"nan", 0},    {u"inf", 0},
        {u"1e999", 0}, {u"９９", 0},    {u".5", 0.5},        {u"100.", 100},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(parseScore(text), value) << std::string(text.begin(), text.end());
    }
}

TEST(SentenceRecord, TimeText) {
    const std::pair<std::u16string, int> parsed[] = {
        {u"01:02:50", 62500}, {u"00:00:00", 0},         {u"12:34:32", 754320},
        {u"1:2:3", 62030},    {u" 01: 02 :50 ", 62500}, {u"100:00:00", 6000000},
        {u"1:02", -1},        {u"01:02:03:04", -1},     {u"", -1},
        {u"a:b:c", -1},       {u"01::50", -1},          {u"-1:00:00", -1},
        {u"01:02:50.5", -1},  {u"40000:00:00", -1},     {u"999999999:0:0", -1},
    };
    for (const auto& [text, ms] : parsed) {
        EXPECT_EQ(parseTimeText(text), ms) << std::string(text.begin(), text.end());
    }
    const std::pair<uint32_t, std::u16string> formatted[] = {
        {0, u"00:00:00"},       {754321, u"12:34:32"},         {65536, u"01:05:53"},
        {3600000, u"60:00:00"}, {4294967295u, u"71582:47:29"},
    };
    for (const auto& [ms, text] : formatted) {
        EXPECT_EQ(formatTimeText(ms), text) << ms;
    }
}

TEST(SentenceRecord, Description) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"<L><description><![CDATA[a <b>b</b>]]></description></L>", u"a <b>b</b>"},
        {u"<L><x><description><![CDATA[deep]]></description></x></L>", u"deep"},
        {u"<description><![CDATA[root]]></description>", u"root"},
        {u"<L/>", u""},
    };
    for (const auto& [source, description] : cases) {
        EXPECT_EQ(readDescription(*parse(source)->getRoot()), description);
    }
    // Without a CDATA section: the XML of the element's children.
    auto markup = parse(u"<L><description>plain <b>bold</b></description></L>");
    const std::u16string children =
        markup->getRoot()->findFirst(u"description")->childrenToXmlString();
    EXPECT_NE(children.find(u"<b>bold</b>"), std::u16string::npos);
    EXPECT_EQ(readDescription(*markup->getRoot()), children);

    // Setting one: the element goes first under the root when it is missing.
    auto doc = parse(u"<L><SentenceGroup/></L>");
    writeDescription(*doc->getRoot(), u"New ]]> text");
    EXPECT_EQ(doc->getRoot()->getFirstChild()->getName(), u"description");
    EXPECT_EQ(readDescription(*doc->getRoot()), u"New ]]> text");
    auto plain = parse(u"<L><description>old</description></L>");
    writeDescription(*plain->getRoot(), u"new");
    EXPECT_EQ(readDescription(*plain->getRoot()), u"new");
}

TEST(SentenceRecord, MissingTextsAreAddedWhenNeeded) {
    auto doc = parse(
        u"<L><SentenceGroup><sentence>plain</sentence><x><translation><![CDATA[deep]]>"
        u"</translation></x></SentenceGroup></L>");
    Element& element = *doc->getRoot()->getFirstChild();
    SentenceRecord record(element, false);
    EXPECT_EQ(record.text(TextKind::Sentence), u"");
    EXPECT_EQ(record.text(TextKind::Translation), u"deep");
    EXPECT_EQ(record.text(TextKind::Explanation), u"");
    // The plain text stays; an empty section follows it.
    const Element* sentence = element.findFirst(u"sentence");
    ASSERT_EQ(sentence->getChildren().size(), 2u);
    EXPECT_TRUE(sentence->getFirstChild()->isTextNode());
    EXPECT_EQ(sentence->getFirstChild()->getText(), u"plain");
    EXPECT_TRUE(sentence->getLastChild()->isCData());
    // The translation was found deeper down; the explanation was added last.
    EXPECT_EQ(element.getChildren().size(), 3u);
    EXPECT_EQ(element.getLastChild()->getName(), u"explanation");
    EXPECT_TRUE(element.getLastChild()->getFirstChild()->isCData());
    record.setText(TextKind::Sentence, u"typed");
    EXPECT_EQ(record.text(TextKind::Sentence), u"typed");
    EXPECT_EQ(&record.textNode(TextKind::Sentence),
              element.findFirst(u"sentence")->firstCDataChild());
}

TEST(SentenceRecord, VoiceFileOfTheRecordOrItsSentence) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"<SentenceGroup voice='a.wav'><sentence voice='b.wav'/></SentenceGroup>", u"a.wav"},
        {u"<SentenceGroup voice=''><sentence voice='b.wav'/></SentenceGroup>", u"b.wav"},
        {u"<SentenceGroup><sentence voice='b.wav'/></SentenceGroup>", u"b.wav"},
        {u"<SentenceGroup><sentence/></SentenceGroup>", u""},
    };
    for (const auto& [source, voice] : cases) {
        auto doc = parse(source);
        EXPECT_EQ(SentenceRecord(*doc->getRoot(), false).voice(), voice);
    }
}

TEST(SentenceRecord, WordRecords) {
    auto doc = parse(
        u"<W><Word key=' \tapple\r\n'><![CDATA[りんご]]></Word>"
        u"<Word><key><![CDATA[ banana ]]></key><value><![CDATA[バナナ]]></value></Word>"
        u"<Word key='cherry'/></W>");
    std::vector<Element*> words;
    doc->getRoot()->findAll(kWordRecord, words);
    ASSERT_EQ(words.size(), 3u);

    SentenceRecord apple(*words[0], true);
    EXPECT_EQ(apple.text(TextKind::Sentence), u"apple");
    EXPECT_EQ(words[0]->getAttribute(u"key"), u"apple");  // written back trimmed
    EXPECT_EQ(apple.text(TextKind::Translation), u"りんご");
    EXPECT_EQ(words[0]->findFirst(u"value"), nullptr);  // reading adds nothing
    // Needing the meaning's node copies the record's own text into a new "value".
    apple.setText(TextKind::Translation, apple.textNode(TextKind::Translation).getText() + u"!");
    EXPECT_EQ(words[0]->findFirst(u"value")->cdataText(), u"りんご!");
    EXPECT_EQ(apple.text(TextKind::Translation), u"りんご!");

    SentenceRecord banana(*words[1], true);
    EXPECT_EQ(banana.text(TextKind::Sentence), u"banana");
    EXPECT_EQ(words[1]->findFirst(u"key")->cdataText(), u"banana");
    EXPECT_EQ(banana.text(TextKind::Translation), u"バナナ");

    SentenceRecord cherry(*words[2], true);
    EXPECT_EQ(cherry.text(TextKind::Translation), u"?");
    cherry.setText(TextKind::Sentence, u"sour cherry");
    EXPECT_EQ(cherry.text(TextKind::Sentence), u"sour cherry");  // the new key element wins
    EXPECT_EQ(cherry.text(TextKind::Explanation), u"");
    EXPECT_NE(words[2]->findFirst(u"explanation"), nullptr);
}

}  // namespace
}  // namespace pw
