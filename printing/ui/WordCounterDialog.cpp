// The word counter's dialog.
#include "printing/ui/WordCounterDialog.h"

#include <algorithm>

#include <wx/defs.h>

#include "core/UiServices.h"
#include "core/Utf.h"
#include "gui/Menu.h"

namespace pw {
namespace {

constexpr int kMargin = 4;
constexpr int kTop = 28;  // below the count button

}  // namespace

WordCounterDialog::WordCounterDialog(std::string folder) : m_counter(std::move(folder)) {}

WordCounterDialog::~WordCounterDialog() {
    if (!m_discard) {
        m_counter.save();
    }
}

bool WordCounterDialog::onInit() {
    setTitle(kCaption);
    wxWindow* parent = handle();
    m_text.create(parent, kMargin, kTop, 100, 100);
    m_count.setId(kCountButton);
    m_count.setText(u"単語を数える");
    m_count.create(parent, 296, 4, 86, 20);
    m_tabs.create(parent, kMargin, kTop, 100, 100);
    // The tables' menus and keys come here, not to the tabs they sit in.
    m_newWords.setId(kNewWordTable);
    m_newWords.setCommandTarget(this);
    m_newWords.create(m_tabs);
    m_newWords.addColumn(u"Cnt", 50, Table::Align::Right);
    m_newWords.addColumn(u"単語", 160);
    m_newWords.addColumn(u"意味", 300);
    m_tabs.addPage(m_newWords, u"新規単語");
    m_learned.setId(kLearnedTable);
    m_learned.setCommandTarget(this);
    m_learned.create(m_tabs);
    m_learned.addColumn(u"単語", 160);
    m_learned.addColumn(u"意味", 300);
    m_tabs.addPage(m_learned, u"習得単語");

    m_counter.load();
    for (const auto& [word, meaning] : m_counter.learned().entries()) {
        m_learned.addRow({word, meaning});
    }
    setSizeCentred(640, 480);
    return true;
}

void WordCounterDialog::onSize(int width, int height) {
    const int inner = std::max(width - 2 * kMargin, 10);
    const int textHeight = std::max((height - kTop) / 2 - kMargin, 20);
    m_count.setBounds(296, 4, 86, 20);
    m_text.setBounds(kMargin, kTop, inner, textHeight);
    const int tabsTop = kTop + textHeight + kMargin;
    m_tabs.setBounds(kMargin, tabsTop, inner, std::max(height - tabsTop - kMargin, 20));
}

bool WordCounterDialog::onCommand(const Command& command) {
    if (command.code == codes::kClicked && command.id == kCountButton) {
        countText();
        return true;
    }
    return Dialog::onCommand(command);
}

bool WordCounterDialog::onNotify(const Notify& notify) {
    if (notify.sender != m_newWords.handle()) {
        return false;
    }
    if (notify.code == codes::kContextMenu) {
        showNewWordMenu(notify);
        return true;
    }
    if (notify.code == codes::kKeyDown && notify.key == WXK_DELETE) {
        if (const int row = m_newWords.focusedRow(); row >= 0) {
            moveToLearned({row});
        }
        return true;
    }
    return false;
}

bool WordCounterDialog::onCancel() {
    std::string error;
    if (m_counter.save(&error)) {
        return true;
    }
    const int answer = messageBox(u"The learned words could not be saved.\n" + fromUtf8(error) +
                                      u"\n\nClose the word counter without saving them?",
                                  MbYesNo | MbIconWarning | MbDefButton2);
    m_discard = answer == IdYes;
    return m_discard;
}

void WordCounterDialog::countText() {
    const WordCount& count = m_counter.count(m_text.getText());
    m_newWords.deleteAllRows();
    for (const WordTally& tally : count.newWords) {
        m_newWords.addRow({fromUtf8(std::to_string(tally.count)), tally.word, u""});
    }
    messageBox(countMessage(count), MbOk | MbIconInformation);
}

void WordCounterDialog::moveToLearned(const std::vector<int>& rows) {
    for (const WordCounter::Moved& moved : m_counter.moveToLearned(rows)) {
        m_newWords.deleteRow(moved.row);
        m_learned.addRow({moved.word, moved.meaning});
    }
}

void WordCounterDialog::showNewWordMenu(const Notify& notify) {
    PopupMenu menu;
    menu.append(kMoveItem, kMoveItemText);
    const std::vector<int> rows = m_newWords.selectedRows();
    menu.setEnabled(kMoveItem, !rows.empty());
    if (menu.track(m_newWords, notify.x, notify.y) == kMoveItem) {
        moveToLearned(rows);
    }
}

}  // namespace pw
