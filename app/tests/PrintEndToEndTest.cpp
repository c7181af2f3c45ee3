// The real program prints the sample learning file into a PDF, read back as a
// reader of the file would: one page for its eighteen sentences, every
// sentence in its order, and rows chosen on the command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/tests/AudioTestSupport.h"
#include "content/SentenceListModel.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "printing/tests/PdfTools.h"

namespace pw {
namespace {

std::vector<std::string> sampleSentences() {
    SentenceListModel list;
    EXPECT_TRUE(list.open(test::sourceDir() + "/Data/EverydayEnglish.xml"));
    std::vector<std::string> sentences;
    for (int i = 0; i < list.recordCount(); ++i) {
        sentences.push_back(toUtf8(list.text(i, TextKind::Sentence)));
    }
    return sentences;
}

// pdftotext keeps the words, not always the spaces where a line wrapped.
std::string words(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\n' && c != '\f') {
            out += c;
        }
    }
    return out;
}

class PrintEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) {
            GTEST_SKIP() << "needs a display: run under xvfb-run -a";
        }
        ASSERT_EQ(test::missingPdfTools(), "");
    }
    int print(std::vector<std::string> options, std::string* out) {
        std::vector<std::string> argv = {test::runtimeDir() + "/phrasewright", "--print",
                                         test::runtimeDir() + "/Data/EverydayEnglish.xml", "--pdf",
                                         m_pdf};
        argv.insert(argv.end(), options.begin(), options.end());
        return test::runProgram(argv, out);
    }

    test::TempDir m_dir;
    std::string m_pdf = m_dir.file("sample.pdf");
};

TEST_F(PrintEndToEnd, TheSampleFilePrintsOnOnePageWithEverySentenceInOrder) {
    std::string out;
    ASSERT_EQ(print({}, &out), 0);
    const std::vector<std::string> sentences = sampleSentences();
    ASSERT_EQ(sentences.size(), 18u);
    EXPECT_NE(out.find("18 sentences"), std::string::npos) << out;
    // Up to 24 sentences a page.
    EXPECT_EQ(test::pdfPageCount(m_pdf), 1);
    const std::string text = words(test::pdfText(m_pdf));
    EXPECT_NE(text.find(words("Everyday English")), std::string::npos);
    size_t at = 0;
    for (const std::string& sentence : sentences) {
        const size_t found = text.find(words(sentence), at);
        ASSERT_NE(found, std::string::npos) << sentence << "\n" << text;
        at = found + 1;
    }
    EXPECT_NE(text.find(words("おはよう。よく眠れた？")), std::string::npos);
}

TEST_F(PrintEndToEnd, RowsAndATemplateOfOnesOwnAreUsed) {
    const std::string own = m_dir.file("mine.html");
    test::writeAll(own,
                   "<h1>[title]</h1><ol><!--repeat--><li>[sentence] / [translation]</li>"
                   "<!--/repeat--></ol>");
    std::string out;
    ASSERT_EQ(print({"--rows", "2-3", "--template", own}, &out), 0);
    EXPECT_EQ(test::pdfPageCount(m_pdf), 1);
    const std::vector<std::string> sentences = sampleSentences();
    const std::string text = words(test::pdfText(m_pdf));
    EXPECT_EQ(text.find(words(sentences[0])), std::string::npos);
    EXPECT_NE(text.find(words(sentences[1] + " / 塩を取っていただけますか？")), std::string::npos)
        << text;
    EXPECT_NE(text.find(words(sentences[2])), std::string::npos);
    EXPECT_EQ(text.find(words(sentences[3])), std::string::npos);
}

}  // namespace
}  // namespace pw
