// Plain text from markup: tags, references, escapes and the entity table.
#include <gtest/gtest.h>

#include "xml/HtmlText.h"

namespace pw {
namespace {

TEST(HtmlText, DropsTagsAndDecodesCompleteReferences) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"I <b>really</b> like <i>green tea</i>.", u"I really like green tea."},
        {u"Tom &amp; Mary", u"Tom & Mary"},
        {u"caf&eacute;\r\nnext line", u"café\r\nnext line"},
        {u"fish &amp;chips", u"fish &chips"},
        {u"ends with &amp", u"ends with "},        // still open at the end: dropped
        {u"a &amp b", u"a &amp b"},                // broken by a space: kept
        {u"a &caf\u00E9; b", u"a &caf\u00E9; b"},  // broken by a non-ASCII letter
        {u"&lt;b&gt; is bold", u"<b> is bold"},
        {u"&amp;lt; one at a time", u"&lt; one at a time"},
        {u"x&nbsp;y&sup2;", u"x y&sup2;"},
        {u"<a href=\"x\">link</a> &#65;&#x42;", u"link A&#x42;"},
    };
    for (const auto& [html, text] : cases) {
        EXPECT_EQ(htmlToText(html), text);
    }
}

TEST(HtmlText, DecodeTextHandlesEscapesLineBreaksAndReferences) {
    struct Case {
        std::u16string text;
        bool newlinesToSpace;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"a\\nb\\rc\\td\\\\e\\", false, u"a\r\nbc\td\\e"},
        {u"one\r\ntwo\nthree\rfour", false, u"onetwothreefour"},
        {u"one\r\ntwo\nthree\rfour", true, u"one two three four"},
        {u"&#65;&nosuch;", false, u"A!"},
        {u"&#65601;", false, u"A"},  // modulo 65536
        {u"&#;&;", false, std::u16string(1, u'\0') + u"!"},
        {u"&amp;lt;&amp;&amp;", false, u"<&&"},
        {u"&amp;#60;", false, u"<"},
        {u"&amp; x", false, u"& x"},
        {u"&thetasym;&averyverylongname;", false, u"\u03D1&averyverylongname;"},
        {u"&sup2; &frac12; &#x41;", false, u"&sup2; &frac12; &#x41;"},
        {u"trailing &", false, u"trailing &"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeText(c.text, c.newlinesToSpace), c.expected);
    }
}

TEST(HtmlText, EntityTableIsHtml4WithTheProgramsExceptions) {
    const std::pair<std::u16string, char16_t> known[] = {
        {u"eacute", 233}, {u"mdash", 8212},  {u"Alpha", 913},  {u"Omega", 937}, {u"sigmaf", 962},
        {u"Sigma", 931},  {u"yuml", 255},    {u"Yuml", 376},   {u"iexcl", 161}, {u"apos", 39},
        {u"quot", 34},    {u"lsaquo", 8249}, {u"diams", 9830}, {u"sup2", 178},  {u"thetasym", 977},
        {u"lang", 9001},  {u"nbsp", 32},
    };
    for (const auto& [name, value] : known) {
        EXPECT_EQ(lookupEntity(name), std::u16string(1, value))
            << std::string(name.begin(), name.end());
    }
    for (const std::u16string name : {u"euro", u"fnof", u"rsaquo", u"EACUTE", u"", u"amp;"}) {
        EXPECT_EQ(lookupEntity(name), u"");
    }
}

}  // namespace
}  // namespace pw
