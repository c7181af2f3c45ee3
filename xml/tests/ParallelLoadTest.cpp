// Reading a file in two parts at once gives exactly what one reader gives,
// wherever the second part begins: the same tree, index, declaration and
// result, or the same error.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "xml/ParallelLoad.h"
#include "xml/XMLParser.h"

namespace pw {
namespace {

// Restores the default policy when a test ends.
struct ScopedPolicy {
    ~ScopedPolicy() {
        xml::parallelLoad().minimumSize = xml::ParallelLoad().minimumSize;
        xml::parallelLoad().searchFrom.reset();
        xml::parallelLoad().minimumTakeOver = xml::ParallelLoad().minimumTakeOver;
        xml::parallelLoad().takeOverBy.reset();
        xml::parallelLoad().takeOverFrom.reset();
    }
};

// Everything a load leaves: the result, each node in document order with
// every field, the index as positions in that order, the declaration and
// the error.
std::string describe(const std::string& path) {
    XMLParser doc;
    doc.setShowsErrors(false);
    std::string out = doc.load(path) ? "loaded\n" : "refused\n";
    if (doc.lastError()) {
        out += "error " + std::to_string(doc.lastError()->line) + "\n";
    }
    std::map<const Element*, int> order;
    if (const Element* root = doc.getRoot()) {
        for (const Element* e = root; e; e = e->nextInPreOrder(root)) {
            order[e] = static_cast<int>(order.size());
            out += std::to_string(e->depth()) + (e->isCData() ? " cdata " : " node ") +
                   toUtf8(e->getName()) + (e->isEmptyTag() ? "/" : "") + " [" +
                   toUtf8(e->getText()) + "]";
            for (const auto& [name, value] : e->getAttributes()) {
                out += " " + toUtf8(name) + "=" + toUtf8(value);
            }
            // The links walking forwards does not use.
            const Element* parent = e->getParent();
            const Element* before = e->getPreviousSibling();
            if ((before   ? before->getNextSibling()
                 : parent ? parent->getFirstChild()
                          : e) != e ||
                (parent && !e->getNextSibling() && parent->getLastChild() != e)) {
                out += " (links broken)";
            }
            out += "\n";
        }
        std::set<std::u16string> names;
        for (const Element* e = root; e; e = e->nextInPreOrder(root)) {
            if (e->isElement() && names.insert(e->getName()).second) {
                out += "index " + toUtf8(e->getName()) + ":";
                for (const Element* indexed : doc.elements(e->getName())) {
                    out += " " + std::to_string(order.count(indexed) ? order[indexed] : -1);
                }
                out += "\n";
            }
        }
    }
    return out + "declaration " + toUtf8(doc.getDeclaration()) + " " +
           std::to_string(doc.getEncoding()) + "\n";
}

// A file of the given bytes and what one reader makes of it, to compare
// loads in parts with.
struct OneReadersLoad {
    ScopedPolicy restore;
    test::TempDir dir;
    std::string bytes;
    std::string path = dir.file("doc.xml");
    std::string whole;

