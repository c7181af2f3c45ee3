// The readings of a text from its analysis: the spoken and the annotated
// form, how long texts are cut into requests, and what a failed request
// leaves.
#include "dictionary/InputMethodEditor.h"

#include <gtest/gtest.h>

#include <numeric>

#include "core/Utf.h"
#include "dictionary/tests/FakeIme.h"

namespace pw {
namespace {

std::u16string repeated(std::u16string_view piece, size_t times) {
    std::u16string text;
    for (size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

class ReadingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_ime.open(u"MeCab.IPA")); }
    test::FakeIme m_ime;
};

TEST_F(ReadingTest, WordsWithKanjiAreReadInKatakanaBetweenSpacesAndTheRestPasses) {
    struct Case {
        std::u16string text;
        std::u16string spoken;
        std::u16string ruby;
    };
    const Case cases[] = {
        {u"これは漢字です。", u"これは カンジ です。",
         u"これは<ruby><rb>漢字</rb><rp>(</rp><rt>かんじ</rt><rp>)</rp></ruby>です。"},
        {u"ひらがな、カタカナ and ASCII 123!", u"ひらがな、カタカナ and ASCII 123!",
         u"ひらがな、カタカナ and ASCII 123!"},
        {u"東京\r\n漢字", u" トウキョウ \r\n カンジ ",
         u"<ruby><rb>東京</rb><rp>(</rp><rt>とうきょう</rt><rp>)</rp></ruby>\r\n"
         u"<ruby><rb>漢字</rb><rp>(</rp><rt>かんじ</rt><rp>)</rp></ruby>"},
        // What the learner types into the preview is shown, not run as markup.
        {u"<b>漢字</b> & co", u"<b> カンジ </b> & co",
         u"&lt;b&gt;<ruby><rb>漢字</rb><rp>(</rp><rt>かんじ</rt><rp>)</rp></ruby>&lt;/b&gt; "
         u"&amp; co"},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(m_ime.reading(c.text, false)), toUtf8(c.spoken)) << toUtf8(c.text);
        EXPECT_EQ(toUtf8(m_ime.reading(c.text, true)), toUtf8(c.ruby)) << toUtf8(c.text);
    }
    EXPECT_EQ(m_ime.phonetic(u"漢字です"), u"カンジデス");

    m_ime.close();
    EXPECT_FALSE(m_ime.isOpen());
    EXPECT_EQ(m_ime.reading(u"漢字", false), u"");
    EXPECT_EQ(m_ime.phonetic(u"漢字"), u"");
}

TEST_F(ReadingTest, AHundredUnitsGoInOneRequestLongerTextsAreCut) {
    const std::u16string sentence = u"漢字の文です。";  // 7 units
    struct Case {
        const char* what;
        std::u16string text;
        std::vector<size_t> pieces;  // lengths of the requests
    };
    const Case cases[] = {
        {"exactly a hundred", repeated(u"字", 100), {100}},
        {"a hundred and one, cut after the full stops",
         repeated(sentence, 14) + u"字字字",
         {49, 49, 3}},
        {"Latin letters, cut before the fifty-second", repeated(u"word ", 20) + u"x", {51, 50}},
        {"no cut point: a hundred, then the rest", repeated(u"字", 150), {100, 50}},
        {"a cut point after a hundred units comes too late",
         repeated(u"字", 120) + u"。" + repeated(u"字", 10),
         {100, 31}},
        {"never between the halves of a pair",
         repeated(u"字", 99) + repeated(u"\U00020BB7", 5),
         {99, 10}},
    };
    for (const Case& c : cases) {
        m_ime.requests.clear();
        const std::u16string spoken = m_ime.reading(c.text, false);
        std::vector<size_t> lengths;
        for (const std::u16string& request : m_ime.requests) {
            lengths.push_back(request.size());
        }
        EXPECT_EQ(lengths, c.pieces) << c.what;
        EXPECT_EQ(std::accumulate(m_ime.requests.begin(), m_ime.requests.end(), std::u16string()),
                  c.text)
            << c.what;
        for (const std::u16string& request : m_ime.requests) {
            EXPECT_LE(request.size(), InputMethodEditor::kMaxRequest) << c.what;
        }
    }
}

TEST_F(ReadingTest, AFailedRequestKeepsItsText) {
    const std::u16string first = repeated(u"漢字", 30) + u"。";  // 61 units
    const std::u16string second = repeated(u"東京と漢字", 8);    // 101 units in all
    m_ime.failing.insert(first);
    EXPECT_EQ(toUtf8(m_ime.reading(first + second, false)),
              toUtf8(first + repeated(u" トウキョウ と カンジ ", 8)));
    EXPECT_EQ(m_ime.phonetic(first), u"");
}

TEST(KanaText, KanaConversionsAndKanaWords) {
    EXPECT_EQ(toKatakana(u"ぁあゔゕ漢a"), u"ァアヴゕ漢a");
    EXPECT_EQ(toHiragana(u"ァアヴヵーa"), u"ぁあゔヵーa");
    EXPECT_TRUE(isKanaWord(u"ひらがなカタカナー"));
    EXPECT_TRUE(isKanaWord(u"a"));
    EXPECT_FALSE(isKanaWord(u"ab"));
    EXPECT_FALSE(isKanaWord(u"漢字"));
}

}  // namespace
}  // namespace pw
