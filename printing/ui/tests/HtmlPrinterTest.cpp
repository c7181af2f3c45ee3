// The print dialog under a display: its layout, the page made from the
// template and rebuilt on every edit, and the PDF the web engine prints from
// the shipped template, 24 sentences a page.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/window.h>

#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "printing/tests/PdfTools.h"
#include "printing/ui/HtmlPrinter.h"

namespace pw {
namespace {

using test::runEventsUntil;

constexpr const char* kTemplate =
    "<html><head><title>[title]</title><style>.s { color: #123456; }</style></head>\r\n"
    "<body><h1>[title]</h1>\r\n<!--repeat-->\r\n<p class='s'>[sentence]</p><p>[translation]</p>"
    "\r\n<!--/repeat-->\r\n<p>[sentence]</p></body></html>\r\n";

std::vector<PrintItem> numberedItems(int count) {
    std::vector<PrintItem> items;
    for (int i = 1; i <= count; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        items.push_back(preparePrintItem(u"Sentence " + n + u" is here.",
                                         u"文 " + n + u" はここにあります。",
                                         u"<b>here</b> 副詞\r\n\r\nThe adverb."));
    }
    return items;
}

class Printer : public ::testing::Test {
protected:
    void SetUp() override { test::writeAll(templatePath(), kTemplate); }
    void TearDown() override { m_printer.reset(); }

    std::string templatePath() const { return m_dir.file("print.html"); }

