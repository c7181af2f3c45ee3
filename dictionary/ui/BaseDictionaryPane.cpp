// The shared part of the word and pattern panes.
#include "dictionary/ui/BaseDictionaryPane.h"

#include <algorithm>

#include <wx/defs.h>
#include <wx/window.h>

#include "core/UiServices.h"
#include "core/Utf.h"
#include "gui/ChildControl.h"
#include "gui/Menu.h"

namespace pw {
namespace {

constexpr int kMargin = 4;
constexpr int kRow = 22;
constexpr int kLabelWidth = 64;
constexpr int kListWidth = 180;
// GTK's check boxes need a little more than a text line.
constexpr int kCheckHeight = 26;
constexpr int kMinTable = 60;

}  // namespace

BaseDictionaryPane::WordTable::WordTable(const DictionaryEditor& editor) : m_editor(editor) {}

std::u16string BaseDictionaryPane::WordTable::cellText(int row, int column) const {
    return column == 0 ? m_editor.key(row) : m_editor.value(row);
}

BaseDictionaryPane::BaseDictionaryPane(DictionaryList& list) : m_editor(list) {
    m_dictionaries.setCheckBoxes(true);
    m_dictionaries.setSingleSelection(true);
}

void BaseDictionaryPane::setOption(const std::u16string& text, const std::u16string& tip) {
    m_option.setText(text);
    m_optionTip = tip;
}

void BaseDictionaryPane::createControl(BaseWindow& control, BaseWindow& parent,
                                       const std::u16string& text, const std::u16string& tip) {
    // Controls inside the options group report to the pane.
    createChildControl(control, parent.handle(), text, tip, this);
}

bool BaseDictionaryPane::onCreate() {
    createControl(m_keyLabel, *this, u"Key:");
    createControl(m_key, *this, u"");
    createControl(m_replaceLabel, *this, u"Replace:");
    createControl(m_replace, *this, u"");
    createControl(m_new, *this, u"New");
    createControl(m_delete, *this, u"Delete");
    createControl(m_entries, *this, u"");
    m_entries.addColumn(u"Key", 160);
    m_entries.addColumn(u"Replace", 160);
    createControl(m_dictionaries, *this, u"");
    m_dictionaries.addColumn(u"Dictionary", 170);
    m_options.setText(u"Options:");
    createControl(m_options, *this, u"");
    createControl(m_option, m_options, {}, m_optionTip);
    m_options.setVisible(showsOptions());
    m_new.setEnabled(false);
    m_delete.setEnabled(false);
    refresh();
    onSize(clientWidth(), clientHeight());
    return true;
}

void BaseDictionaryPane::onSize(int width, int height) {
    if (!m_entries.handle()) {
        return;
    }
    // The entries on the left, the dictionaries and the options on the right.
    const int right = std::max(width - kListWidth - kMargin, 2 * kMargin + 200);
    const int editorWidth = std::max(right - kLabelWidth - 2 * kMargin, 60);
    m_keyLabel.setBounds(kMargin, kMargin, kLabelWidth - 6, kRow);
    m_key.setBounds(kLabelWidth, kMargin, editorWidth, kRow);
    m_replaceLabel.setBounds(kMargin, kMargin + kRow + 2, kLabelWidth - 6, kRow);
    m_replace.setBounds(kLabelWidth, kMargin + kRow + 2, editorWidth, kRow);
    const int tableTop = kMargin + 2 * (kRow + 2) + kMargin;
    m_entries.setBounds(kMargin, tableTop, right - 2 * kMargin,
                        std::max(height - tableTop - kMargin, kMinTable));

    const int buttonWidth = (kListWidth - kMargin) / 2;
    m_new.setBounds(right, kMargin, buttonWidth, kRow);
    m_delete.setBounds(right + buttonWidth + kMargin, kMargin, buttonWidth, kRow);
    int listTop = kMargin + kRow + kMargin;
    if (showsOptions()) {
        const int groupHeight = kCheckHeight + 28;
        m_options.setBounds(right, listTop, kListWidth, groupHeight);
        const wxRect area = m_options.clientArea();
        m_option.setBounds(area.x, area.y, area.width, kCheckHeight);
        listTop += groupHeight + kMargin;
    }
    m_dictionaries.setBounds(right, listTop, kListWidth,
                             std::max(height - listTop - kMargin, kMinTable));
}

void BaseDictionaryPane::refresh() {
    if (!m_dictionaries.handle()) {
        return;
    }
    const int chosen = m_editor.selectedIndex();
    m_dictionaries.deleteAllRows();
    DictionaryList& list = m_editor.list();
    for (int i = 0; i < list.size(); ++i) {
        const BaseDictionaryData* dictionary = list.at(i);
        m_dictionaries.addRow({fromUtf8(dictionary->name())});
        m_dictionaries.setRowChecked(i, dictionary->enabled());
    }
    if (chosen >= 0) {
        m_dictionaries.setSelected(chosen, true);
    }
    selectDictionary(chosen);
}

void BaseDictionaryPane::selectDictionary(int index) {
    m_editor.select(index);
    showEntries();
    m_delete.setEnabled(false);
    m_new.setEnabled(m_editor.selected() && !m_key.getText().empty());
    dictionarySelected();
}

void BaseDictionaryPane::showEntries() {
    m_entries.clearSelection();
    m_entries.setRowCount(m_editor.rowCount());
    m_entries.refreshRows(0, m_editor.rowCount() - 1);
}

int BaseDictionaryPane::addEntry(const std::u16string& key, const std::u16string& value) {
    if (key.empty()) {
        return -1;
    }
    if (!m_editor.selected()) {
        messageBox(kNoDictionaryText, MbOk, kNoDictionaryCaption);
        return -1;
    }
    const int row = m_editor.add(key, value);
    if (row >= 0) {
        showEntries();
        m_entries.ensureVisible(row);
        m_delete.setEnabled(false);
    }
    return row;
}

void BaseDictionaryPane::deleteSelectedEntries() {
    if (m_editor.removeRows(m_entries.selectedRows()).empty()) {
        return;
    }
    const int top = m_entries.topRow();
    showEntries();
    if (m_editor.rowCount() > 0) {
        m_entries.ensureVisible(std::min(top, m_editor.rowCount() - 1));
    }
    m_delete.setEnabled(false);
}

void BaseDictionaryPane::toggleDictionary(int index) {
    if (!m_editor.list().at(index)) {
        return;
    }
    m_dictionaries.setRowChecked(index, m_editor.toggleEnabled(index));
}

void BaseDictionaryPane::entrySelectionChanged() {
    const int row = m_entries.selectedRow();
    m_delete.setEnabled(row >= 0);
    if (row >= 0) {
        m_key.setText(m_editor.key(row));
        m_replace.setText(m_editor.value(row));
        m_new.setEnabled(m_editor.selected() != nullptr);
    }
}

void BaseDictionaryPane::keyChanged() {
    const std::u16string key = m_key.getText();
    m_new.setEnabled(!key.empty() && m_editor.selected());
    const int row = m_editor.findPrefix(key);
    if (row >= 0) {
        m_entries.ensureVisible(row);
    }
}

void BaseDictionaryPane::showEntryContextMenu(const Notify& notify) {
    PopupMenu menu;
    menu.append(kDeleteItem, u"&Delete\tDel");
    menu.setEnabled(kDeleteItem, m_entries.selectedCount() > 0);
    if (menu.track(m_entries, notify.x, notify.y) == kDeleteItem) {
        deleteSelectedEntries();
    }
}

bool BaseDictionaryPane::onCommand(const Command& command) {
    if (command.sender == m_new.handle() && command.code == codes::kClicked) {
        addEntry(m_key.getText(), m_replace.getText());
    } else if (command.sender == m_delete.handle() && command.code == codes::kClicked) {
        deleteSelectedEntries();
    } else if (command.sender == m_key.handle() && command.code == codes::kTextChanged) {
        keyChanged();
    } else if (command.sender == m_option.handle() && command.code == codes::kClicked) {
        optionClicked(m_option.isChecked());
    } else {
        return GroupComponent::onCommand(command);
    }
    return true;
}

bool BaseDictionaryPane::onNotify(const Notify& notify) {
    if (notify.sender == m_dictionaries.handle()) {
        if (notify.code == codes::kItemSelected) {
            selectDictionary(m_dictionaries.selectedRow());
        } else if (notify.code == codes::kItemChecked) {
            if (BaseDictionaryData* dictionary = m_editor.list().at(notify.row)) {
                dictionary->setEnabled(m_dictionaries.isRowChecked(notify.row));
            }
        } else if (notify.code == codes::kKeyDown && notify.key == WXK_SPACE) {
            toggleDictionary(m_dictionaries.selectedRow());
        } else {
            return false;
        }
        return true;
    }
    if (notify.sender == m_entries.handle()) {
        if (notify.code == codes::kItemSelected) {
            entrySelectionChanged();
        } else if (notify.code == codes::kKeyDown && notify.key == WXK_DELETE) {
            deleteSelectedEntries();
        } else if (notify.code == codes::kContextMenu) {
            showEntryContextMenu(notify);
        } else {
            return false;
        }
        return true;
    }
    return GroupComponent::onNotify(notify);
}

}  // namespace pw
