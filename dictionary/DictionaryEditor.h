// What a pane of the dictionary window does with its list of dictionaries,
// without the pane: the dictionary chosen in the list, its entries as the
// rows of the entry table, adding and removing entries, switching
// dictionaries on and off, and registering a copied word with its reading.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dictionary/DictionaryList.h"

namespace pw {

class InputMethodEditor;

class DictionaryEditor {
public:
    // The longest copied text registered as a word.
    static constexpr size_t kMaxCopiedWord = 20;

    // list must outlive the editor.
    explicit DictionaryEditor(DictionaryList& list) : m_list(list) {}

    DictionaryList& list() const { return m_list; }

    // The dictionary whose entries are the rows; -1 (null) when none is
    // chosen. An index outside the list chooses none.
    int selectedIndex() const;
    BaseDictionaryData* selected() const;
    void select(int index);

    // The rows: a word dictionary's entries in key order, a pattern
    // dictionary's rules in the order they are applied.
    int rowCount() const;
    std::u16string key(int row) const;
    std::u16string value(int row) const;
    // The row of the entry with key; -1 when there is none.
    int rowOf(const std::u16string& key) const;
    // The first row whose key begins with prefix, ASCII letters compared
    // without case; -1 when none does or prefix is empty.
    int findPrefix(const std::u16string& prefix) const;

    // Adds the entry to the chosen dictionary, or gives an existing key its
    // new value in place; a new pattern goes first. Tabs and line breaks,
    // which an entry cannot hold, become spaces. The entry's row; -1 (and
    // nothing changes) when the key is empty or no dictionary is chosen.
    int add(const std::u16string& key, const std::u16string& value);
    // Removes the entries of rows from the chosen dictionary, the last row
    // first; the rows that went, in that order.
    std::vector<int> removeRows(std::vector<int> rows);

    // Switches dictionary index on or off; its new state.
    bool toggleEnabled(int index);

    // The copied text to register: trimmed of surrounding white space, 1 to
    // kMaxCopiedWord units long; none otherwise.
    static std::optional<std::u16string> copiedWord(const std::u16string& clipboardText);
    // The reading of word in katakana from editor (which must be open);
    // empty when there is none, or when it would read word as it stands.
    static std::u16string wordReading(InputMethodEditor& editor, const std::u16string& word);

private:
    DictionaryList& m_list;
    int m_selected = -1;
};

}  // namespace pw
