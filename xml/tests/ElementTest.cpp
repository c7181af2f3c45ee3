// The node tree: links, queries, attributes and the exact XML it writes.
#include <map>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "xml/Element.h"

namespace pw {
namespace {

std::unique_ptr<Element> textNode(std::u16string text) {
    auto node = std::make_unique<Element>();
    node->setText(std::move(text));
    return node;
}

TEST(Element, StartTagsSortAndEscapeAttributes) {
    Element e(u"e");
    e.attribute(u"b") = u"x\"y&z";
    e.attribute(u"a") = u"1";
    e.attribute(u"B") = u"<'>";  // upper case sorts first in code-unit order
    EXPECT_EQ(e.startTag(), u"<e B=\"&lt;&apos;&gt;\" a=\"1\" b=\"x&quot;y&amp;z\">");
    e.setEmptyTag(true);
    EXPECT_EQ(e.startTag(), u"<e B=\"&lt;&apos;&gt;\" a=\"1\" b=\"x&quot;y&amp;z\" />");

    EXPECT_EQ(textNode(u"a < b")->startTag(), u"a &lt; b");
    Element cdata;
    cdata.setCData(u"<b>raw & kept</b>");
    EXPECT_EQ(cdata.startTag(), u"<![CDATA[<b>raw & kept</b>]]>");
    EXPECT_EQ(Element::escape(u"&<>\"'x"), u"&amp;&lt;&gt;&quot;&apos;x");
}

TEST(Element, WritesTheSentenceRecordLayout) {
    Element list(u"SentenceList");
    Element* group = list.appendElement(u"SentenceGroup");
    group->setIntAttribute(u"score", 87);
    group->setIntAttribute(u"check", -1);
    group->appendElement(u"sentence")->appendCData(u"Good morning.");
    EXPECT_EQ(list.childrenToXmlString(),
              u"\t<SentenceGroup check=\"-1\" score=\"87\">\r\n"
              u"\t\t<sentence>\r\n"
              u"\t\t\t<![CDATA[Good morning.]]>\r\n"
              u"\t\t</sentence>\r\n"
              u"\t</SentenceGroup>\r\n");
    EXPECT_EQ(list.toXmlString(),
              u"<SentenceList>\r\n" + list.childrenToXmlString() + u"</SentenceList>");
}

TEST(Element, WritingFollowsTheKindOfEachNode) {
    struct Case {
        const char* what;
        std::function<void(Element&)> build;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a text child keeps the element on one line",
         [](Element& r) { r.appendElement(u"s")->appendText(u"hi & bye"); },
         u"<r>\r\n\t<s>hi &amp; bye</s>\r\n</r>"},
        {"a childless child writes its own text",
         [](Element& r) { r.appendElement(u"s")->setText(u"a<b"); },
         u"<r>\r\n\t<s>a&lt;b</s>\r\n</r>"},
        {"the top node's own text is not written", [](Element& r) { r.setText(u"lost"); },
         u"<r></r>"},
        {"text beside an element gets no indentation or line end of its own",
         [](Element& r) {
             r.appendText(u"x");
             r.appendElement(u"b")->setEmptyTag(true);
             r.appendText(u"y");
         },
         u"<r>x<b />y</r>"},
        {"an empty-element tag that gained children is written in full",
         [](Element& r) {
             Element* b = r.appendElement(u"b");
             b->setEmptyTag(true);
             b->appendElement(u"c");
         },
         u"<r>\r\n\t<b>\r\n\t\t<c></c>\r\n\t</b>\r\n</r>"},
        {"a CDATA section cannot end early", [](Element& r) { r.appendCData(u"a]]>b"); },
         u"<r>\r\n\t<![CDATA[a]]]]><![CDATA[>b]]>\r\n</r>"},
    };
    for (const Case& c : cases) {
        Element root(u"r");
        c.build(root);
        EXPECT_EQ(root.toXmlString(), c.expected) << c.what;
    }
}

TEST(Element, IndentationFollowsTheDepthOfTheWrittenNode) {
    Element root(u"a");
    Element* b = root.appendElement(u"b");
    Element* c = b->appendElement(u"c");
    c->appendElement(u"d");
    EXPECT_EQ(c->toXmlString(), u"\t\t<c>\r\n\t\t\t<d></d>\r\n\t\t</c>");
    EXPECT_EQ(b->childrenToXmlString(), u"\t\t<c>\r\n\t\t\t<d></d>\r\n\t\t</c>\r\n");
    EXPECT_EQ(c->depth(), 2);
}

TEST(Element, QueriesWalkInDocumentOrder) {
    Element root(u"x");
    Element* a = root.appendElement(u"a");
    Element* inner = a->appendElement(u"x");
    inner->appendText(u"1");
    Element* second = root.appendElement(u"x");
    second->appendCData(u"2");
    root.setText(u"0");

    EXPECT_EQ(root.findFirst(u"x"), &root);  // the node itself first
    EXPECT_EQ(a->findFirst(u"x"), inner);
    EXPECT_EQ(root.findFirst(u"none"), nullptr);
    std::vector<Element*> all;
    root.findAll(u"x", all);
    EXPECT_EQ(all, (std::vector<Element*>{inner, second}));

    EXPECT_EQ(root.deepText(), u"012");
    EXPECT_EQ(root.cdataText(), u"");
    EXPECT_EQ(second->cdataText(), u"2");
    EXPECT_EQ(second->firstCDataChild()->cdataText(), u"2");
    EXPECT_EQ(root.getChildren(), (std::vector<Element*>{a, second}));
    EXPECT_EQ(root.indexOfChild(second), 1);
    EXPECT_EQ(root.indexOfChild(inner), -1);

    Element named(u"n");
    named.setCData(u"ignored");
    EXPECT_FALSE(named.isCData());
    EXPECT_EQ(named.getText(), u"");
}

TEST(Element, AttributesReadWithoutInsertingAndParseLeadingDigits) {
    Element e(u"SentenceGroup");
    EXPECT_EQ(e.getIntAttribute(u"check", 0), 0);
    EXPECT_EQ(e.getIntAttribute(u"check", 7), 7);
    EXPECT_EQ(e.getAttribute(u"check", u"none"), u"none");
    EXPECT_TRUE(e.getAttributes().empty());
    e.attribute(u"check");
    EXPECT_EQ(e.startTag(), u"<SentenceGroup check=\"\">");

    const std::pair<std::u16string, int> values[] = {
        {u"", 0}, {u"abc", 0}, {u"42", 42}, {u"-17", -17}, {u"12abc", 12}, {u" 3", 3},
    };
    for (const auto& [text, expected] : values) {
        e.attribute(u"check") = text;
        EXPECT_EQ(e.getIntAttribute(u"check", 99), expected);
    }
    e.setIntAttribute(u"score", -2147483647 - 1);
    EXPECT_EQ(e.getAttribute(u"score"), u"-2147483648");
    EXPECT_TRUE(e.removeAttribute(u"score"));
    EXPECT_FALSE(e.hasAttribute(u"score"));
}

TEST(Element, CopiesAreIndependentAndKeepTheirPlace) {
    Element source(u"g");
    source.attribute(u"a") = u"1";
    source.appendElement(u"s")->appendCData(u"text");

    Element parent(u"p");
    Element* before = parent.appendElement(u"before");
    Element* target = parent.appendElement(u"old");
    target->appendElement(u"gone");
    Element* after = parent.appendElement(u"after");

    target->copyFrom(source);
    EXPECT_EQ(target->toXmlString(),
              u"\t<g a=\"1\">\r\n\t\t<s>\r\n\t\t\t<![CDATA[text]]>\r\n\t\t</s>\r\n\t</g>");
    EXPECT_EQ(target->getParent(), &parent);
    EXPECT_EQ(target->getPreviousSibling(), before);
    EXPECT_EQ(target->getNextSibling(), after);

    target->attribute(u"a") = u"changed";
    target->findFirst(u"s")->getFirstChild()->setText(u"changed");
    EXPECT_EQ(source.getAttribute(u"a"), u"1");
    EXPECT_EQ(source.cdataText(), u"");
    EXPECT_EQ(source.findFirst(u"s")->cdataText(), u"text");

    // Copying a node's own descendant into it must not read freed memory.
    Element* s = target->findFirst(u"s");
    target->copyFrom(*s);
    EXPECT_EQ(target->getName(), u"s");
    EXPECT_EQ(target->cdataText(), u"changed");
}

TEST(Element, TreeEditsKeepTheLinksConsistent) {
    Element root(u"r");
    Element* b = root.appendElement(u"b");
    Element* a = root.insertFirstChild(std::make_unique<Element>(u"a"));
    Element* c = root.insertBefore(std::make_unique<Element>(u"c"), nullptr);
    EXPECT_EQ(root.getChildren(), (std::vector<Element*>{a, b, c}));
    EXPECT_EQ(b->getPreviousSibling(), a);
    EXPECT_EQ(root.getLastChild(), c);

    std::unique_ptr<Element> removed = root.removeChild(b);
    ASSERT_EQ(removed.get(), b);
    EXPECT_EQ(b->getParent(), nullptr);
    EXPECT_EQ(a->getNextSibling(), c);
    EXPECT_EQ(c->getPreviousSibling(), a);
    EXPECT_EQ(root.removeChild(b), nullptr);

    // A child moved to another parent leaves its old parent consistent.
    Element other(u"o");
    EXPECT_EQ(other.appendChild(std::unique_ptr<Element>(a)), a);
    EXPECT_EQ(root.getFirstChild(), c);
    EXPECT_EQ(a->getParent(), &other);
    EXPECT_EQ(c->appendSibling(std::move(removed)), b);
    EXPECT_EQ(root.getChildren(), (std::vector<Element*>{c, b}));

    // A node cannot become its own descendant.
    Element* deep = c->appendElement(u"d");
    EXPECT_EQ(deep->appendChild(std::unique_ptr<Element>(c)), nullptr);
    EXPECT_EQ(c->getParent(), &root);
    EXPECT_EQ(deep->getFirstChild(), nullptr);

    root.removeAllChildren();
    EXPECT_FALSE(root.hasChildren());
    EXPECT_EQ(root.getLastChild(), nullptr);
}

TEST(Element, AttributeListsStaySortedWithTheLastValueOfAName) {
    Attributes attributes = Attributes::fromPairs(
        {{u"b", u"1"}, {u"a", u"2"}, {u"b", u"3"}, {u"C", u"4"}, {u"a", u"5"}});
    std::vector<std::u16string> flat;
    for (const auto& [name, value] : attributes) {
        flat.push_back(name + u"=" + value);
    }
    EXPECT_EQ(flat, (std::vector<std::u16string>{u"C=4", u"a=5", u"b=3"}));
    attributes[u"B"] = u"6";
    EXPECT_EQ(attributes.begin()->first, u"B");
    EXPECT_TRUE(attributes.erase(u"a"));
    EXPECT_FALSE(attributes.erase(u"a"));
    EXPECT_EQ(attributes.find(u"a"), attributes.end());
    EXPECT_EQ(attributes.size(), 3u);
    EXPECT_EQ(attributes, (Attributes{{u"b", u"3"}, {u"C", u"4"}, {u"B", u"6"}}));
}

TEST(Element, AttributeCopiesAreIndependentAndEmptyListsAreAlike) {
    const Attributes none;
    Attributes emptied{{u"a", u"1"}};
    EXPECT_TRUE(emptied.erase(u"a"));
    Attributes moved{{u"m", u"1"}};
    const Attributes taken = std::move(moved);
    // However a list came to be empty, it equals a new one and takes new names.
    for (Attributes* empty : {&emptied, &moved}) {
        EXPECT_TRUE(empty->empty());
        EXPECT_EQ(*empty, none);
        EXPECT_EQ(empty->begin(), empty->end());
        EXPECT_EQ(empty->find(u"a"), empty->end());
        (*empty)[u"n"] = u"2";
        EXPECT_EQ(*empty, (Attributes{{u"n", u"2"}}));
    }
    EXPECT_EQ(taken, (Attributes{{u"m", u"1"}}));

    Attributes original{{u"a", u"1"}};
    Attributes copy = original;
    Attributes assigned;
    assigned = original;
    original[u"a"] = u"changed";
    original[u"b"] = u"new";
    EXPECT_EQ(copy, (Attributes{{u"a", u"1"}}));
    EXPECT_EQ(assigned, copy);
    assigned = none;
    EXPECT_TRUE(assigned.empty());
    EXPECT_EQ(copy.size(), 1u);
}

TEST(Element, AttributeListsBehaveAsSortedMapsThroughEveryChange) {
    // Inserts in every order grow the block, erases shrink it to nothing and
    // copies are taken along the way; values long enough to live on the heap
    // show a pair lost or freed twice to the sanitizers.
    using Pairs = std::vector<Attributes::value_type>;
    const auto pairs = [](const auto& list) { return Pairs(list.begin(), list.end()); };
    std::mt19937 random(7);
    Attributes attributes;
    std::map<std::u16string, std::u16string> expected;
    std::vector<Attributes> copies;
    std::vector<std::map<std::u16string, std::u16string>> expectedCopies;
    for (int step = 0; step < 3000; ++step) {
        const std::u16string name(1 + random() % 2, static_cast<char16_t>(u'a' + random() % 12));
        const std::u16string value(random() % 3 ? 20 : 1, static_cast<char16_t>(u'0' + step % 10));
        switch (random() % 4) {
            case 0:
            case 1:
                attributes[name] = value;
                expected[name] = value;
                break;
            case 2:
                EXPECT_EQ(attributes.erase(name), expected.erase(name) == 1);
                break;
            default:
                if (copies.size() < 50) {
                    copies.push_back(attributes);
                    expectedCopies.push_back(expected);
                } else {
                    copies[step % 50] = attributes;
                    expectedCopies[step % 50] = expected;
                }
        }
        ASSERT_EQ(attributes.size(), expected.size());
        ASSERT_EQ(pairs(attributes), pairs(expected));
    }
    for (size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(pairs(copies[i]), pairs(expectedCopies[i]));
    }
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(attributes.find(name)->second, value);
    }
}

