// The readings from MeCab with the IPA dictionary: which analysers open, the
// readings of the sample file's texts, and what passes through untouched.
#include "dictionary/Ime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Utf.h"
#include "dictionary/tests/SampleTexts.h"

namespace pw {
namespace {

class ImeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_ime.open(u"MeCab.IPA"))
            << "MeCab with the IPA dictionary (mecab-ipadic-utf8) must be installed";
    }
    Ime m_ime;
};

TEST_F(ImeTest, OnlyKnownInstalledAnalysersOpen) {
    ASSERT_FALSE(Ime::identifiers().empty());
    EXPECT_EQ(Ime::identifiers()[0], u"MeCab.IPA");
    EXPECT_TRUE(m_ime.open(u"MeCab.IPA"));
    EXPECT_EQ(m_ime.identifier(), u"MeCab.IPA");
    for (const std::u16string& identifier : Ime::identifiers()) {
        Ime other;
        EXPECT_EQ(other.open(identifier), Ime::isInstalled(identifier)) << toUtf8(identifier);
    }
    for (const std::u16string identifier : {u"MSIME.Japan", u"", u"MeCab"}) {
        Ime other;
        EXPECT_FALSE(other.open(identifier)) << toUtf8(identifier);
        EXPECT_FALSE(other.isOpen());
        EXPECT_EQ(other.reading(u"漢字", false), u"");
    }
    // A failed open closes the one that was open.
    EXPECT_FALSE(m_ime.open(u"MSIME.Korea"));
    EXPECT_FALSE(m_ime.isOpen());
}

TEST_F(ImeTest, ReadingsOfKanjiWithKanaAndLatinTextLeftAsTheyAre) {
    EXPECT_EQ(toUtf8(m_ime.reading(u"漢字を書く", false)), toUtf8(u" カンジ を カク "));
    EXPECT_EQ(toUtf8(m_ime.reading(u"漢字", true)),
              toUtf8(u"<ruby><rb>漢字</rb><rp>(</rp><rt>かんじ</rt><rp>)</rp></ruby>"));
    EXPECT_EQ(m_ime.phonetic(u"東京都"), u"トウキョウト");
    // White space and line breaks, which the analyser passes over, stay.
    EXPECT_EQ(toUtf8(m_ime.reading(u"  ひらがな\r\nカタカナ　です \n", false)),
              toUtf8(u"  ひらがな\r\nカタカナ　です \n"));
}

TEST_F(ImeTest, TheSampleSentencesPassUnchanged) {
    const std::vector<std::u16string> sentences = test::sampleTexts("sentence");
    ASSERT_EQ(sentences.size(), 18u);
    for (const std::u16string& sentence : sentences) {
        EXPECT_EQ(toUtf8(m_ime.reading(sentence, false)), toUtf8(sentence));
    }
}

TEST_F(ImeTest, TheSampleTranslationsAreSpokenWithoutKanji) {
    const std::vector<std::u16string> translations = test::sampleTexts("translation");
    ASSERT_EQ(translations.size(), 18u);
    for (const std::u16string& translation : translations) {
        EXPECT_TRUE(test::hasKanji(translation)) << toUtf8(translation);
        const std::u16string spoken = m_ime.reading(translation, false);
        EXPECT_FALSE(test::hasKanji(spoken)) << toUtf8(spoken);
    }
    EXPECT_EQ(toUtf8(m_ime.reading(translations[8], false)),
              toUtf8(u" カノジョ は トウキョウ に ジュウ  ネン  スン でいます。"));
}

}  // namespace
}  // namespace pw
