// Saving documents: the bytes of each declared encoding, what a peer parser
// reads back, and that a failed save leaves the old file alone.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "xml/XMLParser.h"

namespace pw {
namespace {

using test::readAll;
using test::TempDir;
using test::writeAll;

const std::u16string kBody =
    u"<SentenceList>\r\n"
    u"\t<SentenceGroup check1=\"1\" score=\"87\">\r\n"
    u"\t\t<sentence>\r\n\t\t\t<![CDATA[Could you pass me the salt?]]>\r\n\t\t</sentence>\r\n"
    u"\t\t<translation>\r\n\t\t\t<![CDATA[塩を取っていただけますか？～]]>\r\n"
    u"\t\t</translation>\r\n"
    u"\t</SentenceGroup>\r\n"
    u"</SentenceList>";

std::u16string declared(const char16_t* encoding) {
    return u"<?xml version=\"1.0\" encoding=\"" + std::u16string(encoding) + u"\"?>\r\n";
}

TEST(XMLWrite, SavesInTheDeclaredEncodingAndReadsBack) {
    struct Case {
        std::u16string declaration;  // empty: a document without one
        std::string startsWith;
        std::u16string writtenDeclaration;
    };
    const Case cases[] = {
        {declared(u"UTF-8"), "\xEF\xBB\xBF<?xml", declared(u"UTF-8")},
        {declared(u"utf8"), "\xEF\xBB\xBF<?xml", declared(u"utf8")},
        {declared(u"UTF-16"), std::string("\xFF\xFE<\0?\0", 6), declared(u"UTF-16")},
        {u"", std::string("\xFF\xFE<\0?\0", 6), declared(u"UTF-16")},
        {declared(u"EUC-JP"), "<?xml", declared(u"EUC-JP")},
        {declared(u"Shift_JIS"), "<?xml", declared(u"Shift_JIS")},
    };
    setenv("LC_ALL", "C", 1);  // Shift_JIS must not depend on the locale
    TempDir dir;
    for (const Case& c : cases) {
        XMLParser doc;
        ASSERT_TRUE(doc.parseString(c.declaration + kBody));
        const std::string path = dir.file("out.xml");
        std::string error;
        ASSERT_TRUE(doc.saveAs(path, &error)) << error;
        const std::string bytes = readAll(path);
        EXPECT_TRUE(bytes.starts_with(c.startsWith)) << toUtf8(c.declaration);
        EXPECT_EQ(doc.toXmlText(), c.writtenDeclaration + kBody);

        XMLParser back;
        ASSERT_TRUE(back.load(path)) << toUtf8(c.declaration);
        EXPECT_EQ(back.toXmlText(), c.writtenDeclaration + kBody) << toUtf8(c.declaration);
    }
    // The Japanese text is there in the legacy encodings' own bytes.
    XMLParser sjis;
    ASSERT_TRUE(sjis.parseString(declared(u"Shift_JIS") + kBody));
    ASSERT_TRUE(sjis.saveAs(dir.file("sjis.xml")));
    EXPECT_NE(readAll(dir.file("sjis.xml")).find("\x89\x96\x82\xF0\x8E\xE6"), std::string::npos);
    unsetenv("LC_ALL");
}

// Loads the file at path, checks the translation's text and saves it again
// over itself: a document read and saved without edits keeps its bytes.
void expectByteIdenticalRoundTrip(const std::string& path, const std::u16string& translation,
                                  const std::string& label) {
    const std::string before = readAll(path);
    XMLParser doc;
    ASSERT_TRUE(doc.load(path)) << label;
    const Element* node = doc.getRoot()->findFirst(u"translation");
    ASSERT_NE(node, nullptr) << label;
    EXPECT_EQ(node->cdataText(), translation) << label;
    std::string error;
    ASSERT_TRUE(doc.saveAs(path, &error)) << label << ": " << error;
    EXPECT_EQ(readAll(path), before) << label;
}

TEST(XMLWrite, HalfWidthKatakanaInShiftJisReadAndSaveAsThemselves) {
    // The bytes of ｺﾝﾆﾁﾜｰ are also well-formed EUC-JP (three kanji).
    test::ScopedEnv locale("LC_ALL", "C");
    TempDir dir;
    const std::u16string katakana = u"ｺﾝﾆﾁﾜｰ";
    XMLParser doc;
    ASSERT_TRUE(doc.parseString(declared(u"Shift_JIS") +
                                u"<SentenceList><SentenceGroup><translation><![CDATA[" + katakana +
                                u"]]></translation></SentenceGroup></SentenceList>"));
    ASSERT_TRUE(doc.saveAs(dir.file("kana.xml")));
    EXPECT_NE(readAll(dir.file("kana.xml")).find("\xBA\xDD\xC6\xC1\xDC\xB0"), std::string::npos);
    expectByteIdenticalRoundTrip(dir.file("kana.xml"), katakana, "declared Shift_JIS");

    // Without a declaration, in a Japanese locale, the text is still katakana.
    test::ScopedEnv japanese("LC_ALL", "ja_JP.UTF-8");
    writeAll(dir.file("bare.xml"),
             "<SentenceList><translation><![CDATA[\xBA\xDD\xC6\xC1\xDC\xB0"
             "]]></translation></SentenceList>");
    XMLParser bare;
    ASSERT_TRUE(bare.load(dir.file("bare.xml")));
    EXPECT_EQ(bare.getRoot()->findFirst(u"translation")->cdataText(), katakana);
}

TEST(XMLWrite, EucJpKeepsThreeByteCharactersAndAccentsOverASave) {
    TempDir dir;
    // 丂 is JIS X 0212, é a three-byte sequence too, 纊 a two-byte NEC-selected
    // IBM extension.
    const std::u16string translation = u"丂とé、纊";
    XMLParser doc;
    ASSERT_TRUE(doc.parseString(declared(u"EUC-JP") +
                                u"<SentenceList><SentenceGroup><translation><![CDATA[" +
                                translation + u"]]></translation></SentenceGroup></SentenceList>"));
    std::string error;
    ASSERT_TRUE(doc.saveAs(dir.file("euc.xml"), &error)) << error;
    EXPECT_NE(readAll(dir.file("euc.xml")).find("\x8F\xB0\xA1\xA4\xC8\x8F\xAB\xB1\xA1\xA2\xF9\xA1"),
              std::string::npos);
    expectByteIdenticalRoundTrip(dir.file("euc.xml"), translation, "EUC-JP");

    // A character EUC-JP cannot hold refuses the save and keeps the file.
    const std::string before = readAll(dir.file("euc.xml"));
    doc.getRoot()->findFirst(u"translation")->firstCDataChild()->setText(u"絵文字 \U0001F600");
    EXPECT_FALSE(doc.saveAs(dir.file("euc.xml"), &error));
    EXPECT_NE(error.find("cannot be written in the chosen encoding"), std::string::npos) << error;
    EXPECT_EQ(readAll(dir.file("euc.xml")), before);
}

TEST(XMLWrite, MixedContentStaysTheSameOverRepeatedSaves) {
    const std::u16string cases[] = {
        u"<title>Travel <![CDATA[phrases]]></title>",
        u"<p>Hello <b>world</b> again</p>",
        u"<p><b>x</b> tail</p>",
        u"<r><a>1</a>text<![CDATA[c]]><b/>more</r>",
    };
    for (const auto& source : cases) {
        XMLParser first;
        ASSERT_TRUE(first.parseString(source));
        const std::u16string once = first.getRoot()->toXmlString();
        XMLParser second;
        ASSERT_TRUE(second.parseString(once));
        EXPECT_EQ(second.getRoot()->toXmlString(), once) << toUtf8(source);
    }
}

TEST(XMLWrite, ALaterDocumentWithoutDeclarationKeepsTheEarlierOne) {
    TempDir dir;
    XMLParser doc;
    ASSERT_TRUE(doc.parseString(declared(u"Shift_JIS") + u"<a/>"));
    ASSERT_TRUE(doc.parseString(u"<b>日本</b>"));
    EXPECT_EQ(doc.getEncoding(), XMLParser::kDeclaredShiftJis);
    ASSERT_TRUE(doc.saveAs(dir.file("b.xml")));
    EXPECT_EQ(readAll(dir.file("b.xml")),
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<b>\x93\xFA\x96\x7B</b>");
}

TEST(XMLWrite, FailedSavesLeaveTheOldFileByteIdentical) {
    TempDir dir;
    const std::string path = dir.file("keep.xml");
    writeAll(path, "old bytes");
    std::string error;

    XMLParser sjis;  // Hangul has no Shift_JIS form
    ASSERT_TRUE(sjis.parseString(declared(u"Shift_JIS") + u"<a>한국어</a>"));
    EXPECT_FALSE(sjis.saveAs(path, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readAll(path), "old bytes");

    XMLParser euc;
    ASSERT_TRUE(euc.parseString(declared(u"EUC-JP") + u"<a>\U0001F600</a>"));
    EXPECT_FALSE(euc.saveAs(path));
    EXPECT_EQ(readAll(path), "old bytes");

    XMLParser fine;
    ASSERT_TRUE(fine.parseString(u"<a/>"));
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(fine.saveAs(path, &error));
    EXPECT_NE(error.find("read-only"), std::string::npos);
    EXPECT_EQ(readAll(path), "old bytes");
    EXPECT_FALSE(fine.saveAs(dir.file("missing/folder.xml")));

    test::ScopedRecordingUi ui;
    XMLParser empty;
    EXPECT_FALSE(empty.saveAs(dir.file("none.xml")));
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text,
              u"XMLParser.saveAs() is called, but rootElement is null so couldn't save xml "
              u"file.\nIt may be a kind of bag.");
}

// The canonical form that `xmllint --noblanks --c14n` prints for our tree.
void appendCanonical(const Element& e, std::u16string& out) {
    auto escaped = [&out](std::u16string_view text, bool attribute) {
        for (char16_t c : text) {
            switch (c) {
                case u'&':
                    out += u"&amp;";
                    break;
                case u'<':
                    out += u"&lt;";
                    break;
                case u'>':
                    out += attribute ? u">" : u"&gt;";
                    break;
                case u'"':
                    out += attribute ? u"&quot;" : u"\"";
                    break;
                case u'\r':
                    out += u"&#xD;";
                    break;
                default:
                    out += c;
            }
        }
    };
    if (!e.isElement()) {
        escaped(e.getText(), false);
        return;
    }
    out += u"<" + e.getName();
    for (const auto& [name, value] : e.getAttributes()) {
        out += u" " + name + u"=\"";
        escaped(value, true);
        out += u"\"";
    }
    out += u">";
    if (!e.hasChildren()) {
        escaped(e.getText(), false);
    }
    for (const Element* c = e.getFirstChild(); c; c = c->getNextSibling()) {
        appendCanonical(*c, out);
    }
    out += u"</" + e.getName() + u">";
}

std::string runCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    const int status = pclose(pipe);
    return status == 0 ? output : "exit status " + std::to_string(status) + ": " + output;
}

TEST(XMLWrite, APeerParserReadsTheSameContent) {
    ASSERT_EQ(std::system("xmllint --version >/dev/null 2>&1"), 0)
        << "xmllint (libxml2-utils) is needed for this test";
    XMLParser doc;
    ASSERT_TRUE(doc.load(test::sourceDir() + "/Data/EverydayEnglish.xml"));
    Element* group = doc.elements(u"SentenceGroup").at(0);
    group->setIntAttribute(u"score", 95);
    group->attribute(u"note") = u"quote \" amp & lt < apos ' gt >";
    Element* extra = doc.getRoot()->appendElement(u"SentenceGroup");
    extra->appendElement(u"sentence")->appendCData(u"Ends with ]]> inside, & <b>bold</b>");
    extra->appendElement(u"translation")->appendText(u"plain <text> & \"more\"");
    extra->appendElement(u"explanation")->setEmptyTag(true);

    std::u16string expected;
    appendCanonical(*doc.getRoot(), expected);
    // The sample declares UTF-8; a document without a declaration is UTF-16.
    XMLParser utf16;
    utf16.setRoot(doc.getRoot()->clone());
    TempDir dir;
    for (XMLParser* document : {&doc, &utf16}) {
        const std::string path = dir.file("peer.xml");
        ASSERT_TRUE(document->saveAs(path));
        EXPECT_EQ(runCommand("xmllint --noblanks --c14n '" + path + "' 2>&1"), toUtf8(expected))
            << document->getEncoding();
    }
}

}  // namespace
}  // namespace pw
