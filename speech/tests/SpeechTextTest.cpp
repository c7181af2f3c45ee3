// The text rewrites before speech, the markup translation and its map back
// to the caller's text, the format table, the exception layout, the scripts
// voices are chosen by, and how fast each rate speaks.
#include <cmath>

#include <gtest/gtest.h>

#include "speech/ChoiceList.h"
#include "speech/EspeakSapi.h"
#include "speech/SapiException.h"
#include "speech/SpeechFormat.h"
#include "speech/SpeechText.h"
#include "speech/SsmlText.h"
#include "speech/TextScript.h"

namespace pw {
namespace {

struct Rewrite {
    std::u16string in;
    std::u16string out;
};

void expectRewrites(const std::vector<Rewrite>& cases, void (*rewrite)(std::u16string&)) {
    for (const Rewrite& c : cases) {
        std::u16string text = c.in;
        rewrite(text);
        EXPECT_EQ(text, c.out) << toUtf8(c.in);
    }
}

TEST(SpeechText, JapaneseNumbersGetTheirPlaceReadings) {
    expectRewrites(
        {
            {u"12,345", u"1まん2せん3びゃく4じゅう5"},
            {u"１２３４５円", u"1まん2せん3びゃく4じゅう5円"},  // full-width digits
            {u"10", u"じゅう"},
            {u"11", u"じゅう1"},
            {u"20", u"2じゅう"},
            {u"100", u"ひゃく"},
            {u"300", u"3びゃく"},
            {u"600", u"ろっぴゃく"},
            {u"800", u"はっぴゃく"},
            {u"1000", u"せん"},
            {u"3000", u"3ぜん"},
            {u"8000", u"はっせん"},
            {u"10000", u"1まん"},
            {u"100000", u"じゅうまん"},
            {u"100000000", u"1おく"},  // an empty group of four says nothing
            {u"100010000", u"1おく1まん"},
            {u"1000000000000", u"1ちょう"},
            // Runs that stay: a leading zero, a single digit, more than 24 digits.
            {u"0123", u"0123"},
            {u"7", u"7"},
            {u"1234567890123456789012345", u"1234567890123456789012345"},
            // Commas go wherever they stand; words around a run are kept.
            {u"a,b 2,0", u"ab 2じゅう"},
            {u"価格は12円です", u"価格はじゅう2円です"},
        },
        spellJapaneseNumbers);
}

TEST(SpeechText, MarkupKeepsItsTagsWhileTheTextBetweenIsRewritten) {
    std::u16string text = u"12<silence msec=\"10\"/>34 < 5 <pitch middle='2'>6,7</pitch>";
    rewriteOutsideTags(text, true, [](std::u16string& piece) { spellJapaneseNumbers(piece); });
    EXPECT_EQ(text,
              u"じゅう2<silence msec=\"10\"/>3じゅう4 < 5 <pitch middle='2'>6じゅう7</pitch>");

    std::u16string plain = u"<b>10</b>";
    rewriteOutsideTags(plain, false, [](std::u16string& piece) { spellJapaneseNumbers(piece); });
    EXPECT_EQ(plain, u"<b>じゅう</b>");
}

TEST(SpeechText, LinesAndTypographyAreNormalised) {
    expectRewrites(
        {
            {u"It\u2019s a test\u2014really.", u"It's a test really."},
            {u"line one\r\nline two", u"line one line two"},
            {u"日本語の\n文章", u"日本語の文章"},  // Japanese lines join without a space
            {u"end\n", u"end "},
        },
        normalizeSpokenLines);
}

TEST(SpeechText, StrayLessThanIsBlankedAndTagsAreKept) {
    expectRewrites({{u"a <3 b < c <b>x</b> <silence msec=\"10\"/> <",
                     u"a  3 b   c <b>x</b> <silence msec=\"10\"/> <"}},
                   blankStrayLessThan);
}

TEST(SpeechText, PitchPrefixUnlessLongMarkupSetsItsOwn) {
    EXPECT_EQ(pitchPrefix(-3), u"<pitch middle='-3' />");
    const std::u16string own = u"<pitch middle='5'/>";
    EXPECT_TRUE(wantsPitchPrefix(own + u"short"));  // 50 or fewer: always
    EXPECT_FALSE(wantsPitchPrefix(own + std::u16string(60, u'a')));
    EXPECT_TRUE(wantsPitchPrefix(std::u16string(60, u'a') + own));
}

// Every unit of the SSML maps back into the caller's text, and the caller's
// words are found where the map says.
TEST(SsmlText, TranslatesMarkupAndMapsBack) {
    const Rewrite cases[] = {
        {u"a<silence msec=\"10\" />b", u"a<break time=\"10ms\"/>b"},
        {u"<pitch middle='12'/>hi", u"<prosody pitch=\"+100%\">hi</prosody>"},
        {u"<pitch middle=\"-12\">lo</pitch> x", u"<prosody pitch=\"-50%\">lo</prosody> x"},
        {u"<rate speed='10'>x</rate>", u"<prosody rate=\"300%\">x</prosody>"},
        {u"<emph>x</emph><spell>AB</spell>",
         u"<emphasis>x</emphasis><say-as interpret-as=\"characters\">AB</say-as>"},
        {u"<voice required='Gender=Female'>x</voice>", u"x"},
        {u"a < b & c &amp; d", u"a &lt; b &amp; c &amp; d"},
        // Unbalanced markup still makes well-formed SSML.
        {u"</pitch>x<emph>y", u"x<emphasis>y</emphasis>"},
        {u"<pitch middle='1'>a<emph>b</pitch>c",
         u"<prosody pitch=\"+6%\">a<emphasis>b</emphasis></prosody>c"},
    };
    for (const Rewrite& c : cases) {
        const SsmlText ssml = sapiToSsml(c.in);
        EXPECT_EQ(ssml.text, c.out) << toUtf8(c.in);
        ASSERT_EQ(ssml.origin.size(), ssml.text.size() + 1);
        EXPECT_EQ(ssml.origin.back(), static_cast<int32_t>(c.in.size()));
        for (size_t i = 0; i + 1 < ssml.origin.size(); ++i) {
            ASSERT_LE(ssml.origin[i], ssml.origin[i + 1]) << toUtf8(c.in) << " at " << i;
        }
    }
    const std::u16string in = u"<pitch middle='2'/>Hello <silence msec='10'/>world";
    const SsmlText ssml = sapiToSsml(in);
    const size_t world = ssml.text.find(u"world");
    EXPECT_EQ(in.substr(static_cast<size_t>(ssml.origin[world]), 5), u"world");
}

TEST(SpeechFormat, ThirtySixNamesWithTheirNumbers) {
    MemoryChoiceList list;
    addSpeechFormats(list);
    ASSERT_EQ(list.count(), kSpeechFormatCount);
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.data(i), i + 4);
    }
    EXPECT_EQ(list.text(0), u"8kHz 8 Bit Mono");
    EXPECT_EQ(list.text(5), u"11kHz 8 Bit Stereo");
    EXPECT_EQ(list.text(kDefaultFormatIndex), u"16kHz 16 Bit Mono");
    EXPECT_EQ(list.text(kFallbackFormatIndex), u"16kHz 16 Bit Stereo");
    EXPECT_EQ(list.text(35), u"48kHz 16 Bit Stereo");
    EXPECT_EQ(speechFormatByNumber(9)->rate, 11025);
    EXPECT_EQ(speechFormatNumber(44100, 16, 2), 35);
    EXPECT_EQ(speechFormatByNumber(40), nullptr);
}

