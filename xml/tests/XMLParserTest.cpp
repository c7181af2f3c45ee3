// Reading documents: the accepted subset, every error with its place, the
// declaration, the index, and that a failed parse changes nothing.
#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "xml/XMLParser.h"
#include "xml/XmlReader.h"

namespace pw {
namespace {

using test::ScopedRecordingUi;

std::vector<std::u16string> childNames(const Element* e) {
    std::vector<std::u16string> names;
    for (const Element* c = e->getFirstChild(); c; c = c->getNextSibling()) {
        names.push_back(c->isElement() ? c->getName() : c->isCData() ? u"#cdata" : u"#text");
    }
    return names;
}

TEST(XMLParser, EveryErrorIsReportedWithItsNumberAndPlace) {
    struct Case {
        std::u16string source;
        int line, row, column;
        std::u16string message;
    };
    const Case cases[] = {
        {u"<a><1/></a>", 216, 1, 4, u""},
        {u"<a>\n</a/>", 230, 2, 3, u""},
        {u"<a#>", 237, 1, 2, u""},
        {u"<a ?>", 252, 1, 3, u""},
        {u"<a></a />", 256, 1, 7, u""},
        {u"<a b='1' #>", 261, 1, 9, u""},
        {u"<a b = \"1\">", 272, 1, 4, u""},
        {u"<a b= \"1\">", 280, 1, 5, u""},
        {u"<a>\r\n  <b>\r\n  <c d=1/>", 280, 3, 7, u""},
        {u"<a/ >", 297, 1, 3, u""},
        {u"<?xml version=\"\" encoding=\"UTF-8\"?>", 442, 1, 34, u"version attribute is empty"},
        {u"<?xml version=\"1.0\"?>", 444, 1, 20, u"encoding attribute is empty"},
        {u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", 468, 1, 42,
         u"ISO-8859-1: This encoding is not supported"},
        {u"</a>", 511, 1, 3, u"要素"},
        {u"<a>\n<b></a>", 516, 2, 6, u"要素が部分的に重ねられています　<A><B></A></B>\r\na > b"},
    };
    for (const Case& c : cases) {
        ScopedRecordingUi ui;
        XMLParser doc;
        EXPECT_FALSE(doc.parseString(c.source)) << c.line;
        ASSERT_TRUE(doc.lastError()) << c.line;
        EXPECT_EQ(doc.lastError()->line, c.line);
        EXPECT_EQ(doc.lastError()->row, c.row) << c.line;
        EXPECT_EQ(doc.lastError()->column, c.column) << c.line;
        EXPECT_EQ(doc.lastError()->message, c.message) << c.line;
        EXPECT_EQ(ui->boxes.size(), 1u) << c.line;
    }
}

TEST(XMLParser, TheErrorBoxShowsPathPlaceAndTheLineUpToTheFault) {
    test::TempDir dir;
    const std::string path = dir.file("bad.xml");
    test::writeAll(path, "<r>\r\n  <b c = 1>\r\n</r>");
    ScopedRecordingUi ui;
    XMLParser doc;
    EXPECT_FALSE(doc.load(path));
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].caption, u"Korvant");
    const std::u16string pathText(path.begin(), path.end());
    EXPECT_EQ(ui->boxes[0].text,
              u"Exception in XMLParser.parse():\r\nXMLParser line:272\r\n"
              u"\r\nRow:2 Col:6 in " +
                  pathText + u"\r\n  <b c ");
    EXPECT_EQ(doc.getPath(), "");
}

TEST(XMLParser, OnlyThePredefinedReferencesAreDecoded) {
    XMLParser doc;
    ASSERT_TRUE(doc.parseString(
        u"<a t=\"x&amp;y&lt;&quot;&apos;&gt;\" n='&#65;&unknown;'>1 &amp; 2 &#65; &nbsp; 3</a>"));
    const Element* a = doc.getRoot();
    EXPECT_EQ(a->getAttribute(u"t"), u"x&y<\"'>");
    EXPECT_EQ(a->getAttribute(u"n"), u"");
    EXPECT_EQ(a->deepText(), u"1 & 2   3");

    // An "&" never closed swallows content up to the next ";", across tags.
    ASSERT_TRUE(doc.parseString(u"<a>x &amp y</a><b>z;w</b>"));
    EXPECT_EQ(doc.getRoot()->deepText(), u"x w");
}

