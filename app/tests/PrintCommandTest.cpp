// "phrasewright --print": its arguments, and what it refuses before the web
// engine is started (a file or template it cannot use, rows the file does
// not have, no display).
#include "app/PrintCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

TEST(PrintCommand, ArgumentsAndTheirMistakes) {
    std::string error;
    const std::optional<PrintArguments> all = parsePrintArguments(
        {"lesson.xml", "--rows", "2-5", "--template", "mine.html", "--pdf", "out.pdf"}, error);
    ASSERT_TRUE(all) << error;
    EXPECT_EQ(all->file, "lesson.xml");
    EXPECT_EQ(all->pdf, "out.pdf");
    EXPECT_EQ(all->templatePath, "mine.html");
    EXPECT_EQ(all->firstRow, 2);
    EXPECT_EQ(all->lastRow, 5);

    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"lesson.xml"}, "--pdf OUT.pdf are needed"},
        {{"--pdf", "out.pdf"}, "--pdf OUT.pdf are needed"},
        {{"lesson.xml", "--pdf"}, "--pdf needs a value"},
        {{"lesson.xml", "--pdf", "o.pdf", "--rows", "5-2"}, "--rows takes A-B"},
        {{"lesson.xml", "--pdf", "o.pdf", "--rows", "0"}, "--rows takes A-B"},
        {{"lesson.xml", "--pdf", "o.pdf", "--colour", "red"}, "unknown option --colour"},
        {{"a.xml", "b.xml", "--pdf", "o.pdf"}, "one learning file only: b.xml"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(parsePrintArguments(c.args, error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

class PrintRefusal : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeAll(m_lesson,
                       "<SentenceList><SentenceGroup><sentence><![CDATA[Hi.]]>"
                       "</sentence></SentenceGroup></SentenceList>");
        test::writeAll(m_template, "<p><!--repeat-->[sentence]<!--/repeat--></p>");
    }
    int print(PrintArguments arguments) {
        m_out.str("");
        m_err.str("");
        return runPrint(arguments, m_out, m_err);
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    std::string m_lesson = m_dir.file("lesson.xml");
    std::string m_template = m_dir.file("print.html");
    std::string m_pdf = m_dir.file("out.pdf");
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(PrintRefusal, WhatCannotBePrintedIsSaidBeforeAnythingIsWritten) {
    test::ScopedEnv noDisplay("DISPLAY", "");
    test::ScopedEnv noWayland("WAYLAND_DISPLAY", "");
    struct Case {
        PrintArguments arguments;
        int status;
        const char* error;
    };
    const Case cases[] = {
        {{m_dir.file("none.xml"), m_pdf, m_template}, 1, "cannot open"},
        {{m_lesson, m_pdf, m_template, 2, 2}, 2, "has 1 sentences"},
        {{m_lesson, m_pdf, m_dir.file("none.html")}, 1, "none.html cannot be read"},
        {{m_lesson, m_pdf, m_lesson}, 1, "has no repeated block"},
        // Everything is in order, but the web engine needs a display.
        {{m_lesson, m_pdf, m_template}, 1, "needs a display"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(print(c.arguments), c.status) << c.error;
        EXPECT_NE(m_err.str().find(c.error), std::string::npos) << m_err.str();
        EXPECT_EQ(m_out.str(), "");
    }
    EXPECT_NE(m_err.str().find("xvfb-run"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_pdf));
}

}  // namespace
}  // namespace pw