TEST(SapiException, MessageLayout) {
    const SapiException plain(u"Something broke.", "EspeakSapi::speak", 42);
    EXPECT_EQ(plain.describe(),
              u"Function: EspeakSapi::speak\nLine: 42\n----------------\nException:\n"
              u"Something broke.\n----------------\n");
    const SapiException coded(u"x", "f", 7, static_cast<int32_t>(0x80045002u));
    EXPECT_EQ(coded.describe(),
              u"Function: f\nLine: 7\n----------------\nException:\nx\n----------------\n"
              u"HRESULT: 0x80045002\nUnexpected HRESULT\n");
}

TEST(TextScript, KanaJapaneseHangulKoreanHanAloneChineseLettersLatin) {
    const std::pair<std::u16string, TextScript> cases[] = {
        {u"Good morning. How did you sleep?", TextScript::Latin},
        {u"\u304a\u306f\u3088\u3046\u3002\u3088\u304f\u7720\u308c\u305f\uff1f",
         TextScript::Japanese},
        {u"\u30ab\u30d5\u30a7 au lait", TextScript::Japanese},
        {u"\u6771\u4eac", TextScript::Chinese},
        {u"\u4f60\u597d\uff0c\u4e16\u754c", TextScript::Chinese},
        {u"\uc548\ub155\ud558\uc138\uc694", TextScript::Korean},
        {u"Caf\u00e9 na\u00efve", TextScript::Latin},
        {u"42 ... !?", TextScript::None},
        {u"", TextScript::None},
    };
    for (const auto& [text, script] : cases) {
        EXPECT_EQ(textScript(text), script) << toUtf8(text);
    }
    // Most texts decide; a tie goes to the script asked about first.
    EXPECT_EQ(mainScript({u"Hi.", u"\u6771\u4eac", u"\u3072\u3068", u"\u3072"}),
              TextScript::Japanese);
    EXPECT_EQ(mainScript({u"Hi.", u"\u6771\u4eac"}), TextScript::Chinese);
    EXPECT_EQ(mainScript({u"", u"..."}), TextScript::None);
    EXPECT_EQ(voiceLanguagesFor(TextScript::Japanese), std::vector<std::string>{"ja"});
    EXPECT_TRUE(voiceLanguagesFor(TextScript::None).empty());
}

// Each step of the range is a constant factor; below espeak-ng's slowest
// rate the sound is stretched instead.
TEST(SpeechPace, EverySlowerRateIsSlowerDownToThreeAndAHalfTimes) {
    // How long a text lasts against rate 0, with the engine's own slowing
    // below 175 words a minute, which is less than proportional.
    const auto lengthening = [](int rate) {
        const EspeakSapi::Pace pace = EspeakSapi::pace(rate);
        return std::pow(175.0 / pace.wordsPerMinute, 0.866) / pace.tempo;
    };
    EXPECT_EQ(EspeakSapi::pace(0).wordsPerMinute, 175);
    EXPECT_EQ(EspeakSapi::pace(10).wordsPerMinute, 450);
    for (int rate = 8; rate >= -10; --rate) {
        EXPECT_GT(lengthening(rate), lengthening(rate + 1)) << rate;
        const EspeakSapi::Pace pace = EspeakSapi::pace(rate);
        EXPECT_GE(pace.wordsPerMinute, 80) << rate;
        EXPECT_EQ(pace.tempo < 1.0, rate <= -7) << rate;
    }
    EXPECT_NEAR(lengthening(-10), 3.5, 0.01);
}

}  // namespace
}  // namespace pw
