// The markup editor under a display, with a page that records what it is
// given: the strip, the role and memo surrounds on their keys and in the
// context menu, the line-break box, the element chooser, and the report of
// an edit, which comes only once the page has the element.
#include <set>

#include <wx/textctrl.h>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "editor/HtmlEditor.h"
#include "editor/tests/ContextMenu.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/ui/testsupport/KeyPresses.h"

namespace pw {
namespace {
using test::runEventsFor;
using test::sendNative;

class FakePage : public HtmlEditor::Page {
public:
    void setElementHtml(const std::u16string& id, const std::u16string& html,
                        std::function<void(bool)> done) override {
        received.push_back(id + u"=" + html);
        // Answers come later, as the browser's do.
        waiting.push_back([this, id, done] { done(ids.count(id) > 0); });
    }
    void answer() {
        auto answers = std::move(waiting);
        for (auto& a : answers) {
            a();
        }
    }
    std::set<std::u16string> ids{u"sentence", u"translation", u"explanation"};
    std::vector<std::u16string> received;
    std::vector<std::function<void()>> waiting;
};

// Records how often the editor asked it to make room.
class Owner : public test::HostWindow {
public:
    Owner() : HostWindow(600, 400) {}
    void onSize(int, int) override { ++layouts; }
    int layouts = 0;
};

class Markup : public ::testing::Test {
protected:
    void SetUp() override {
        editor.setPage(&page);
        ASSERT_TRUE(editor.create(owner, 0, 0, 600, 200));
        owner.layouts = 0;
    }
    HtmlEditor::HtmlTextEditor& text() { return editor.textEditor(); }
    wxTextCtrl* control() { return static_cast<wxTextCtrl*>(text().handle()); }
    size_t reports() {
        page.answer();
        size_t n = 0;
        for (const Command& command : owner.commands) {
            n += command.sender == editor.handle() && command.code == HtmlEditor::kEditedCode;
        }
        return n;
    }
    void open() {
        sendNative(editor.editButton().handle(), wxEVT_BUTTON);
        page.received.clear();
    }
    void key(int keyCode, bool control = false) {
        test::pressKey(this->control(), keyCode, 0, control);
    }
    // The learner selects text in the editor.
    void select(const std::u16string& word) {
        const size_t at = text().getText().find(word);
        ASSERT_NE(at, std::u16string::npos);
        text().setSelection(at, at + word.size());
    }

