// What the word and pattern panes of the dictionary window share: the entry
// table of the chosen dictionary, the list of dictionaries with their check
// boxes, the "Key:" and "Replace:" editors with "New" and "Delete", and an
// options group with one check box. The work is DictionaryEditor's; the pane
// shows it and forwards the learner's actions.
#pragma once

#include <string>
#include <vector>

#include "dictionary/DictionaryEditor.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/GroupComponent.h"
#include "gui/Label.h"
#include "gui/TableComponent.h"
#include "gui/TextArea.h"

namespace pw {

class BaseDictionaryPane : public GroupComponent {
public:
    // The entries of the chosen dictionary, drawn from the editor.
    class WordTable : public TableComponent {
    public:
        explicit WordTable(const DictionaryEditor& editor);
        std::u16string cellText(int row, int column) const override;

    private:
        const DictionaryEditor& m_editor;
    };

    static constexpr int kDeleteItem = 1;
    static constexpr const char16_t* kNoDictionaryText =
        u"（´・ω・｀）＜右下にある辞書リストから、辞書を選択してください。";
    static constexpr const char16_t* kNoDictionaryCaption =
        u"Please select a dictionary from the Dictinoary list.";

    // list must outlive the pane.
    explicit BaseDictionaryPane(DictionaryList& list);

    DictionaryEditor& editor() { return m_editor; }
    WordTable& entryTable() { return m_entries; }
    Table& dictionaryTable() { return m_dictionaries; }
    TextField& keyEditor() { return m_key; }
    TextField& replaceEditor() { return m_replace; }
    Button& newButton() { return m_new; }
    Button& deleteButton() { return m_delete; }
    GroupComponent& optionsGroup() { return m_options; }
    CheckBox& optionBox() { return m_option; }

    // Lists the dictionaries again (after they were read anew) and shows the
    // entries of the chosen one.
    void refresh();
    // Chooses a dictionary and shows its entries; -1 chooses none.
    void selectDictionary(int index);
    // "New": adds the entry to the chosen dictionary, or says that none is
    // chosen; the entry's row, -1 when nothing was added.
    int addEntry(const std::u16string& key, const std::u16string& value);
    // "Delete": removes the selected entries.
    void deleteSelectedEntries();
    // Switches dictionary index on or off, its box with it.
    void toggleDictionary(int index);

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;

protected:
    // The options group's check box: its text and tooltip (before create),
    // what it does, and what it shows for the chosen dictionary.
    void setOption(const std::u16string& text, const std::u16string& tip);
    virtual void optionClicked(bool /*checked*/) {}
    virtual void dictionarySelected() {}
    // Whether the options group is shown at all.
    virtual bool showsOptions() const { return true; }

private:
    void entrySelectionChanged();
    void keyChanged();
    void showEntries();
    void showEntryContextMenu(const Notify& notify);
    void createControl(BaseWindow& control, BaseWindow& parent, const std::u16string& text,
                       const std::u16string& tip = {});

    DictionaryEditor m_editor;
    WordTable m_entries{m_editor};
    Table m_dictionaries;
    Label m_keyLabel;
    TextField m_key;
    Label m_replaceLabel;
    TextField m_replace;
    Button m_new;
    Button m_delete;
    GroupComponent m_options;
    CheckBox m_option;
    std::u16string m_optionTip;
};

}  // namespace pw