TEST(XMLParser, AttributesAreSortedWithTheLastValueOfANameAndStayInTheirTag) {
    struct Case {
        std::u16string_view source;
        std::u16string_view startTag;  // of the root's first child
        std::u16string_view text;      // the root's deep text
    };
    const Case cases[] = {
        {u"<r><a b=\"1\" c='2'/></r>", u"<a b=\"1\" c=\"2\" />", u""},
        {u"<r><a z=\"1\" b=\"2\" z='3'/></r>", u"<a b=\"2\" z=\"3\" />", u""},
        {u"<r><a b=\"1\" b=\"\"/></r>", u"<a b=\"\" />", u""},
        // References run on from one value into the next; the values end with the tag.
        {u"<r><a x=\"1&am\" y=\"p;2\">t</a></r>", u"<a x=\"1\" y=\"&amp;2\">", u"t"},
        {u"<r><a></a x=\"v\">t</r>", u"<a>", u"t"},
        {u"<r><a x=\"&lt;&gt;\"></a><b y='\"'>&amp;</b></r>", u"<a x=\"&lt;&gt;\">", u"&"},
    };
    for (const Case& c : cases) {
        XMLParser doc;
        ASSERT_TRUE(doc.parseString(c.source)) << toUtf8(c.source);
        EXPECT_EQ(doc.getRoot()->getFirstChild()->startTag(), c.startTag) << toUtf8(c.source);
        EXPECT_EQ(doc.getRoot()->deepText(), c.text) << toUtf8(c.source);
    }
}

TEST(XMLParser, BuildsTheTreeTheProgramExpects) {
    XMLParser doc;
    ASSERT_TRUE(
        doc.parseString(u"<a>\r\n\t<b x=\"1\"/>\r\n\t<c>\r\n\t</c> tail<!-- <d/> -- -->"
                        u"<![CDATA[ <raw>&amp;]] ]]]><![CDATA[]]>\r\n</a>"
                        u" after <e/>"));
    const Element* a = doc.getRoot();
    EXPECT_EQ(childNames(a),
              (std::vector<std::u16string>{u"b", u"c", u"#text", u"#cdata", u"#text", u"e"}));
    EXPECT_EQ(a->getText(), u"\r\n");  // white space alone is the element's text
    const Element* b = a->getFirstChild();
    EXPECT_TRUE(b->isEmptyTag());
    EXPECT_FALSE(b->hasChildren());
    EXPECT_EQ(b->getAttribute(u"x"), u"1");
    EXPECT_FALSE(b->getNextSibling()->isEmptyTag());
    EXPECT_EQ(b->getNextSibling()->getText(), u"\r\n\t");
    EXPECT_EQ(a->firstCDataChild()->getText(), u" <raw>&amp;]] ]");
    EXPECT_EQ(a->getLastChild()->getPreviousSibling()->getText(), u" after ");

    // Sections split where the text held "]]>" come back as one.
    ASSERT_TRUE(doc.parseString(u"<s><![CDATA[a]]]]><![CDATA[>b]]></s>"));
    EXPECT_EQ(doc.getRoot()->cdataText(), u"a]]>b");
    EXPECT_EQ(childNames(doc.getRoot()).size(), 1u);
}

TEST(XMLParser, IndexListsElementsInSourceOrder) {
    XMLParser doc;
    ASSERT_TRUE(doc.parseString(u"<l><g><s>1</s></g><s>2</s><g><s>3</s></g></l>"));
    const auto& sentences = doc.elements(u"s");
    ASSERT_EQ(sentences.size(), 3u);
    EXPECT_EQ(sentences[0]->deepText(), u"1");
    EXPECT_EQ(sentences[2]->deepText(), u"3");
    EXPECT_EQ(doc.elements(u"g").size(), 2u);
    EXPECT_TRUE(doc.elements(u"missing").empty());

    auto root = std::make_unique<Element>(u"x");
    root->appendElement(u"s")->appendElement(u"s");
    doc.setRoot(std::move(root));
    EXPECT_EQ(doc.elements(u"s").size(), 2u);
    EXPECT_TRUE(doc.elements(u"g").empty());
    doc.clear();
    EXPECT_EQ(doc.getRoot(), nullptr);
    EXPECT_TRUE(doc.elements(u"s").empty());
}

