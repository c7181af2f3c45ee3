// Deep trees: no operation may recurse, so each runs here on a thread whose
// stack is far too small for one call per level.
#include <pthread.h>

#include <functional>

#include <gtest/gtest.h>

#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "xml/XMLParser.h"

namespace pw {
namespace {

void runOnSmallStack(size_t stackBytes, std::function<void()> work) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stackBytes);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        (*static_cast<std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, body, &work), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

std::u16string nested(int levels) {
    std::u16string text;
    for (int i = 0; i < levels; ++i) {
        text += u"<a>";
    }
    text += u"x";
    for (int i = 0; i < levels; ++i) {
        text += u"</a>";
    }
    return text;
}

// A chain of elements, each the only child of the one before.
std::unique_ptr<Element> chain(int levels, Element** deepest) {
    auto root = std::make_unique<Element>(u"a");
    Element* node = root.get();
    for (int i = 1; i < levels; ++i) {
        node = node->appendElement(i % 2 ? u"b" : u"a");
    }
    node->appendText(u"x");
    *deepest = node;
    return root;
}

TEST(DeepTree, ParsingRefusesExcessiveNestingWithTheErrorMessage) {
    runOnSmallStack(256 * 1024, [] {
        test::ScopedRecordingUi ui;
        XMLParser doc;
        ASSERT_TRUE(doc.parseString(u"<keep/>"));
        EXPECT_FALSE(doc.parseString(nested(100000)));
        ASSERT_EQ(ui->boxes.size(), 1u);
        EXPECT_NE(ui->boxes[0].text.find(u"XMLParser line:520\r\nElements are nested more than "
                                         u"1000 levels deep\r\nRow:1 Col:3002"),
                  std::u16string::npos);
        EXPECT_EQ(doc.getRoot()->getName(), u"keep");

        ASSERT_TRUE(doc.parseString(nested(XMLParser::kMaxDepth)));
        EXPECT_EQ(doc.elements(u"a").back()->depth(), XMLParser::kMaxDepth - 1);
        test::TempDir dir;
        ASSERT_TRUE(doc.saveAs(dir.file("deep.xml")));
        XMLParser back;
        ASSERT_TRUE(back.load(dir.file("deep.xml")));
        EXPECT_TRUE(back.getRoot()->toXmlString() == doc.getRoot()->toXmlString());
    });
}

TEST(DeepTree, WalkingCopyingAndDestroyingNeverRecurse) {
    runOnSmallStack(256 * 1024, [] {
        Element* deepest = nullptr;
        std::unique_ptr<Element> root = chain(100000, &deepest);
        EXPECT_EQ(deepest->depth(), 99999);
        EXPECT_EQ(root->findFirst(u"none"), nullptr);
        EXPECT_EQ(root->findFirst(u"b"), root->getFirstChild());
        std::vector<Element*> found;
        root->findAll(u"a", found);
        EXPECT_EQ(found.size(), 49999u);
        EXPECT_EQ(root->deepText(), u"x");

        std::unique_ptr<Element> copy = root->clone();
        deepest->setText(u"changed");
        EXPECT_EQ(copy->deepText(), u"x");
        Element target(u"t");
        target.copyFrom(*copy);
        size_t count = 0;
        for (Element* e = &target; e; e = e->nextInPreOrder(&target)) {
            ++count;
        }
        EXPECT_EQ(count, 100001u);  // 100000 elements and the text node

        XMLParser doc;  // the document destroys what it owns the same way
        doc.setRoot(std::move(copy));
        EXPECT_EQ(doc.elements(u"b").size(), 50000u);
        doc.clear();
        root.reset();
    });
}

TEST(DeepTree, WritingNeverRecurses) {
    runOnSmallStack(128 * 1024, [] {
        Element* deepest = nullptr;
        std::unique_ptr<Element> root = chain(4000, &deepest);
        const std::u16string xml = root->toXmlString();
        EXPECT_TRUE(xml.starts_with(u"<a>\r\n\t<b>\r\n\t\t<a>"));
        const size_t innermost = xml.find(u"<b>x</b>\r\n");
        ASSERT_NE(innermost, std::u16string::npos);
        EXPECT_EQ(xml.rfind(u'\n', innermost) + 1, innermost - 3999);  // 3999 tabs
        EXPECT_TRUE(xml.ends_with(u"\t</b>\r\n</a>"));
        EXPECT_EQ(root->childrenToXmlString().size() + 9, xml.size());
    });
}

}  // namespace
}  // namespace pw
