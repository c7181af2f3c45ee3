// The logic of a dictionary pane.
#include "dictionary/DictionaryEditor.h"

#include <algorithm>
#include <iterator>

#include "dictionary/DictionaryData.h"
#include "dictionary/InputMethodEditor.h"
#include "dictionary/RegexDictionaryData.h"

namespace pw {
namespace {

std::u16string oneLine(std::u16string text) {
    std::replace_if(
        text.begin(), text.end(), [](char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; },
        u' ');
    return text;
}

char16_t lowerAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool startsWithIgnoringCase(const std::u16string& text, const std::u16string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return lowerAscii(a) == lowerAscii(b); });
}

bool isWhiteSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000';
}

}  // namespace

int DictionaryEditor::selectedIndex() const {
    return m_selected < m_list.size() ? m_selected : -1;
}

BaseDictionaryData* DictionaryEditor::selected() const {
    return m_list.at(selectedIndex());
}

void DictionaryEditor::select(int index) {
    m_selected = index >= 0 && index < m_list.size() ? index : -1;
}

int DictionaryEditor::rowCount() const {
    const BaseDictionaryData* dictionary = selected();
    return dictionary ? dictionary->size() : 0;
}

std::u16string DictionaryEditor::key(int row) const {
    const BaseDictionaryData* dictionary = selected();
    if (!dictionary || row < 0 || row >= dictionary->size()) {
        return {};
    }
    if (const auto* patterns = dynamic_cast<const RegexDictionaryData*>(dictionary)) {
        return patterns->rules()[static_cast<size_t>(row)].pattern;
    }
    return dictionary->keyAt(row);
}

std::u16string DictionaryEditor::value(int row) const {
    const BaseDictionaryData* dictionary = selected();
    if (const auto* patterns = dynamic_cast<const RegexDictionaryData*>(dictionary)) {
        return row >= 0 && row < patterns->size()
                   ? patterns->rules()[static_cast<size_t>(row)].replacement
                   : std::u16string();
    }
    const std::u16string k = key(row);
    return k.empty() ? std::u16string() : dictionary->get(k);
}

int DictionaryEditor::rowOf(const std::u16string& key) const {
    const BaseDictionaryData* dictionary = selected();
    if (const auto* words = dynamic_cast<const DictionaryData*>(dictionary)) {
        const auto found = words->entries().find(key);
        return found == words->entries().end()
                   ? -1
                   : static_cast<int>(std::distance(words->entries().begin(), found));
    }
    for (int row = 0; row < rowCount(); ++row) {
        if (this->key(row) == key) {
            return row;
        }
    }
    return -1;
}

int DictionaryEditor::findPrefix(const std::u16string& prefix) const {
    if (prefix.empty()) {
        return -1;
    }
    const BaseDictionaryData* dictionary = selected();
    if (const auto* words = dynamic_cast<const DictionaryData*>(dictionary)) {
        // Walked in order rather than by index: the index is a cursor.
        int row = 0;
        for (const auto& entry : words->entries()) {
            if (startsWithIgnoringCase(entry.first, prefix)) {
                return row;
            }
            ++row;
        }
        return -1;
    }
    for (int row = 0; row < rowCount(); ++row) {
        if (startsWithIgnoringCase(key(row), prefix)) {
            return row;
        }
    }
    return -1;
}

int DictionaryEditor::add(const std::u16string& key, const std::u16string& value) {
    BaseDictionaryData* dictionary = selected();
    const std::u16string storedKey = oneLine(key);
    if (!dictionary || storedKey.empty()) {
        return -1;
    }
    dictionary->set(storedKey, oneLine(value), 0);
    return rowOf(storedKey);
}

std::vector<int> DictionaryEditor::removeRows(std::vector<int> rows) {
    std::vector<int> removed;
    BaseDictionaryData* dictionary = selected();
    if (!dictionary) {
        return removed;
    }
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows) {
        const std::u16string k = key(row);
        if (!k.empty() && dictionary->remove(k)) {
            removed.push_back(row);
        }
    }
    return removed;
}

bool DictionaryEditor::toggleEnabled(int index) {
    BaseDictionaryData* dictionary = m_list.at(index);
    if (!dictionary) {
        return false;
    }
    dictionary->setEnabled(!dictionary->enabled());
    return dictionary->enabled();
}

std::optional<std::u16string> DictionaryEditor::copiedWord(const std::u16string& clipboardText) {
    size_t from = 0;
    size_t to = clipboardText.size();
    while (from < to && isWhiteSpace(clipboardText[from])) {
        ++from;
    }
    while (to > from && isWhiteSpace(clipboardText[to - 1])) {
        --to;
    }
    if (to == from || to - from > kMaxCopiedWord) {
        return std::nullopt;
    }
    return clipboardText.substr(from, to - from);
}

std::u16string DictionaryEditor::wordReading(InputMethodEditor& editor,
                                             const std::u16string& word) {
    const std::u16string reading = toKatakana(editor.phonetic(word));
    return reading == word ? std::u16string() : reading;
}

}  // namespace pw