TEST(XMLParser, AFailedParseChangesNothing) {
    ScopedRecordingUi ui;
    XMLParser doc;
    ASSERT_TRUE(doc.parseString(u"<?xml version=\"1.0\" encoding=\"utf-8\"?><a><s/></a>"));
    Element* root = doc.getRoot();
    const std::u16string declaration = doc.getDeclaration();

    const std::u16string failing[] = {
        u"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><b></c>",  // error after a declaration
        u"<?xml version=\"1.0\" encoding=\"EUC-JP\"?>",            // no element at all
        u"<!DOCTYPE b><b/>",                                       // not supported
        u"",
    };
    for (const auto& source : failing) {
        EXPECT_FALSE(doc.parseString(source));
        EXPECT_EQ(doc.getRoot(), root);
        EXPECT_EQ(doc.elements(u"s").size(), 1u);
        EXPECT_EQ(doc.getDeclaration(), declaration);
        EXPECT_EQ(doc.getEncoding(), XMLParser::kDeclaredUtf8);
    }
    EXPECT_EQ(ui->boxes.size(), 1u);  // only the malformed one is shown
}

TEST(XMLParser, DeclarationIsRebuiltAndOutlivesLaterDocuments) {
    XMLParser doc;
    EXPECT_EQ(doc.getEncoding(), XMLParser::kDeclaredUtf16);
    ASSERT_TRUE(doc.parseString(
        u"<?xml version='1.0' standalone='yes' encoding='utf-8' a='&quot;'?>\r\n<r/>"));
    EXPECT_EQ(doc.getEncoding(), XMLParser::kDeclaredUtf8);
    EXPECT_EQ(doc.getDeclaration(),
              u"<?xml version=\"1.0\" encoding=\"utf-8\" a=\"&quot;\" standalone=\"yes\"?>");

    const std::pair<std::u16string, int> names[] = {
        {u"Shift_JIS", XMLParser::kDeclaredShiftJis}, {u"shift-jis", XMLParser::kDeclaredShiftJis},
        {u"EUC-JP", XMLParser::kDeclaredEucJp},       {u"UTF-16", XMLParser::kDeclaredUtf16},
        {u"UTF8", XMLParser::kDeclaredUtf8},
    };
    for (const auto& [name, code] : names) {
        ASSERT_TRUE(doc.parseString(u"<?xml version=\"1.0\" encoding=\"" + name + u"\"?><r/>"));
        EXPECT_EQ(doc.getEncoding(), code);
    }
    ASSERT_TRUE(doc.parseString(u"<r2/>"));
    EXPECT_EQ(doc.getEncoding(), XMLParser::kDeclaredUtf8);
    EXPECT_EQ(doc.getDeclaration(), u"<?xml version=\"1.0\" encoding=\"UTF8\"?>");
    // Processing instructions other than the declaration are ignored.
    ASSERT_TRUE(doc.parseString(u"<?style href=\"x\"?><r3/>"));
    EXPECT_EQ(doc.getRoot()->getName(), u"r3");
}

TEST(XMLParser, UTF8FilesGiveTheSameTreeAndPlacesAsTheirText) {
    // UTF-8 files are read straight from their bytes; columns still count
    // UTF-16 units, so a character outside the BMP counts two.
    const std::u16string sources[] = {
        u"<a>日本\n<b c = 1>",
        u"<a>\U0001F600<b c = 1>",
        u"<a x='é&amp;'><![CDATA[日本]]]]><![CDATA[>語]]>\r\n\t<b/>ｶﾀｶﾅ &lt;</a>",
        u"<a><é/></a>",
        u"<a></ä>",
    };
    for (const std::u16string& source : sources) {
        test::ScopedRecordingUi ui;
        XMLParser fromBytes;
        XMLParser fromText;
        const bool loaded = fromBytes.loadBytes(toUtf8(source));
        EXPECT_EQ(loaded, fromText.parseString(source)) << toUtf8(source);
        if (loaded) {
            EXPECT_EQ(fromBytes.getRoot()->toXmlString(), fromText.getRoot()->toXmlString());
        } else {
            ASSERT_EQ(ui->boxes.size(), 2u);
            EXPECT_EQ(ui->boxes[0].text, ui->boxes[1].text) << toUtf8(source);
        }
    }
    test::ScopedRecordingUi ui;
    XMLParser doc;
    EXPECT_FALSE(doc.loadBytes(toUtf8(u"<a>\U0001F600<b c = 1>")));
    EXPECT_EQ(doc.lastError()->column, 9);
    EXPECT_TRUE(ui->boxes[0].text.ends_with(u"\r\n<a>\U0001F600<b c "));
}

