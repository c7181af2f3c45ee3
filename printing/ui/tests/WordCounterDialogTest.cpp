// The word counter's dialog under a display: its controls and the learned
// list, a count and its report, words moved by the menu and the Delete key
// and found again after reopening, and a learned list that cannot be saved.
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/defs.h>
#include <wx/dialog.h>

#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "printing/ui/WordCounterDialog.h"

namespace pw {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;

Rows rowsOf(Table& table) {
    Rows rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        std::vector<std::u16string> cells;
        for (int c = 0; c < table.columnCount(); ++c) {
            cells.push_back(table.cellText(r, c));
        }
        rows.push_back(cells);
    }
    return rows;
}

class CounterDialog : public ::testing::Test {
protected:
    std::string folder() const { return m_dir.file("Dictionaries") + "/"; }

    // meaning TAB word lines, UTF-16 with its mark
    void writeLearned(const std::u16string& lines) {
        std::filesystem::create_directories(folder());
        std::string bytes = "\xFF\xFE";
        for (char16_t c : lines) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        test::writeAll(folder() + kLearnedWordsName, bytes);
    }
    WordCounterDialog& open() {
        m_dialog = std::make_unique<WordCounterDialog>(folder());
        EXPECT_TRUE(m_dialog->showModeless(nullptr));
        return *m_dialog;
    }
    // Closes as the window's close box does.
    bool closeDialog() {
        if (!m_dialog->onCancel()) {
            return false;
        }
        m_dialog.reset();
        return true;
    }
    void count(const std::u16string& text) {
        m_dialog->textArea().setText(text);
        m_dialog->onCommand(Command{WordCounterDialog::kCountButton, codes::kClicked,
                                    m_dialog->countButton().handle()});
    }
    Notify fromNewWords(int code) {
        Notify notify;
        notify.id = WordCounterDialog::kNewWordTable;
        notify.code = code;
        notify.sender = m_dialog->newWordTable().handle();
        return notify;
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    std::unique_ptr<WordCounterDialog> m_dialog;
};

TEST_F(CounterDialog, ControlsAndTheLearnedWordsInKeyOrder) {
    writeLearned(u"\tdog\r\n猫\tcat\r\n");
    WordCounterDialog& dialog = open();
    EXPECT_EQ(fromWx(dialog.handle()->GetLabel()), WordCounterDialog::kCaption);
    Button& button = dialog.countButton();
    EXPECT_EQ(button.getText(), u"単語を数える");
    EXPECT_EQ(button.x(), 296);
    EXPECT_EQ(button.y(), 4);
    EXPECT_EQ(button.width(), 86);
    EXPECT_EQ(button.height(), 20);
    TabbedPane& tabs = dialog.tabs();
    ASSERT_EQ(tabs.pageCount(), 2);
    EXPECT_EQ(tabs.pageTitle(0), u"新規単語");
    EXPECT_EQ(tabs.pageTitle(1), u"習得単語");
    const std::vector<std::u16string> newTitles = {u"Cnt", u"単語", u"意味"};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(dialog.newWordTable().columnTitle(c), newTitles[static_cast<size_t>(c)]);
    }
    EXPECT_EQ(dialog.learnedTable().columnCount(), 2);
    EXPECT_EQ(rowsOf(dialog.learnedTable()), (Rows{{u"cat", u"猫"}, {u"dog", u""}}));
    EXPECT_EQ(dialog.newWordTable().rowCount(), 0);
}

TEST_F(CounterDialog, ACountListsTheNewWordsAndReportsTheTotals) {
    writeLearned(u"\tcat\r\n");
    open();
    count(u"The cat saw the cat.");
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, u"語数:\t5\n種類:\t2/3\n");
    EXPECT_EQ(m_ui->boxes[0].caption, u"Korvant");
    EXPECT_EQ(rowsOf(m_dialog->newWordTable()), (Rows{{u"2", u"the", u""}, {u"1", u"saw", u""}}));
    // A second count replaces the list.
    count(u"12 + 30");
    EXPECT_EQ(m_ui->boxes.back().text, u"語数:\t0\n種類:\t0/0\n");
    EXPECT_EQ(m_dialog->newWordTable().rowCount(), 0);
}

