// "WordCounter": the learner pastes a text, counts its words, and sees the
// words not learned yet ("新規単語", with how often each occurs) beside the
// learned ones ("習得単語"). Selected new words move to the learned list
// from the table's context menu or with the Delete key; the learned list is
// saved when the dialog closes. The logic is WordCounter's.
#pragma once

#include <string>

#include "editor/TextEditor.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/TabbedPane.h"
#include "gui/Table.h"
#include "printing/WordCounter.h"

namespace pw {

class WordCounterDialog : public Dialog {
public:
    static constexpr const char16_t* kCaption = u"WordCounter";
    static constexpr const char16_t* kMoveItemText = u"選択単語を習得リストへ移す";
    enum Id : int { kCountButton = 101, kNewWordTable, kLearnedTable };
    enum MenuId : int { kMoveItem = 1 };

    // The learned words live in folder ("Dictionaries/").
    explicit WordCounterDialog(std::string folder = learnerFolder(kLearnedWordsFolder));
    // Saves the learned words if closing did not.
    ~WordCounterDialog() override;

    WordCounter& counter() { return m_counter; }
    TextEditor& textArea() { return m_text; }
    Button& countButton() { return m_count; }
    TabbedPane& tabs() { return m_tabs; }
    Table& newWordTable() { return m_newWords; }
    Table& learnedTable() { return m_learned; }

    // Counts the text area's words, lists the new ones and shows the totals.
    void countText();
    // Moves the new words of rows to the learned list.
    void moveToLearned(const std::vector<int>& rows);

    bool onInit() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;
    // Saves the learned words; when that fails the learner may stay, so
    // that they are not lost.
    bool onCancel() override;

private:
    void showNewWordMenu(const Notify& notify);

    WordCounter m_counter;
    TextEditor m_text;
    Button m_count;
    TabbedPane m_tabs;
    Table m_newWords;
    Table m_learned;
    bool m_discard = false;  // the learner chose to close without saving
};

}  // namespace pw
