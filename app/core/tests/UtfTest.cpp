// UTF-8 and UTF-16 conversions at the program's edges.
#include <gtest/gtest.h>

#include "app/core/Utf.h"

namespace pw {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
    const std::u16string text = u"Aé日本語 \U0001F600 z";
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    EXPECT_EQ(toUtf8(u"日"), "\xE6\x97\xA5");
}

TEST(Utf, BadInputBecomesReplacementCharacters) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\xC3", u"\uFFFD"},                   // truncated sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},         // overlong
        {"\xED\xA0\x80", u"\uFFFD"},           // encoded surrogate
        {"\xE6\x97" "x", u"\uFFFDx"},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(fromUtf8(bytes), expected);
    }
    EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace pw
