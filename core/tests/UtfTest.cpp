// UTF-8 and UTF-16 conversions at the program's edges.
#include <gtest/gtest.h>

#include "core/Utf.h"

namespace pw {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"Aé日本語 \U0001F600 z";
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    EXPECT_EQ(toUtf8(u"日"), "\xE6\x97\xA5");
}

TEST(Utf, BadInputBecomesReplacementCharacters) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"\xC3", u"\uFFFD"},            // truncated sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},  // overlong
        {"\xED\xA0\x80", u"\uFFFD"},    // encoded surrogate
        {"\xE6\x97"
         "x",
         u"\uFFFDx"},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(fromUtf8(bytes), expected);
    }
    EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(Utf, AppendingGivesWhatWholeConversionGives) {
    // Short and long runs take different paths; both append to what is there.
    const std::string longRun = std::string(300, 'a') + "\xE6\x97\xA5\xFF" + std::string(40, 'b');
    for (const std::string& run : {std::string("x\xE6\x97\xA5\xF0\x9F\x98\x80\xC3"), longRun}) {
        std::u16string out = u"kept:";
        appendUtf8(out, run);
        EXPECT_EQ(out, u"kept:" + fromUtf8(run));
    }
    EXPECT_EQ(fromUtf8(longRun).size(), 300u + 2u + 40u);
}

TEST(Utf, LongJapaneseRunsDecodeAsTheirCharactersOneByOne) {
    // Runs of three-byte characters are decoded several at a time; pieces of
    // under sixteen bytes are decoded one character at a time. Both must agree
    // wherever an unusual sequence falls in a run.
    const std::string kana = "\xE3\x81\x82";  // あ
    const std::string odd[] = {
        "\xE0\xA0\x80",  // U+0800, the first three-byte character
        "\xE0\x80\x80",  // overlong
        "\xED\x9F\xBF",  // U+D7FF, just below the surrogates
        "\xED\xA0\x80",  // a surrogate
        "\xEF\xBF\xBD",  // U+FFFD itself
        "\xE3\x81",      // cut short
        "\xE3\x41\x82",  // a continuation byte missing
        "x",
        "\xC3\xA9",
        "\xF0\x9F\x98\x80",
    };
    for (const std::string& piece : odd) {
        for (int before = 0; before < 12; ++before) {
            std::string bytes;
            std::u16string expected;
            for (int i = 0; i < before; ++i) {
                bytes += kana;
                expected += u'あ';
            }
            bytes += piece;
            expected += fromUtf8(piece);
            for (int i = 0; i < 9; ++i) {
                bytes += kana;
                expected += u'あ';
            }
            EXPECT_EQ(fromUtf8(bytes), expected) << before << " " << testing::PrintToString(piece);
        }
    }
}

}  // namespace
}  // namespace pw
