// The editor's text and undo history without a window: how the learner's
// edits become steps (and which join), undo and redo with the selection they
// leave, characters of two UTF-16 units, the modified mark and saving.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "editor/TextDocument.h"
#include "xml/TextFile.h"

namespace pw {
namespace {

// Undoes everything, returning the text after each undo.
std::vector<std::u16string> undoAll(TextDocument& doc) {
    std::vector<std::u16string> texts;
    while (doc.undo()) {
        texts.push_back(doc.text());
    }
    return texts;
}

TEST(TextDocument, EditsBecomeStepsAndTypingOnJoins) {
    using Texts = std::vector<std::u16string>;
    struct Case {
        const char* what;
        std::u16string start;
        Texts edits;       // the window's text after each of the learner's actions
        Texts afterUndos;  // the text after each undo
    };
    const Case cases[] = {
        {"typing on", u"", {u"a", u"ab", u"abc"}, {u""}},
        {"a new line starts a step", u"", {u"a", u"ab", u"ab\n", u"ab\nc"}, {u"ab\n", u"ab", u""}},
        {"Backspace on", u"abcd", {u"abc", u"ab", u"a"}, {u"abcd"}},
        {"Delete on", u"abcd", {u"bcd", u"cd"}, {u"abcd"}},
        {"typing elsewhere", u"abc", {u"abcd", u"xabcd"}, {u"abcd", u"abc"}},
        {"typing after deleting", u"abc", {u"ab", u"abx"}, {u"ab", u"abc"}},
        {"over a selection, then on", u"the cat", {u"the d", u"the do", u"the dog"}, {u"the cat"}},
        {"a paste of lines", u"ab", {u"a1\n2\nb", u"a1\n2\nxb"}, {u"a1\n2\nb", u"ab"}},
        {"the same text", u"ab", {u"ab"}, {}},
    };
    for (const Case& c : cases) {
        TextDocument doc;
        doc.setText(c.start);
        for (const std::u16string& edit : c.edits) {
            doc.edited(edit);
        }
        EXPECT_EQ(doc.text(), c.edits.back()) << c.what;
        EXPECT_EQ(undoAll(doc), c.afterUndos) << c.what;
    }
}

TEST(TextDocument, UndoSelectsWhatCameBackAndRedoGoesAfterIt) {
    TextDocument doc;
    doc.setText(u"the cat sat");
    doc.setSelection(4, 7);
    EXPECT_EQ(doc.selectedText(), u"cat");
    const TextDocument::Change change = doc.replaceSelection(u"<b>cat</b>");
    EXPECT_EQ(doc.text(), u"the <b>cat</b> sat");
    EXPECT_EQ(change.from, 4u);
    EXPECT_EQ(change.removed, 3u);
    EXPECT_EQ(change.selectFrom, 14u);
    // Typing right after a replacement is a step of its own.
    doc.edited(u"the <b>cat</b>s sat");
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.text(), u"the <b>cat</b> sat");

    const auto undone = doc.undo();
    ASSERT_TRUE(undone);
    EXPECT_EQ(doc.text(), u"the cat sat");
    EXPECT_EQ(doc.selectedText(), u"cat");
    EXPECT_EQ(undone->inserted, u"cat");
    EXPECT_FALSE(doc.canUndo());

    const auto redone = doc.redo();
    ASSERT_TRUE(redone);
    EXPECT_EQ(doc.text(), u"the <b>cat</b> sat");
    EXPECT_EQ(doc.selectionStart(), 14u);
    EXPECT_EQ(doc.selectionEnd(), 14u);
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.text(), u"the <b>cat</b>s sat");
    EXPECT_FALSE(doc.redo());

    // A new edit after an undo leaves nothing to redo.
    doc.undo();
    doc.edited(u"the <b>cat</b> sat!");
    EXPECT_FALSE(doc.canRedo());
    // Out of range and reversed positions are put right.
    doc.replace(100, 17, u"?");
    EXPECT_EQ(doc.text(), u"the <b>cat</b> sa?");
}

TEST(TextDocument, ACharacterOfTwoUnitsIsNeverSplit) {
    TextDocument doc;
    doc.setText(u"a\U0001F600b");  // the high units of the two faces are the same
    doc.edited(u"a\U0001F603b");
    const auto change = doc.undo();
    ASSERT_TRUE(change);
    EXPECT_EQ(change->from, 1u);
    EXPECT_EQ(change->removed, 2u);
    EXPECT_EQ(change->inserted, u"\U0001F600");
    EXPECT_EQ(doc.selectedText(), u"\U0001F600");
}

TEST(TextDocument, ModifiedCountsUndoAndRedo) {
    TextDocument doc;
    doc.setText(u"x");
    EXPECT_FALSE(doc.isModified());
    doc.edited(u"xy");
    EXPECT_TRUE(doc.isModified());
    doc.undo();
    EXPECT_FALSE(doc.isModified());
    doc.redo();
    EXPECT_TRUE(doc.isModified());
    doc.markSaved();
    EXPECT_FALSE(doc.isModified());
    doc.edited(u"xyz");  // typing after a save is a step of its own
    EXPECT_TRUE(doc.isModified());
    doc.undo();
    EXPECT_FALSE(doc.isModified());
    doc.undo();
    EXPECT_TRUE(doc.isModified());
}

TEST(TextDocument, ASaveClearsTheMarkAndAFailedOneKeepsFileAndMark) {
    test::TempDir dir;
    TextDocument doc;
    doc.setText(u"日本語\nline");
    doc.edited(u"日本語\nlines");
    std::string error;
    ASSERT_TRUE(doc.saveAs(dir.file("out.txt"), kUtf8WithBom, &error)) << error;
    EXPECT_FALSE(doc.isModified());
    const std::string saved = "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\nlines";
    EXPECT_EQ(test::readAll(dir.file("out.txt")), saved);

    doc.edited(u"other");
    EXPECT_FALSE(doc.saveAs(dir.path(), kUtf8, &error));  // a folder
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(doc.saveAs(dir.file("out.txt"), kBinary, &error));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(test::readAll(dir.file("out.txt")), saved);
}

}  // namespace
}  // namespace pw