TEST_F(CounterDialog, MovedWordsAreLearnedAndStaySoAfterReopening) {
    WordCounterDialog& dialog = open();
    count(u"The quick brown fox saw the fox.");
    Table& fresh = dialog.newWordTable();
    ASSERT_EQ(fresh.rowCount(), 5);  // the quick brown fox saw

    // The menu's one item moves the selected rows; with none it is disabled.
    std::vector<bool> enabled;
    test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
        EXPECT_EQ(menu.itemIds(), std::vector<int>{WordCounterDialog::kMoveItem});
        EXPECT_EQ(menu.text(WordCounterDialog::kMoveItem), WordCounterDialog::kMoveItemText);
        enabled.push_back(menu.isEnabled(WordCounterDialog::kMoveItem));
        return menu.isEnabled(WordCounterDialog::kMoveItem) ? WordCounterDialog::kMoveItem : 0;
    });
    fresh.clearSelection();
    EXPECT_TRUE(dialog.onNotify(fromNewWords(codes::kContextMenu)));
    fresh.setSelected(1, true);
    fresh.setSelected(3, true);
    EXPECT_TRUE(dialog.onNotify(fromNewWords(codes::kContextMenu)));
    EXPECT_EQ(enabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(rowsOf(fresh),
              (Rows{{u"2", u"the", u""}, {u"1", u"brown", u""}, {u"1", u"saw", u""}}));
    // From the last selected row to the first.
    EXPECT_EQ(rowsOf(dialog.learnedTable()), (Rows{{u"fox", u""}, {u"quick", u""}}));

    // Delete moves the focused row.
    fresh.setFocusedRow(2);
    Notify key = fromNewWords(codes::kKeyDown);
    key.key = WXK_DELETE;
    EXPECT_TRUE(dialog.onNotify(key));
    EXPECT_EQ(rowsOf(fresh), (Rows{{u"2", u"the", u""}, {u"1", u"brown", u""}}));
    key.key = WXK_BACK;
    EXPECT_FALSE(dialog.onNotify(key));
    EXPECT_EQ(fresh.rowCount(), 2);

    ASSERT_TRUE(closeDialog());
    WordCounterDialog& reopened = open();
    EXPECT_EQ(rowsOf(reopened.learnedTable()),
              (Rows{{u"fox", u""}, {u"quick", u""}, {u"saw", u""}}));
    count(u"A quick fox saw a brown dog.");
    EXPECT_EQ(rowsOf(reopened.newWordTable()), (Rows{{u"1", u"brown", u""}, {u"1", u"dog", u""}}));
}

TEST_F(CounterDialog, ALearnedListThatCannotBeSavedIsNotLostWithoutAsking) {
    test::writeAll(m_dir.file("Dictionaries"), "a file where the folder should be");
    WordCounterDialog& dialog = open();
    count(u"Hello world");
    dialog.newWordTable().setFocusedRow(0);
    Notify key = fromNewWords(codes::kKeyDown);
    key.key = WXK_DELETE;
    dialog.onNotify(key);
    m_ui->boxes.clear();
    m_ui->answers = {IdNo, IdYes};
    EXPECT_FALSE(dialog.onCancel());  // stays open
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_NE(m_ui->boxes[0].text.find(u"could not be saved"), std::u16string::npos);
    EXPECT_NE(m_ui->boxes[0].text.find(u"Learning.txt"), std::u16string::npos);
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_TRUE(closeDialog());
    EXPECT_EQ(m_ui->boxes.size(), 2u);
}

}  // namespace
}  // namespace pw