    Owner owner;
    FakePage page;
    HtmlEditor editor;
};

TEST_F(Markup, TheStripStartsClosedAndEditOpensIt) {
    EXPECT_EQ(editor.editButton().getText(), u"Edit");
    ASSERT_EQ(editor.elementChooser().itemCount(), 3);
    EXPECT_EQ(editor.elementChooser().itemText(2), u"explanation");
    EXPECT_EQ(editor.selectedId(), u"sentence");
    EXPECT_TRUE(editor.lineFeedBox().isChecked());
    EXPECT_FALSE(editor.elementChooser().isEnabled());
    EXPECT_FALSE(text().isEnabled());
    const int closedHeight = editor.preferredHeight();
    EXPECT_EQ(text().y(), editor.stripHeight());

    open();
    EXPECT_EQ(editor.editButton().getText(), u"Close");
    EXPECT_TRUE(editor.elementChooser().isEnabled());
    EXPECT_TRUE(text().isEnabled());
    EXPECT_GT(editor.preferredHeight(), closedHeight);
    EXPECT_EQ(owner.layouts, 1);  // room for the taller editor
    sendNative(editor.editButton().handle(), wxEVT_BUTTON);
    EXPECT_EQ(editor.editButton().getText(), u"Edit");
    EXPECT_FALSE(text().isEnabled());
    EXPECT_EQ(owner.layouts, 2);
}

TEST_F(Markup, RoleKeysWrapTheSelectionAndThePageShowsIt) {
    editor.setEditedHtml(u"sentence", u"the cat sat");
    editor.showEditor(true);
    EXPECT_EQ(text().getText(), u"the cat sat");
    open();

    select(u"cat");
    key(WXK_F3);
    const std::u16string marked = u"the <span class='object'>cat</span> sat";
    EXPECT_EQ(text().getText(), marked);
    EXPECT_EQ(editor.editedHtml(u"sentence"), marked);
    EXPECT_EQ(page.received, std::vector<std::u16string>{u"sentence=" + marked});
    EXPECT_EQ(reports(), 1u);

    // Without a selection F2 does nothing; F6 to F10 are taken and do nothing.
    key(WXK_F2);
    for (int f = WXK_F6; f <= WXK_F10; ++f) {
        key(f);
    }
    EXPECT_EQ(text().getText(), marked);
    EXPECT_EQ(reports(), 1u);

    struct Case {
        int keyCode;
        bool control;
        const char16_t* word;
        const char16_t* opening;
    };
    const Case cases[] = {
        {WXK_F1, false, u"the", u"<span class='subject'>"},
        {WXK_F2, false, u"sat", u"<span class='verb'>"},
        {WXK_F4, false, u"cat", u"<span class='complement'>"},  // nests the object span's
        {WXK_F5, false, u"span", u"<span class='modifier'>"},
        {'M', true, u"object", u"<span class=\"memo\" title=\"\">"},
    };
    for (const Case& c : cases) {
        const std::u16string before = text().getText();
        select(c.word);
        key(c.keyCode, c.control);
        std::u16string expected = before;
        const size_t at = before.find(c.word);
        expected.replace(at, std::u16string(c.word).size(),
                         c.opening + std::u16string(c.word) + u"</span>");
        EXPECT_EQ(text().getText(), expected) << toUtf8(c.opening);
    }
    EXPECT_EQ(reports(), 6u);
    // Each surround is one step.
    text().undo();
    text().undo();
    text().undo();
    text().undo();
    text().undo();
    EXPECT_EQ(text().getText(), marked);
}

TEST_F(Markup, TheContextMenuEndsWithTheSurrounds) {
    editor.setEditedHtml(u"translation", u"猫が座った");
    editor.elementChooser().select(1);
    sendNative(editor.elementChooser().handle(), wxEVT_COMBOBOX);
    EXPECT_EQ(text().getText(), u"猫が座った");
    open();

    test::ContextMenu menu;
    const test::ContextMenu::Items& offered = menu.offered;
    menu.open(control());
    ASSERT_EQ(offered.size(), 13u);
    const std::vector<std::u16string> surrounds = {u"Surround Memo",       u"Surround Subject",
                                                   u"Surround Verb",       u"Surround Object",
                                                   u"Surround Complement", u"Surround Modifier"};
    for (size_t i = 0; i < surrounds.size(); ++i) {
        EXPECT_EQ(offered[7 + i], (std::pair{surrounds[i], false}));
    }
    select(u"猫");
    menu.open(control(), HtmlEditor::HtmlTextEditor::kModifier);
    EXPECT_TRUE(offered[12].second);
    EXPECT_EQ(editor.editedHtml(u"translation"), u"<span class='modifier'>猫</span>が座った");
    EXPECT_EQ(editor.editedHtml(u"sentence"), u"");
    EXPECT_EQ(reports(), 1u);
}

TEST_F(Markup, TheLineFeedBoxDecidesWhatThePageReceives) {
    editor.setEditedHtml(u"explanation", u"one\r\ntwo\nthree");
    EXPECT_EQ(page.received.back(), u"explanation=one<br />two<br />three");
    editor.lineFeedBox().setChecked(false);
    sendNative(editor.lineFeedBox().handle(), wxEVT_CHECKBOX);
    EXPECT_EQ(page.received.back(), u"explanation=one\r\ntwo\nthree");
    // Kept as given: the page's form is not what the editor keeps.
    EXPECT_EQ(editor.editedHtml(u"explanation"), u"one\r\ntwo\nthree");
    EXPECT_EQ(HtmlEditor::lineBreaksToBr(u"a\rb\r\n\r\nc"), u"a<br />b<br /><br />c");
    EXPECT_EQ(reports(), 0u);  // setting from code reports nothing
}

TEST_F(Markup, AnEditForAnElementThePageLacksIsKeptButNotReported) {
    page.ids = {u"sentence"};
    editor.setEditedHtml(u"explanation", u"note");
    editor.elementChooser().select(2);
    sendNative(editor.elementChooser().handle(), wxEVT_COMBOBOX);
    open();
    control()->SetInsertionPointEnd();
    control()->WriteText(" more");
    runEventsFor(20);
    EXPECT_EQ(editor.editedHtml(u"explanation"), u"note more");
    EXPECT_EQ(page.received, std::vector<std::u16string>{u"explanation=note more"});
    EXPECT_EQ(reports(), 0u);

    // Without a page nothing is sent and nothing reported.
    editor.setPage(nullptr);
    control()->WriteText("!");
    runEventsFor(20);
    EXPECT_EQ(editor.editedHtml(u"explanation"), u"note more!");
    EXPECT_EQ(reports(), 0u);
}

TEST_F(Markup, AnAnswerAfterTheEditorIsGoneIsDropped) {
    editor.setEditedHtml(u"sentence", u"a b");
    editor.showEditor(true);
    open();
    control()->WriteText("x");
    runEventsFor(20);
    ASSERT_FALSE(page.waiting.empty());
    editor.destroy();
    page.answer();
    EXPECT_TRUE(owner.commands.empty());
}

}  // namespace
}  // namespace pw
