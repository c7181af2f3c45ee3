// An ordered list of owned dictionaries.
#include "dictionary/DictionaryList.h"

namespace pw {

BaseDictionaryData& DictionaryList::append(std::unique_ptr<BaseDictionaryData> dictionary) {
    m_dictionaries.push_back(std::move(dictionary));
    return *m_dictionaries.back();
}

BaseDictionaryData* DictionaryList::at(int index) const {
    return index >= 0 && index < size() ? m_dictionaries[index].get() : nullptr;
}

BaseDictionaryData* DictionaryList::find(const std::string& folder, const std::string& name) const {
    for (const auto& dictionary : m_dictionaries) {
        if (dictionary->folder() == folder && dictionary->name() == name) {
            return dictionary.get();
        }
    }
    return nullptr;
}

void DictionaryList::replace(std::u16string& text) const {
    for (const auto& dictionary : m_dictionaries) {
        if (dictionary->enabled()) {
            dictionary->replace(text);
        }
    }
}

bool DictionaryList::saveAll() const {
    bool allSaved = true;
    for (const auto& dictionary : m_dictionaries) {
        allSaved = dictionary->save() && allSaved;
    }
    return allSaved;
}

void DictionaryList::reloadModified() const {
    for (const auto& dictionary : m_dictionaries) {
        // A missing or empty file holds no entries: the changes made since
        // must go all the same, where load alone would keep them.
        if (dictionary->modified() && !dictionary->load(dictionary->name())) {
            dictionary->clear();
            dictionary->reset();
        }
    }
}

}  // namespace pw
