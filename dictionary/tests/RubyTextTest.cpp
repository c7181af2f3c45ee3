// The ruby preview page and the pairs taken back from ruby HTML.
#include "dictionary/RubyText.h"

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "dictionary/tests/FakeIme.h"

namespace pw {
namespace {

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

TEST(RubyText, ThePreviewPageShowsLineBreaksAsLineBreaks) {
    EXPECT_EQ(toUtf8(rubyPreviewPage(u"a\r\nb\nc")),
              toUtf8(u"<html>\r\n<body>\r\n<style type='text/css'>\r\n"
                     u"body { font-size: 20px; }\r\nruby { ruby-align: center; }\r\n"
                     u"rt { font-size: 12px; color: #555;}\r\n</style>\r\n"
                     u"a<br />b<br />c</body>\r\n</html>"));
}

TEST(RubyText, PairsComeBackFromThePreviewAndFromPagesOfOtherShapes) {
    test::FakeIme ime({{u"漢字", u"かんじ"}, {u"A&B", u"えーあんどびー"}});
    ASSERT_TRUE(ime.open(u"MeCab.IPA"));
    const std::u16string preview = rubyPreviewPage(ime.reading(u"漢字とA&Bです\n漢字", true));
    EXPECT_EQ(rubyPairs(preview),
              (Pairs{{u"漢字", u"かんじ"}, {u"A&B", u"えーあんどびー"}, {u"漢字", u"かんじ"}}));

    struct Case {
        const char* what;
        std::u16string html;
        Pairs pairs;
    };
    const Case cases[] = {
        {"no rb, upper case, attributes",
         u"<RUBY "
         u"class='x'>東<RP>(</RP><RT>とう</RT><rp>)</rp></RUBY><ruby>京<rt>きょう</rt></ruby>",
         {{u"東", u"とう"}, {u"京", u"きょう"}}},
        {"line breaks and inner tags go",
         u"<ruby>\r\n<rb>漢\n字</rb><rt><span>かん</span>\nじ</rt></ruby>",
         {{u"漢字", u"かんじ"}}},
        {"references decoded",
         u"<ruby><rb>&lt;&#x6F22;&#23383;&gt;</rb><rt>&quot;x&quot;</rt></ruby>",
         {{u"<漢字>", u"\"x\""}}},
        {"a ruby without a reading, and one left open",
         u"<ruby>漢</ruby><ruby><rb>字</rb><rt>じ</rt><ruby><rb>a</rb><rt>b</rt></ruby>",
         {{u"字", u"じ"}, {u"a", u"b"}}},
        {"no ruby at all", u"<html><body>漢字 <rubyx>a</rubyx></body></html>", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rubyPairs(c.html), c.pairs) << c.what;
    }
}

}  // namespace
}  // namespace pw