TEST(Element, NodesMayBeMadeAndDestroyedOnAnyThread) {
    // Nodes and their attribute blocks (one pool for each size) come from
    // shared pools: build on two threads at once, then destroy on a third
    // what the others built.
    std::unique_ptr<Element> trees[2];
    auto build = [](std::unique_ptr<Element>& tree) {
        tree = std::make_unique<Element>(u"r");
        for (int i = 0; i < 20000; ++i) {
            Element* e = tree->appendElement(u"e");
            for (int a = 0; a < i % 6; ++a) {
                e->setIntAttribute(std::u16string(1, static_cast<char16_t>(u'a' + a)), i);
            }
            e->appendText(u"t");
        }
    };
    std::thread first(build, std::ref(trees[0]));
    std::thread second(build, std::ref(trees[1]));
    first.join();
    second.join();
    EXPECT_EQ(trees[0]->getChildren().size(), 20000u);
    EXPECT_EQ(trees[1]->deepText().size(), 20000u);
    for (const std::unique_ptr<Element>& tree : trees) {
        int i = 0;
        for (const Element* e = tree->getFirstChild(); e; e = e->getNextSibling(), ++i) {
            ASSERT_EQ(e->getAttributes().size(), static_cast<size_t>(i % 6));
            ASSERT_EQ(e->getIntAttribute(u"a", i), i);
        }
    }
    std::thread([&trees] {
        trees[0].reset();
        trees[1].reset();
    }).join();

    // Threads that build and destroy at once never share a node: each tree
    // keeps exactly what its own thread put in it.
    std::vector<std::thread> workers;
    std::vector<std::u16string> texts(4);
    for (size_t t = 0; t < texts.size(); ++t) {
        workers.emplace_back([&texts, t] {
            for (int round = 0; round < 20; ++round) {
                Element tree(u"r");
                for (int i = 0; i < 500; ++i) {
                    tree.appendText(std::u16string(1, static_cast<char16_t>(u'a' + t)));
                }
                texts[t] = tree.deepText();
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (size_t t = 0; t < texts.size(); ++t) {
        EXPECT_EQ(texts[t], std::u16string(500, static_cast<char16_t>(u'a' + t)));
    }
}

}  // namespace
}  // namespace pw
