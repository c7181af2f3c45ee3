// What the dictionary panes do with their lists: rows, adding over an
// existing key, new rules first, removing rows, switching a dictionary off,
// and which copied texts are registered with which reading.
#include "dictionary/DictionaryEditor.h"

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/DictionaryWindow.h"
#include "dictionary/RegexDictionaryData.h"
#include "dictionary/tests/DictionaryTestSupport.h"
#include "dictionary/tests/FakeIme.h"

namespace pw {
namespace {

template <typename Dictionary>
void addDictionary(DictionaryList& list, const test::EntryTable& entries) {
    list.append(std::make_unique<Dictionary>(test::makeDictionary<Dictionary>(entries)));
}

std::vector<std::pair<std::u16string, std::u16string>> rows(const DictionaryEditor& editor) {
    std::vector<std::pair<std::u16string, std::u16string>> out;
    for (int row = 0; row < editor.rowCount(); ++row) {
        out.emplace_back(editor.key(row), editor.value(row));
    }
    return out;
}

TEST(DictionaryEditor, RowsFollowTheChosenDictionary) {
    DictionaryList list;
    addDictionary<DictionaryData>(list, {{u"b", u"2"}, {u"a", u"1"}});
    addDictionary<RegexDictionaryData>(list, {{u"z", u"9"}, {u"y", u"8"}});
    DictionaryEditor editor(list);
    EXPECT_EQ(editor.selected(), nullptr);
    EXPECT_EQ(editor.rowCount(), 0);
    EXPECT_EQ(editor.add(u"k", u"v"), -1) << "no dictionary chosen";

    editor.select(0);
    using Rows = std::vector<std::pair<std::u16string, std::u16string>>;
    EXPECT_EQ(rows(editor), (Rows{{u"a", u"1"}, {u"b", u"2"}})) << "in key order";
    editor.select(1);
    EXPECT_EQ(rows(editor), (Rows{{u"z", u"9"}, {u"y", u"8"}})) << "in the order of the rules";
    EXPECT_EQ(editor.rowOf(u"y"), 1);
    EXPECT_EQ(editor.rowOf(u"x"), -1);
    editor.select(5);
    EXPECT_EQ(editor.selectedIndex(), -1);
}

TEST(DictionaryEditor, AnExistingKeyChangesInPlaceANewRuleGoesFirst) {
    DictionaryList list;
    addDictionary<DictionaryData>(list, {{u"Dr.", u"Doctor"}, {u"Mr.", u"Mister"}});
    addDictionary<RegexDictionaryData>(list, {{u"cat", u"dog"}});
    DictionaryEditor words(list);
    words.select(0);
    EXPECT_EQ(words.add(u"Mr.", u"Master"), 1);
    EXPECT_EQ(words.rowCount(), 2);
    EXPECT_EQ(words.value(1), u"Master");
    EXPECT_EQ(words.add(u"", u"nothing"), -1);
    EXPECT_EQ(words.add(u"St.\tx", u"Saint\r\n"), 2) << "tabs and line breaks become spaces";
    EXPECT_EQ(words.key(2), u"St. x");
    EXPECT_EQ(words.value(2), u"Saint  ");

    DictionaryEditor patterns(list);
    patterns.select(1);
    EXPECT_EQ(patterns.add(u"dog", u"wolf"), 0);
    std::u16string text = u"cat";
    list.at(1)->replace(text);
    EXPECT_EQ(text, u"dog") << "the new rule runs first, before the old rule's output";
    EXPECT_EQ(patterns.add(u"cat", u"lion"), 1) << "kept its place";
}

TEST(DictionaryEditor, RowsAreRemovedLastFirst) {
    DictionaryList list;
    addDictionary<DictionaryData>(list, {{u"a", u"1"}, {u"b", u"2"}, {u"c", u"3"}, {u"d", u"4"}});
    DictionaryEditor editor(list);
    editor.select(0);
    EXPECT_EQ(editor.removeRows({0, 2, 2, 9}), (std::vector<int>{2, 0}));
    EXPECT_EQ(editor.rowCount(), 2);
    EXPECT_EQ(editor.key(0), u"b");
    EXPECT_EQ(editor.key(1), u"d");
    EXPECT_TRUE(list.at(0)->modified());
}

TEST(DictionaryEditor, ThePrefixSearchIgnoresTheCaseOfLatinLetters) {
    DictionaryList list;
    addDictionary<DictionaryData>(list, {{u"Apple", u""}, {u"banana", u""}, {u"Band", u""}});
    DictionaryEditor editor(list);
    editor.select(0);
    // Key order is by code unit: "Apple", "Band", "banana".
    struct Case {
        std::u16string prefix;
        int row;
    };
    for (const Case& c :
         {Case{u"ban", 1}, Case{u"BANA", 2}, Case{u"a", 0}, Case{u"x", -1}, Case{u"", -1}}) {
        EXPECT_EQ(editor.findPrefix(c.prefix), c.row) << toUtf8(c.prefix);
    }
}

TEST(DictionaryEditor, AnUncheckedDictionaryIsSkippedUntilCheckedAgain) {
    DictionaryWindow::wordDictionaries().clear();
    addDictionary<DictionaryData>(DictionaryWindow::wordDictionaries(), {{u"Dr.", u"Doctor"}});
    DictionaryEditor editor(DictionaryWindow::wordDictionaries());
    const auto spoken = [] {
        std::u16string text = u"Dr. Who";
        DictionaryWindow::replaceText(text);
        return text;
    };
    EXPECT_EQ(spoken(), u"Doctor Who");
    EXPECT_FALSE(editor.toggleEnabled(0));
    EXPECT_EQ(spoken(), u"Dr. Who");
    EXPECT_TRUE(editor.toggleEnabled(0));
    EXPECT_EQ(spoken(), u"Doctor Who");
    EXPECT_FALSE(editor.toggleEnabled(3));
    DictionaryWindow::wordDictionaries().clear();
}

TEST(DictionaryEditor, CopiedTextsOfOneToTwentyUnitsAreWords) {
    struct Case {
        std::u16string copied;
        std::optional<std::u16string> word;
    };
    const Case cases[] = {
        {u"漢字", u"漢字"},
        {u"  東京\r\n", u"東京"},
        {u"一二三四五六七八九十一二三四五六七八九十", u"一二三四五六七八九十一二三四五六七八九十"},
        {u"一二三四五六七八九十一二三四五六七八九十一", std::nullopt},
        {u" \n\u3000", std::nullopt},
        {u"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DictionaryEditor::copiedWord(c.copied), c.word) << toUtf8(c.copied);
    }

    test::FakeIme ime;
    ASSERT_TRUE(ime.open(u"MeCab.IPA"));
    EXPECT_EQ(DictionaryEditor::wordReading(ime, u"東京"), u"トウキョウ");
    EXPECT_EQ(DictionaryEditor::wordReading(ime, u"漢字です"), u"カンジデス");
    EXPECT_EQ(DictionaryEditor::wordReading(ime, u"hello"), u"") << "nothing to change";
    ime.close();
    EXPECT_EQ(DictionaryEditor::wordReading(ime, u"東京"), u"") << "no analyser, no reading";
}

}  // namespace
}  // namespace pw