TEST(XMLParser, NamesEndAtTheFirstCharacterOutsideThemWhereverItFalls) {
    // Names in UTF-8 are classed several bytes at a time: each character, at
    // each place in names of every length, ends a tag's or an attribute's
    // name where the reader of UTF-16 text ends it.
    const std::u16string nameCharacters = u"nZ_:09.-az";
    std::vector<std::u16string> others = {u"é", u"日", u"\U0001F600"};
    for (char16_t c = 1; c < 128; ++c) {
        others.emplace_back(1, c);
    }
    for (size_t length = 1; length <= 20; ++length) {
        std::u16string name;
        for (size_t i = 0; i < length; ++i) {
            name += nameCharacters[i % nameCharacters.size()];
        }
        for (const std::u16string& next : others) {
            const std::u16string source =
                u"<r><" + name + next + u" a" + name + next + u"='1'/></" + name + next + u"></r>";
            XMLParser fromBytes;
            XMLParser fromText;
            fromBytes.setShowsErrors(false);
            fromText.setShowsErrors(false);
            // The byte order mark has ASCII bytes read as UTF-8 too.
            const bool loaded = fromBytes.loadBytes("\xEF\xBB\xBF" + toUtf8(source));
            ASSERT_EQ(loaded, fromText.parseString(source)) << toUtf8(source);
            if (loaded) {
                EXPECT_EQ(fromBytes.getRoot()->toXmlString(), fromText.getRoot()->toXmlString());
            } else {
                EXPECT_EQ(fromBytes.lastError()->line, fromText.lastError()->line);
                EXPECT_EQ(fromBytes.lastError()->column, fromText.lastError()->column)
                    << toUtf8(source);
            }
        }
    }
}

TEST(XMLParser, AnEndTagMustMatchItsStartTagInEveryCharacter) {
    // Names are compared a word at a time in UTF-8: a difference at any place
    // in a name of any length, and in the order of attribute names, is seen.
    // The byte order mark has the bytes read as UTF-8, not as ASCII text.
    const std::string utf8 = "\xEF\xBB\xBF";
    for (size_t length = 1; length <= 24; ++length) {
        std::string name;
        for (size_t i = 0; i < length; ++i) {
            name += static_cast<char>('a' + i % 26);
        }
        XMLParser same;
        EXPECT_TRUE(same.loadBytes(utf8 + "<r><" + name + "/><" + name + "></" + name + "></r>"));
        for (size_t at = 0; at < length; ++at) {
            std::string other = name;
            other[at] = 'Z';
            XMLParser parser;
            parser.setShowsErrors(false);
            EXPECT_FALSE(parser.loadBytes(utf8 + "<r><" + name + "></" + other + "></r>")) << other;
            ASSERT_TRUE(parser.lastError());
            EXPECT_EQ(parser.lastError()->line, 516) << other;
            // Two names that a wrong comparison would take for one come out
            // as two elements of the index.
            XMLParser two;
            ASSERT_TRUE(two.loadBytes(utf8 + "<r><" + name + "/><" + other + "/></r>"));
            EXPECT_EQ(two.getRoot()->getFirstChild()->getName(), fromUtf8(name));
            EXPECT_EQ(two.getRoot()->getLastChild()->getName(), fromUtf8(other));
            const std::string attributes = " " + name + "='1' " + other + "='2'";
            ASSERT_TRUE(two.loadBytes(utf8 + "<r" + attributes + "/>"));
            EXPECT_EQ(two.getRoot()->getAttribute(fromUtf8(name)), u"1");
            EXPECT_EQ(two.getRoot()->getAttributes().begin()->first, fromUtf8(other)) << other;
        }
    }
}

// What the reader makes of source fed window by window, step new bytes at a
// time, each window ending before a character that may be incomplete.
struct WindowedRead {
    std::u16string tree;  // or the number of the failed check
    std::u16string declaration;
    size_t indexed = 0;
};

WindowedRead readThroughWindows(std::string_view source, size_t step) {
    XmlReader<char> reader;
    std::string pending;
    size_t pos = 0;
    try {
        for (;;) {
            const size_t take = std::min(step, source.size() - pos);
            pending.append(source.substr(pos, take));
            pos += take;
            const bool last = pos == source.size();
            size_t end = pending.size();
            while (!last && end > 0 && static_cast<unsigned char>(pending[end - 1]) >= 0x80) {
                --end;
            }
            pending.erase(0, reader.feed(std::string_view(pending).substr(0, end), last));
            if (last) {
                break;
            }
        }
    } catch (const xml::ParserException& e) {
        return {u"error " + fromUtf8(std::to_string(e.line())), u"", 0};
    }
    WindowedRead read;
    read.tree = reader.root ? reader.root->toXmlString() : u"(no root)";
    read.declaration = reader.declaration.value_or(u"");
    for (const auto& [name, elements] : reader.index) {
        read.indexed += elements.size();
    }
    return read;
}