    HtmlPrinter& open(std::vector<PrintItem> items, const std::string& path) {
        m_printer = std::make_unique<HtmlPrinter>();
        m_printer->page().setTitle(u"Daily & Talk");
        m_printer->page().setProgramFolder(u"/opt/pw/");
        m_printer->page().setItems(std::move(items));
        m_printer->setTemplatePath(path);
        EXPECT_TRUE(m_printer->showModeless(nullptr));
        return *m_printer;
    }
    bool written() {
        return runEventsUntil(
            [&] {
                WebBrowser* page = m_printer->browser();
                return page && !page->isLoading() && m_printer->isPageWritten();
            },
            10000);
    }
    std::u16string evaluate(const std::u16string& script) {
        return m_printer->browser()->evaluate(script);
    }
    std::string printed(int items) {
        const std::string pdf = m_dir.file("page" + std::to_string(items) + ".pdf");
        bool ended = false;
        bool ok = false;
        std::u16string why;
        EXPECT_TRUE(m_printer->printToPdf(pdf, [&](bool success, const std::u16string& error) {
            ended = true;
            ok = success;
            why = error;
        }));
        EXPECT_TRUE(runEventsUntil([&] { return ended; }, 30000));
        EXPECT_TRUE(ok) << toUtf8(why);
        return pdf;
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    std::unique_ptr<HtmlPrinter> m_printer;
};

TEST_F(Printer, TheTemplateStandsAboveThePageMadeFromIt) {
    HtmlPrinter& printer = open(
        {{u"<b>Good</b> morning.", u"おはよう", u""}, {u"Hi.", u"やあ", u""}, {u"Bye.", u"", u""}},
        templatePath());
    ASSERT_NE(printer.browser(), nullptr) << toUtf8(printer.errorText());
    ASSERT_TRUE(written());
    EXPECT_EQ(fromWx(printer.handle()->GetLabel()), HtmlPrinter::kCaption);
    EXPECT_EQ(printer.templateEditor().getText(), replaceAll(fromUtf8(kTemplate), u"\r\n", u"\n"));
    // The editor is 180 high beside the label; the page fills the rest.
    const int width = printer.clientWidth();
    TextEditor& editor = printer.templateEditor();
    EXPECT_EQ(editor.y(), 0);
    EXPECT_EQ(editor.height(), 180);
    EXPECT_EQ(editor.width(), width - 50 - 16);
    EXPECT_EQ(printer.browser()->y(), 180);
    EXPECT_EQ(printer.browser()->width(), width);
    EXPECT_EQ(printer.browser()->height(), printer.clientHeight() - 180);

    EXPECT_EQ(evaluate(u"document.querySelectorAll('p.s').length"), u"3");
    EXPECT_EQ(evaluate(u"document.querySelector('p.s').innerHTML"), u"<b>Good</b> morning.");
    EXPECT_EQ(evaluate(u"document.title"), u"Daily & Talk");
    EXPECT_EQ(evaluate(u"document.querySelector('h1').textContent"), u"Daily & Talk");
    EXPECT_EQ(evaluate(u"getComputedStyle(document.querySelector('p.s')).color"),
              u"rgb(18, 52, 86)");
    // Outside the block the placeholder stays.
    EXPECT_EQ(evaluate(u"document.body.lastElementChild.textContent"), u"[sentence]");
}

TEST_F(Printer, EveryEditRebuildsThePageUnlessTheBlockIsIncomplete) {
    HtmlPrinter& printer = open(numberedItems(2), templatePath());
    ASSERT_TRUE(written());
    TextEditor& editor = printer.templateEditor();
    editor.selectAll();
    editor.replaceSelection(
        u"<style>li { color: red; }</style><ul><!--repeat--><li>[sentence]</li>"
        u"<li>[sentence]</li><!--/repeat--></ul>");
    ASSERT_TRUE(written());
    EXPECT_EQ(evaluate(u"document.querySelectorAll('li').length"), u"4");
    EXPECT_EQ(evaluate(u"getComputedStyle(document.querySelector('li')).color"), u"rgb(255, 0, 0)");
    // The style went from the template, so it goes from the page too.
    editor.selectAll();
    editor.replaceSelection(u"<ol><!--repeat--><li>[translation]</li><!--/repeat--></ol>");
    ASSERT_TRUE(written());
    EXPECT_EQ(evaluate(u"document.querySelectorAll('ol li').length"), u"2");
    EXPECT_EQ(evaluate(u"getComputedStyle(document.querySelector('li')).color"), u"rgb(0, 0, 0)");
    // Typing the start of a new block leaves the last page standing.
    editor.selectAll();
    editor.replaceSelection(u"<p>[title]</p><!--repeat--><i>[sentence]</i>");
    test::runEventsFor(200);
    ASSERT_TRUE(written());
    EXPECT_EQ(evaluate(u"document.querySelectorAll('ol li').length"), u"2");
    EXPECT_EQ(evaluate(u"document.querySelectorAll('i').length"), u"0");
}

TEST_F(Printer, TheShippedTemplatePrints24SentencesAPageInTheirOrder) {
    ASSERT_EQ(test::missingPdfTools(), "");
    const std::string shipped = test::sourceDir() + "/Resources/print.html";
    struct Case {
        int items;
        int pages;
    };
    for (const Case& c : {Case{1, 1}, Case{24, 1}, Case{25, 2}, Case{48, 2}, Case{49, 3}}) {
        open(numberedItems(c.items), shipped);
        ASSERT_TRUE(written()) << c.items;
        const std::string pdf = printed(c.items);
        EXPECT_EQ(test::pdfPageCount(pdf), c.pages) << c.items;
        const std::string text = test::pdfText(pdf);
        size_t at = 0;
        for (int i = 1; i <= c.items; ++i) {
            const std::string sentence = "Sentence " + std::to_string(i) + " is here.";
            const size_t found = text.find(sentence, at);
            ASSERT_NE(found, std::string::npos) << c.items << ": " << sentence << "\n" << text;
            // A new page starts with the 25th, 49th, ... sentence.
            const size_t pageStart = text.rfind('\f', found);
            const int page = static_cast<int>(std::count(text.begin(), text.begin() + found, '\f'));
            EXPECT_EQ(page, (i - 1) / 24) << c.items << ": " << sentence;
            if (i % 24 == 1 && i > 1) {
                EXPECT_EQ(text.find("Sentence", pageStart), found) << sentence;
            }
            at = found + sentence.size();
        }
        EXPECT_NE(text.find("Daily & Talk"), std::string::npos);
        EXPECT_NE(text.find("はここにあります"), std::string::npos);
        m_printer.reset();
    }
}

TEST_F(Printer, PdfAsksForTheFileAndWritesIt) {
    HtmlPrinter& printer = open(numberedItems(3), templatePath());
    ASSERT_TRUE(written());
    const std::string chosen = m_dir.file("Daily lesson");
    m_ui->chosenFiles.push_back(fromUtf8(chosen));
    printer.onCommand(
        Command{HtmlPrinter::kPdfButton, codes::kClicked, printer.pdfButton().handle()});
    ASSERT_EQ(m_ui->fileRequests.size(), 1u);
    EXPECT_TRUE(m_ui->fileRequests[0].save);
    EXPECT_EQ(m_ui->fileRequests[0].defaultName, u"Daily & Talk.pdf");
    // A name without an extension gets ".pdf".
    const std::string pdf = chosen + ".pdf";
    ASSERT_TRUE(runEventsUntil(
        [&] {
            return std::filesystem::exists(pdf) &&
                   test::readAll(pdf).find("%%EOF") != std::string::npos;
        },
        30000));
    EXPECT_EQ(test::readAll(chosen + ".pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(m_ui->boxes.empty());

    // A cancelled chooser prints nothing.
    m_ui->chosenFiles.push_back(std::nullopt);
    printer.saveAsPdf();
    test::runEventsFor(100);
    EXPECT_EQ(m_ui->fileRequests.size(), 2u);
    EXPECT_TRUE(m_ui->boxes.empty());
}

TEST_F(Printer, WithoutTheWebEngineTheDialogSaysWhyAndCannotPrint) {
    WebBrowser::setEngineModulePath("/nonexistent/phrasewright-webkit.so");
    HtmlPrinter& printer = open(numberedItems(2), templatePath());
    WebBrowser::setEngineModulePath("");
    EXPECT_EQ(printer.browser(), nullptr);
    EXPECT_NE(printer.errorText().find(u"/nonexistent/phrasewright-webkit.so"),
              std::u16string::npos)
        << toUtf8(printer.errorText());
    EXPECT_FALSE(printer.printButton().isEnabled());
    EXPECT_FALSE(printer.pdfButton().isEnabled());
    EXPECT_FALSE(printer.print());
    // The template is still there to read and edit.
    EXPECT_FALSE(printer.templateEditor().getText().empty());
    printer.templateEditor().selectAll();
    printer.templateEditor().replaceSelection(u"<!--repeat-->[sentence]<!--/repeat-->");
    EXPECT_TRUE(m_ui->boxes.empty());
}

}  // namespace
}  // namespace pw
