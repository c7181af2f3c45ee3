// The print page: the repeated block and its page breaks, where placeholders
// are replaced and where not, the preparation of line breaks, the title, and
// the shipped template.
#include <gtest/gtest.h>

#include "content/SentenceListModel.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "printing/PrintPage.h"

namespace pw {
namespace {

PrintPage pageOf(int items) {
    PrintPage page;
    std::vector<PrintItem> list;
    for (int i = 1; i <= items; ++i) {
        list.push_back({u"s" + fromUtf8(std::to_string(i)), u"t", u"e"});
    }
    page.setItems(std::move(list));
    return page;
}

size_t countOf(const std::u16string& text, std::u16string_view part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::u16string::npos;
         at = text.find(part, at + part.size())) {
        ++n;
    }
    return n;
}

TEST(PrintPage, APageBreakFollowsEvery24thCopy) {
    const std::u16string breakLine = std::u16string(PrintPage::kPageBreak) + u"\r\n";
    struct Case {
        int items;
        size_t breaks;
        std::u16string_view lastCopies;  // what stands before the end marker
    };
    const Case cases[] = {
        {0, 0, u"<!--repeat-->"},
        {23, 0, u"s23|"},
        {24, 1, u"s24|<br style='page-break-after: always;'>\r\n"},
        {25, 1, u"s24|<br style='page-break-after: always;'>\r\ns25|"},
        {48, 2, u"s48|<br style='page-break-after: always;'>\r\n"},
    };
    for (const Case& c : cases) {
        const std::optional<std::u16string> html =
            pageOf(c.items).expand(u"<p>A</p><!--repeat-->[sentence]|<!--/repeat--><p>Z</p>");
        ASSERT_TRUE(html) << c.items;
        EXPECT_EQ(countOf(*html, breakLine), c.breaks) << c.items;
        EXPECT_EQ(countOf(*html, u"|"), static_cast<size_t>(c.items));
        const std::u16string tail = std::u16string(c.lastCopies) + u"<!--/repeat--><p>Z</p>";
        EXPECT_TRUE(html->ends_with(tail)) << c.items << ": " << toUtf8(*html);
        EXPECT_TRUE(html->starts_with(u"<p>A</p><!--repeat-->"));
    }
    // The first break comes right after the 24th copy.
    const std::u16string html = *pageOf(25).expand(u"<!--repeat-->[sentence]|<!--/repeat-->");
    EXPECT_EQ(html.find(PrintPage::kPageBreak), html.find(u"s24|") + 4);
}

TEST(PrintPage, PlaceholdersAreReplacedWhereTheyApply) {
    PrintPage page;
    page.setTitle(u"Lesson [app_path]");
    page.setProgramFolder(u"/opt/pw/[title]");
    page.setItems({{u"Hi [sentence]", u"やあ", u"<b>hi</b>"}});
    struct Case {
        std::u16string_view text;
        std::u16string_view page;
    };
    const Case cases[] = {
        // The block may use a placeholder twice; outside it items are not put in.
        {u"[sentence]<!--repeat-->[sentence]/[sentence]<!--/repeat-->",
         u"[sentence]<!--repeat-->Hi [sentence]/Hi [sentence]<!--/repeat-->"},
        {u"<!--repeat-->[translation]:[explanation]<!--/repeat-->[translation]",
         u"<!--repeat-->やあ:<b>hi</b><!--/repeat-->[translation]"},
        // The title goes in first, so its "[app_path]" shows the folder; the
        // folder's "[title]" is not scanned again.
        {u"<title>[title]</title><!--repeat--><!--/repeat-->",
         u"<title>Lesson /opt/pw/[title]</title><!--repeat--><!--/repeat-->"},
        {u"[app_path]print.css<!--repeat-->[title]<!--/repeat-->",
         u"/opt/pw/[title]print.css<!--repeat-->Lesson /opt/pw/[title]<!--/repeat-->"},
        // Only the first block repeats; the end is the first end marker behind the start.
        {u"<!--/repeat-->a<!--repeat-->[sentence]<!--/repeat-->b<!--repeat-->c<!--/repeat-->",
         u"<!--/repeat-->a<!--repeat-->Hi [sentence]<!--/repeat-->b<!--repeat-->c<!--/repeat-->"},
        // Placeholders are matched with their case.
        {u"<!--repeat-->[Sentence]<!--/repeat-->", u"<!--repeat-->[Sentence]<!--/repeat-->"},
    };
    for (const Case& c : cases) {
        const std::optional<std::u16string> html = page.expand(c.text);
        ASSERT_TRUE(html) << toUtf8(c.text);
        EXPECT_EQ(*html, c.page) << toUtf8(c.text);
    }
}

TEST(PrintPage, AnItemsTextsAreNeverScannedForPlaceholders) {
    PrintPage page;
    page.setItems({{u"Say [translation]", u"[explanation] [x", u"e]"}});
    EXPECT_EQ(page.expand(u"<!--repeat-->[sentence]/[translation]/[explanation[<!--/repeat-->"),
              u"<!--repeat-->Say [translation]/[explanation] [x/[explanation[<!--/repeat-->");
}

TEST(PrintPage, WithoutACompleteBlockThePageStaysAsItWas) {
    const PrintPage page = pageOf(3);
    for (std::u16string_view text :
         {u"", u"<p>[title]</p>", u"<!--repeat-->[sentence]", u"<!--/repeat-->x<!--repeat-->",
          u"<!--repeat--", u"<!-- repeat -->[sentence]<!-- /repeat -->"}) {
        EXPECT_FALSE(page.expand(text)) << toUtf8(text);
    }
}

TEST(PrintPage, LineBreaksArePreparedForThePage) {
    struct Case {
        std::u16string_view sentence, translation, explanation;
        PrintItem prepared;
    };
    // CR LF as the program has always stored them, LF as the markup editor does.
    const Case cases[] = {
        {u"Good\r\nmorning.",
         u"おはよう\r\nございます",
         u"One.\r\n\r\nTwo.\r\nThree.",
         {u"Goodmorning.", u"おはよう<br />\r\nございます", u"One.<br />\r\nTwo.<br />\r\nThree."}},
        {u"Good\nmorning.",
         u"おはよう\nございます",
         u"One.\n\nTwo.\nThree.",
         {u"Goodmorning.", u"おはよう<br />\r\nございます", u"One.<br />\r\nTwo.<br />\r\nThree."}},
        {u"a\rb", u"a\rb", u"a\r\rb", {u"ab", u"a<br />\r\nb", u"a<br />\r\nb"}},
        // Two empty lines leave one; markup stays as it is.
        {u"<i>x</i>", u"", u"a\r\n\r\n\r\nb", {u"<i>x</i>", u"", u"a<br />\r\n<br />\r\nb"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(preparePrintItem(c.sentence, c.translation, c.explanation), c.prepared)
            << toUtf8(c.explanation);
    }
}

TEST(PrintPage, TheTitleAndItemsComeFromTheList) {
    test::TempDir dir;
    const std::string withTitle = dir.file("titled.xml");
    test::writeAll(withTitle,
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SentenceList>\n"
                   "<title> <![CDATA[Travel & Talk]]> </title>\n"
                   "<SentenceGroup><sentence><![CDATA[One\r\nline.]]></sentence>"
                   "<translation><![CDATA[一\r\n二]]></translation>"
                   "<explanation><![CDATA[a\r\n\r\nb]]></explanation></SentenceGroup>\n"
                   "<SentenceGroup><sentence><![CDATA[Second.]]></sentence></SentenceGroup>\n"
                   "</SentenceList>\n");
    SentenceListModel list;
    ASSERT_TRUE(list.open(withTitle));
    PrintPage page;
    page.fill(list, {1, 7, 0, -1});
    EXPECT_EQ(page.title(), u"Travel & Talk");
    ASSERT_EQ(page.items().size(), 2u);
    EXPECT_EQ(page.items()[0], (PrintItem{u"Second.", u"", u""}));
    EXPECT_EQ(page.items()[1], (PrintItem{u"Oneline.", u"一<br />\r\n二", u"a<br />\r\nb"}));

    // Without a title, or with an empty one, the file's name stands for it.
    for (const char* title : {"", "<title><![CDATA[]]></title>", "<title>  </title>"}) {
        const std::string path = dir.file("Daily Talk.v2.xml");
        test::writeAll(path, std::string("<SentenceList>") + title +
                                 "<SentenceGroup><sentence>x</sentence></SentenceGroup>"
                                 "</SentenceList>");
        ASSERT_TRUE(list.open(path));
        EXPECT_EQ(listTitle(list), u"Daily Talk.v2") << title;
    }
}

TEST(PrintPage, TheShippedTemplateHasEveryPlaceholderInItsBlock) {
    const std::u16string text = readPrintTemplate(test::sourceDir() + "/Resources/print.html");
    const size_t start = text.find(PrintPage::kRepeatStart);
    const size_t end = text.find(PrintPage::kRepeatEnd, start);
    ASSERT_NE(start, std::u16string::npos);
    ASSERT_NE(end, std::u16string::npos);
    const std::u16string block = text.substr(start, end - start);
    for (std::u16string_view placeholder :
         {PrintPage::kSentence, PrintPage::kTranslation, PrintPage::kExplanation}) {
        EXPECT_NE(block.find(placeholder), std::u16string::npos) << toUtf8(placeholder);
    }
    EXPECT_NE(text.find(PrintPage::kTitle), std::u16string::npos);
    EXPECT_TRUE(pageOf(30).expand(text));
    EXPECT_TRUE(readPrintTemplate(test::sourceDir() + "/Resources/no-such.html").empty());
}

}  // namespace
}  // namespace pw