TEST(XMLParser, AFileReadWindowByWindowGivesTheSameTreeAsReadWhole) {
    const std::string sources[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone='yes'?>\r\n<SentenceList>\r\n"
        "\t<SentenceGroup check=\"1\" score=\"87\">\r\n\t\t<sentence><![CDATA[Could you "
        "pass the salt?]]></sentence>\r\n\t\t<translation><![CDATA[塩を取って]]]]><![CDATA[>"
        "ください]]></translation>\r\n\t</SentenceGroup>\r\n<!-- a -- comment -->\r\n"
        "\t<empty a='x&amp;y&lt;&#65;z' />text &quot;日本&quot; &apos;\U0001F600\r\n</SentenceList>"
        "after <tail/>",
        // A reference left open swallows text across tags; "<!" declarations end the read.
        "<r>a &amp b <c d=\"1\">e;f</c> g</r>",
        "<r><x/><!DOCTYPE swallowed <y/></r>",
        "<r><![CDATA[]]><!----><![CDATA[x]]></r>",
        "<r>" + std::string(300, ' ') + "<deep><deeper>ｶﾀｶﾅ</deeper></deep></r>",
        // White space alone that a window cuts is still the element's whole text.
        "<r><e>\r\n\t\t\t\t</e><f> \t &amp; </f></r>",
        // Malformed: the same check fails at any window.
        "<r><a b = \"1\"/></r>",
        "<r></s>",
        "<r><a></r>",
        "<?xml version=\"1.0\" encoding=\"latin1\"?><r/>",
    };
    for (const std::string& source : sources) {
        const WindowedRead whole = readThroughWindows(source, source.size());
        for (size_t step = 1; step <= 48; ++step) {
            const WindowedRead windows = readThroughWindows(source, step);
            ASSERT_EQ(windows.tree, whole.tree) << step << ": " << source;
            EXPECT_EQ(windows.declaration, whole.declaration) << step;
            EXPECT_EQ(windows.indexed, whole.indexed) << step;
        }
    }
}

// An element's text is the last run of white space read directly inside it,
// whichever window each run came in and whether a reference was in it.
TEST(XMLParser, AnElementKeepsTheLastWhiteSpaceInsideIt) {
    struct Case {
        std::string source;
        std::vector<std::u16string> texts;  // of the root, then its children in order
    };
    const Case cases[] = {
        {"<r>\n <a/>\t\t<b>\r\n</b>  \n</r>", {u"  \n", u"", u"\r\n"}},
        // A run holding a reference that gives nothing replaces a plain one, and back.
        {"<r>\t<a/> &x; </r>", {u"  ", u""}},
        {"<r> &x; <a/>\t</r>", {u"\t", u""}},
        {"<r>\n<a>\t<b/> </a>\r<c/></r>", {u"\r", u" ", u""}},
        // Runs as long as the block the reader classes at once, and longer;
        // a long run that text ends is a text node.
        {"<r>" + std::string(16, ' ') + "<a/>\r\n" + std::string(15, '\t') + "</r>",
         {u"\r\n" + std::u16string(15, u'\t'), u""}},
        {"<r>" + std::string(40, '\t') + "<a/></r>", {std::u16string(40, u'\t'), u""}},
        {"<r>" + std::string(16, ' ') + "x<a/>" + std::string(17, ' ') + "</r>",
         {std::u16string(17, u' '), std::u16string(16, u' ') + u"x", u""}},
        {"<r> \tx<a/>" + std::string(20, ' ') + "</r>", {std::u16string(20, u' '), u" \tx", u""}},
    };
    const auto textsOf = [](const Element* root) {
        std::vector<std::u16string> texts{root->getText()};
        for (const Element* e = root->getFirstChild(); e; e = e->getNextSibling()) {
            texts.push_back(e->getText());
        }
        return texts;
    };
    for (const Case& c : cases) {
        XMLParser doc;
        ASSERT_TRUE(doc.parseString(fromUtf8(c.source))) << c.source;
        EXPECT_EQ(textsOf(doc.getRoot()), c.texts) << c.source;
        for (size_t step = 1; step <= c.source.size(); ++step) {
            XmlReader<char> reader;
            std::string pending;
            for (size_t pos = 0; pos < c.source.size();) {
                pending += c.source.substr(pos, step);
                pos = std::min(pos + step, c.source.size());
                pending.erase(0, reader.feed(pending, pos == c.source.size()));
            }
            ASSERT_TRUE(reader.root) << c.source;
            EXPECT_EQ(textsOf(reader.root.get()), c.texts) << step << ": " << c.source;
        }
    }
}

