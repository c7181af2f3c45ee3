// The text editor over the native control, under a display: the learner's
// edits (also typed on the keyboard) as steps with Ctrl+Z and Ctrl+Y, the
// change notification, text set from code, selections with characters of two
// UTF-16 units, and the context menu.
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "editor/TextEditor.h"
#include "editor/tests/ContextMenu.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/ui/testsupport/KeyPresses.h"

namespace pw {
namespace {
using test::runEventsFor;
using test::runEventsUntil;

class Editor : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(editor.create(host, 10, 10, 300, 200)); }
    wxTextCtrl* control() { return static_cast<wxTextCtrl*>(editor.handle()); }
    size_t changes() const {
        size_t n = 0;
        for (const Command& command : host.commands) {
            n += command.sender == editor.handle() && command.code == codes::kTextChanged;
        }
        return n;
    }
    void ctrlKey(int key, bool shift = false) {
        wxKeyEvent event = test::makeKeyEvent(wxEVT_KEY_DOWN, control(), key, 0, true);
        event.SetShiftDown(shift);
        control()->GetEventHandler()->ProcessEvent(event);
    }

    test::HostWindow host{400, 300};
    TextEditor editor;
};

TEST_F(Editor, TheLearnersEditsAreStepsAndTheParentHearsOfThem) {
    editor.setText(u"first\r\nsecond\rthird");
    EXPECT_EQ(editor.getText(), u"first\nsecond\nthird");
    EXPECT_EQ(fromWx(control()->GetValue()), u"first\nsecond\nthird");
    EXPECT_FALSE(editor.isModified());
    runEventsFor(20);
    EXPECT_EQ(changes(), 0u);

    // The native control changes as typing, pasting or an input method
    // change it; the editor reads the change at once when asked.
    control()->SetInsertionPointEnd();
    control()->WriteText("!");
    EXPECT_EQ(editor.getText(), u"first\nsecond\nthird!");
    EXPECT_TRUE(editor.isModified());
    // Replacing the selection by a paste is one step; the parent hears of
    // what happened once the toolkit is idle.
    control()->SetSelection(0, 5);
    control()->WriteText("1st");
    EXPECT_EQ(changes(), 0u);
    runEventsFor(20);
    EXPECT_EQ(editor.getText(), u"1st\nsecond\nthird!");
    EXPECT_EQ(changes(), 1u);

    // Undo selects what comes back: the part of "first" that "1st" lacks.
    ctrlKey('Z');
    EXPECT_EQ(editor.getText(), u"first\nsecond\nthird!");
    EXPECT_EQ(fromWx(control()->GetValue()), editor.getText());
    EXPECT_EQ(fromWx(control()->GetStringSelection()), u"fir");
    ctrlKey('Z');
    EXPECT_EQ(fromWx(control()->GetValue()), u"first\nsecond\nthird");
    EXPECT_FALSE(editor.isModified());
    ctrlKey('Z');  // nothing more to undo
    ctrlKey('Y');
    EXPECT_EQ(fromWx(control()->GetValue()), u"first\nsecond\nthird!");
    ctrlKey('Z', true);
    EXPECT_EQ(fromWx(control()->GetValue()), u"1st\nsecond\nthird!");
    EXPECT_EQ(changes(), 5u);
    EXPECT_FALSE(editor.canRedo());

    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(editor.saveAs(dir.file("notes.txt"), 2, &error)) << error;
    EXPECT_EQ(test::readAll(dir.file("notes.txt")), "1st\nsecond\nthird!");
    EXPECT_FALSE(editor.isModified());
}

TEST_F(Editor, TypedOnTheKeyboardAWordIsOneStep) {
    editor.setFocus();
    wxUIActionSimulator keyboard;
    const wxPoint inside = control()->ClientToScreen(wxPoint(20, 20));
    keyboard.MouseMove(inside);
    keyboard.MouseClick();
    runEventsUntil([&] { return editor.hasFocus(); }, 2000);
    keyboard.Text("word");
    ASSERT_TRUE(runEventsUntil([&] { return editor.getText() == u"word"; }, 5000))
        << toUtf8(editor.getText());
    keyboard.Char('z', wxMOD_CONTROL);
    ASSERT_TRUE(runEventsUntil([&] { return editor.getText().empty(); }, 5000))
        << toUtf8(editor.getText());
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(Editor, SelectionsCountUnitsAndReplacingOneIsAStep) {
    editor.setText(u"\U0001F600 cat \U0001F600 dog");
    editor.setSelection(3, 6);  // after the face (two units) and the space
    EXPECT_EQ(editor.selectedText(), u"cat");
    EXPECT_EQ(fromWx(control()->GetStringSelection()), u"cat");
    control()->SetSelection(8, 11);  // the control counts characters
    size_t from = 0;
    size_t to = 0;
    editor.getSelection(from, to);
    EXPECT_EQ(from, 10u);
    EXPECT_EQ(to, 13u);
    EXPECT_EQ(editor.selectedText(), u"dog");

    editor.replaceSelection(u"<b>dog</b>");
    EXPECT_EQ(fromWx(control()->GetValue()), u"\U0001F600 cat \U0001F600 <b>dog</b>");
    EXPECT_EQ(changes(), 1u);
    editor.undo();
    EXPECT_EQ(editor.getText(), u"\U0001F600 cat \U0001F600 dog");
    EXPECT_EQ(editor.selectedText(), u"dog");
    EXPECT_EQ(changes(), 2u);
}

TEST_F(Editor, TheContextMenuOffersWhatCanBeDone) {
    test::ContextMenu menu;
    const test::ContextMenu::Items& offered = menu.offered;
    using Items = test::ContextMenu::Items;
    editor.setText(u"some text");
    menu.open(control());
    EXPECT_EQ(offered, (Items{{u"Undo", false},
                              {u"Redo", false},
                              {u"Cut", false},
                              {u"Copy", false},
                              {u"Paste", offered[4].second},
                              {u"Delete", false},
                              {u"Select All", true}}));

    editor.setSelection(0, 5);
    menu.open(control(), 20006);  // Delete
    EXPECT_EQ(editor.getText(), u"text");
    EXPECT_TRUE(offered[2].second && offered[3].second && offered[5].second);
    menu.open(control(), 20001);  // Undo, now offered
    EXPECT_TRUE(offered[0].second);
    EXPECT_EQ(editor.getText(), u"some text");

    // Read-only: only what changes nothing.
    editor.setReadOnly(true);
    editor.setSelection(0, 4);
    menu.open(control());
    EXPECT_EQ(offered, (Items{{u"Undo", false},
                              {u"Redo", false},
                              {u"Cut", false},
                              {u"Copy", true},
                              {u"Paste", false},
                              {u"Delete", false},
                              {u"Select All", true}}));
    editor.replaceSelection(u"x");  // from code it still edits
    EXPECT_EQ(editor.getText(), u"x text");
}

TEST(EditorWithoutWindow, KeepsItsTextForTheWindowToCome) {
    test::HostWindow host;
    TextEditor editor;
    editor.setText(u"before\r\n");
    EXPECT_EQ(editor.getText(), u"before\n");
    ASSERT_TRUE(editor.create(host));
    EXPECT_EQ(fromWx(static_cast<wxTextCtrl*>(editor.handle())->GetValue()), u"before\n");
    static_cast<wxTextCtrl*>(editor.handle())->WriteText("typed ");
    editor.destroy();
    EXPECT_EQ(editor.getText(), u"typed before\n");
}

}  // namespace
}  // namespace pw