    explicit OneReadersLoad(std::string text) : bytes(std::move(text)) {
        test::writeAll(path, bytes);
        xml::parallelLoad().minimumSize = SIZE_MAX;
        whole = describe(path);
    }
    // Whether a load as the policy now stands gives the same; how says
    // where the parts were.
    bool same(const std::string& how) const {
        const std::string split = describe(path);
        if (split != whole) {
            ADD_FAILURE() << how << " of\n"
                          << bytes << "\ngives\n"
                          << split << "instead of\n"
                          << whole;
        }
        return split == whole;
    }
};

// Loads bytes with the second part searched for from every byte in turn
// (every "<" then begins it once) and compares each with one reader's load.
// Returns how many of the loads joined two parts.
int expectSameWhereverSplit(const std::string& bytes, size_t step = 1) {
    const OneReadersLoad one(bytes);
    const int joinsBefore = xml::parallelLoad().joins;
    for (size_t from = 1; from < bytes.size(); from += step) {
        xml::parallelLoad().searchFrom = from;
        if (!one.same("second part searched from byte " + std::to_string(from))) {
            break;
        }
    }
    return xml::parallelLoad().joins - joinsBefore;
}

// The same with a third part: for each split (searched from every step-th
// byte) the reader given by `by` takes over from every step-th byte of what
// the other has to read. Returns how many loads joined a part taken over.
int expectSameWhereverTakenOver(const std::string& bytes, int by, size_t step = 1) {
    const OneReadersLoad one(bytes);
    xml::parallelLoad().minimumTakeOver = 0;
    xml::parallelLoad().takeOverBy = by;
    const int before = xml::parallelLoad().takeOvers;
    for (size_t from = 1; from < bytes.size(); from += step) {
        for (size_t taken = 1; taken < bytes.size(); taken += step) {
            if ((by == 0) != (taken > from)) {
                continue;  // each takes over only what lies in the other's part
            }
            xml::parallelLoad().searchFrom = from;
            xml::parallelLoad().takeOverFrom = taken;
            if (!one.same("second part searched from byte " + std::to_string(from) + ", reader " +
                          std::to_string(by) + " taking over from byte " + std::to_string(taken))) {
                return xml::parallelLoad().takeOvers - before;
            }
        }
    }
    return xml::parallelLoad().takeOvers - before;
}

TEST(ParallelLoad, ALearningFileReadsTheSameWhereverItIsSplit) {
    const int joins = expectSameWhereverSplit(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SentenceList>\r\n"
        "\t<title><![CDATA[練習 <b>one</b>]]></title>\r\n"
        "\t<SentenceGroup score=\"80\" check1=\"1\" trial='3'>\r\n"
        "\t\t<sentence><![CDATA[Good morning.]]></sentence>\r\n"
        "\t\t<translation><![CDATA[おはよう。]]></translation>\r\n"
        "\t\t<explanation>a &amp; b &lt;c&gt; &quot;d&quot;</explanation>\r\n"
        "\t</SentenceGroup>\r\n"
        "\t<!-- <SentenceGroup><sentence>a comment</sentence></SentenceGroup> -->\r\n"
        "\t<SentenceGroup a=\"x &lt; y\" b=\"<c\">\r\n"
        "\t\t<sentence/><empty></empty>\r\n"
        "\t\t<sentence>text <i>and</i> markup</sentence>\r\n"
        "\t</SentenceGroup>\r\n</SentenceList>\r\n");
    EXPECT_GE(joins, 12);  // each start tag after the first two begins a second part
}

TEST(ParallelLoad, TextAndSectionsThatSpanTheSplitReadTheSame) {
    // CDATA sections continued by the next one, a reference left open across
    // tags, white space that is the enclosing element's text, and tags in a
    // CDATA section, a comment and a processing instruction.
    expectSameWhereverSplit(
        "<r>\n  <a><![CDATA[x]]]]><![CDATA[>y]]><![CDATA[z]]></a>\n"
        "  <b>p &am<i/>p; q &unknown; r</b>\t\n"
        "  <c><![CDATA[<d>not a tag</d>]]><!-- <e/> --><?pi a=\"<f\"?></c>\n"
        "<g>   </g></r>\n");
}

TEST(ParallelLoad, ContentAfterTheRootAndLaterDeclarationsReadTheSame) {
    expectSameWhereverSplit("<r><a/></r>\r\n<b>after</b>\r\n</r>  ");
    expectSameWhereverSplit(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><a/>"
        "<?xml version=\"1.1\" encoding=\"Shift_JIS\" standalone=\"yes\"?><b/></r>");
    expectSameWhereverSplit("<r><a>one</a><!DOCTYPE rest><b>ignored</b></r>");
}

TEST(ParallelLoad, ErrorsAfterTheSplitAreTheErrorsOfOneReader) {
    expectSameWhereverSplit("<r><a><b>text</a></b></r>");           // 516 across the split
    expectSameWhereverSplit("<r><a>one</a></r></r></x>");           // past the root
    expectSameWhereverSplit("<r><a>one</a><b c=1/></r>");           // 280
    expectSameWhereverSplit("<r><a/><?xml version=\"1.0\"?></r>");  // 444
    expectSameWhereverSplit("<r><a>é</a><b>\xFF</b></r>");          // not UTF-8: read whole
    expectSameWhereverSplit(std::string("<r><a>one</a><b>two\0</b></r>", 28));  // a NUL
}

TEST(ParallelLoad, MarkedFilesAndManyNamesReadTheSame) {
    expectSameWhereverSplit("\xEF\xBB\xBF<r><a>é</a><b>\xC3</b></r>");
    // More names than the reader keeps at hand: end tags are checked by name.
    std::string many = "<root>";
    for (int i = 0; i < 70; ++i) {
        many += "<n" + std::to_string(i) + " k=\"" + std::to_string(i) + "\"><x/>";
    }
    for (int i = 69; i >= 0; --i) {
        many += "</n" + std::to_string(i) + ">";
    }
    expectSameWhereverSplit(many + "</root>", 7);
}

TEST(ParallelLoad, DepthIsCheckedAcrossTheSplit) {
    const auto nested = [](int depth) {
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            open += "<d>";
            close += "</d>";
        }
        return open + close;
    };
    // The deepest element allowed, then one level more: refused either way.
    expectSameWhereverSplit(nested(XMLParser::kMaxDepth), 97);
    expectSameWhereverSplit(nested(XMLParser::kMaxDepth + 1), 97);
}

TEST(ParallelLoad, FilesLargerThanAWindowReadTheSame) {
    std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<list>\r\n";
    for (int i = 0; i < 4000; ++i) {
        bytes += "\t<item n=\"" + std::to_string(i) + "\"><![CDATA[文 " + std::to_string(i) +
                 "]]><b>x &amp; y</b></item>\r\n";
    }
    bytes += "</list>\r\n";
    expectSameWhereverSplit(bytes, 20011);
}

TEST(ParallelLoad, LongIndexListsKeepDocumentOrderHoweverTheNamesFallInThePart) {
    // Dense short elements, then long ones: the byte shares of the parts tell
    // little about their counts, and some names appear in the second part only.
    std::string bytes = "<list>";
    for (int i = 0; i < 9000; ++i) {
        bytes += "<a/>";
    }
    for (int i = 0; i < 300; ++i) {
        bytes += "<b>" + std::string(200, 'x') + "</b>";
    }
    for (int i = 0; i < 6000; ++i) {
        bytes += "<a/><c/>";
    }
    EXPECT_GE(expectSameWhereverSplit(bytes + "</list>", bytes.size() / 9 + 1), 8);
}

TEST(ParallelLoad, APartTakenOverByEitherReaderReadsTheSame) {
    // Open elements on both sides of each boundary, text, CDATA and white
    // space that belongs to an element begun in another part, an element
    // name seen first after a boundary, and the root closed in a later part.
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<list>\n"
        " <g s=\"80\"><a><![CDATA[one <b>not a tag</b>]]></a>\n  <b>x &amp; y</b>\n </g>\n"
        " <g><a/><c d='1'>two <i>and</i> three</c>\n </g><!-- <g> -->\n"
        " <g><deep><deeper><b/></deeper>  </deep></g>\n</list>\n";
    EXPECT_GT(expectSameWhereverTakenOver(document, 0, 3), 40);
    EXPECT_GT(expectSameWhereverTakenOver(document, 1, 3), 40);
}

TEST(ParallelLoad, ErrorsInAPartTakenOverAreTheErrorsOfOneReader) {
    for (const char* document : {
             "<r><a><b>text</a></b><c/></r>",   // 516, wherever it falls
             "<r><a>one</a></r></r><x/></x>",   // past the root
             "<r><a/><b c=1/><d/></r>",         // 280
             "<r><a/><b/><c>\xFF</c><d/></r>",  // not UTF-8: read whole
             "<r><a/><!DOCTYPE x><b/><c/></r>",
             // 516 at an end tag for an element a joined part began, read
             // after a later part's join was refused
             "<r><a><b/></r>",
             "<r><a><c/></a><b><d/></b></a></r>",  // the same for one it closed
         }) {
        expectSameWhereverTakenOver(document, 0);
        expectSameWhereverTakenOver(document, 1);
    }
}

TEST(ParallelLoad, ALargeFileIsSplitByDefaultAndReadsTheSame) {
    if (std::thread::hardware_concurrency() < 2) {
        GTEST_SKIP() << "one core: files are read in one part";
    }
    ScopedPolicy restore;
    std::string bytes = "<list>\n";
    for (int i = 0; i < 40000; ++i) {
        bytes += "\t<item n=\"" + std::to_string(i) + "\">text " + std::to_string(i) + "</item>\n";
    }
    bytes += "</list>\n";
    ASSERT_GT(bytes.size(), xml::ParallelLoad().minimumSize);
    test::TempDir dir;
    const std::string path = dir.file("large.xml");
    test::writeAll(path, bytes);
    const int joinsBefore = xml::parallelLoad().joins;
    const std::string split = describe(path);
    EXPECT_EQ(xml::parallelLoad().joins, joinsBefore + 1);
    // A file smaller than the minimum is read in one part, even at SIZE_MAX.
    xml::parallelLoad().minimumSize = SIZE_MAX;
    EXPECT_EQ(split, describe(path));
    EXPECT_EQ(xml::parallelLoad().joins, joinsBefore + 1);
}

TEST(ParallelLoad, AFileWhoseMiddleFallsBeforeMarkupInACDataSectionIsStillReadInParts) {
    if (std::thread::hardware_concurrency() < 2) {
        GTEST_SKIP() << "one core: files are read in one part";
    }
    // Explanations hold HTML markup in CDATA, where the first "<" and letter
    // after the middle of the file may be: the split must not begin there,
    // or the whole file is read by one reader.
    const auto learningFile = [](size_t padding) {
        std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SentenceList>\r\n";
        for (int i = 0; i < 6000; ++i) {
            bytes += "\t<SentenceGroup score=\"" + std::to_string(i % 101) +
                     "\">\r\n\t\t<sentence><![CDATA[Good morning" +
                     std::string(i == 0 ? padding : 0, '.') +
                     "]]></sentence>\r\n\t\t<explanation><![CDATA[<b>morning</b> \xE3\x81\xAF "
                     "morning]]></explanation>\r\n\t</SentenceGroup>\r\n";
        }
        return bytes + "</SentenceList>\r\n";
    };
    // Where the old search began the second part: the first "<" and letter
    // after 53% of the file.
    const auto middleFallsBeforeMarkup = [](const std::string& bytes) {
        for (size_t at = bytes.find('<', bytes.size() * 53 / 100); at != std::string::npos;
             at = bytes.find('<', at + 1)) {
            if (std::isalpha(static_cast<unsigned char>(bytes[at + 1]))) {
                return bytes.compare(at, 3, "<b>") == 0;
            }
        }
        return false;
    };
    std::string bytes;
    for (size_t padding = 0; padding < 1000 && !middleFallsBeforeMarkup(bytes); ++padding) {
        bytes = learningFile(padding);
    }
    ASSERT_TRUE(middleFallsBeforeMarkup(bytes));
    const OneReadersLoad one(bytes);
    xml::parallelLoad().minimumSize = bytes.size() / 2;
    const int joinsBefore = xml::parallelLoad().joins;
    EXPECT_TRUE(one.same("a default split"));
    EXPECT_EQ(xml::parallelLoad().joins, joinsBefore + 1);
}

}  // namespace
}  // namespace pw