TEST(XMLParser, LargeFilesLoadTheSameAsTheirBytesWhateverTheirEncoding) {
    test::TempDir dir;
    // Longer than a window, with a CDATA section longer than one too.
    std::string records;
    for (int i = 0; i < 3000; ++i) {
        records += "\t<SentenceGroup n=\"" + std::to_string(i) +
                   "\"><sentence><![CDATA[Sentence number " + std::to_string(i) +
                   " 日本語]]></sentence><!-- note " + std::to_string(i) +
                   " --></SentenceGroup>\r\n";
    }
    const std::string big = "<r>" + records + "<long><![CDATA[" + std::string(300000, 'x') +
                            "]]></long>" + records + "</r>";
    const std::string sjisTail = big.substr(0, big.size() - 4) + "\x93\xFA</r>";  // not UTF-8
    const std::string bomBig = "\xEF\xBB\xBF" + big;
    const std::string badLate = big.substr(0, big.size() - 4) + "<x y=1/></r>";
    const std::string nulLate = big.substr(0, 200000) + std::string(1, '\0') + big.substr(200000);
    for (const std::string* bytes : {&big, &sjisTail, &bomBig, &badLate, &nulLate}) {
        test::ScopedRecordingUi ui;
        test::writeAll(dir.file("big.xml"), *bytes);
        XMLParser fromFile;
        XMLParser fromBytes;
        const bool loaded = fromFile.load(dir.file("big.xml"));
        EXPECT_EQ(loaded, fromBytes.loadBytes(*bytes)) << bytes->size();
        if (loaded) {
            EXPECT_EQ(fromFile.getRoot()->toXmlString(), fromBytes.getRoot()->toXmlString());
            EXPECT_EQ(fromFile.elements(u"SentenceGroup").size(),
                      fromBytes.elements(u"SentenceGroup").size());
            EXPECT_EQ(fromFile.getPath(), dir.file("big.xml"));
        } else {
            // The error is shown once, where it is, as for the bytes.
            ASSERT_EQ(ui->boxes.size(), 2u);
            EXPECT_EQ(fromFile.lastError()->row, fromBytes.lastError()->row);
            EXPECT_EQ(fromFile.lastError()->line, 280);
        }
    }
}

TEST(XMLParser, LoadsEveryEncodingToTheSameTree) {
    const std::string fixtures = test::sourceDir() + "/xml/tests/fixtures/";
    XMLParser reference;
    ASSERT_TRUE(reference.load(fixtures + "utf8_bom.xml"));
    const std::u16string expected = reference.getRoot()->toXmlString();
    EXPECT_NE(expected.find(u"塩を取っていただけますか？"), std::u16string::npos);
    EXPECT_EQ(
        reference.getRoot()->findFirst(u"SentenceGroup")->getNextSibling()->getAttribute(u"note"),
        u"\"ｶﾀｶﾅ\" & more");

    // Shift_JIS is CP932 even where the locale's code page is not.
    setenv("LC_ALL", "C", 1);
    for (const char* name :
         {"utf8.xml", "utf16le.xml", "utf16be.xml", "shift_jis.xml", "euc_jp.xml"}) {
        XMLParser doc;
        ASSERT_TRUE(doc.load(fixtures + name)) << name;
        EXPECT_EQ(doc.getRoot()->toXmlString(), expected) << name;
        EXPECT_EQ(doc.getPath(), fixtures + name);
    }
    unsetenv("LC_ALL");

    XMLParser doc;
    EXPECT_FALSE(doc.load(fixtures + "missing.xml"));
    test::TempDir dir;
    test::writeAll(dir.file("empty.xml"), "");
    EXPECT_FALSE(doc.load(dir.file("empty.xml")));
    EXPECT_EQ(doc.getRoot(), nullptr);
}

}  // namespace
}  // namespace pw
