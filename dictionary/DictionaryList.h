// An ordered list of owned dictionaries, as one pane of the dictionary window
// shows them: applied in order, each only while it is enabled.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dictionary/BaseDictionaryData.h"

namespace pw {

class DictionaryList {
public:
    DictionaryList() = default;
    DictionaryList(const DictionaryList&) = delete;
    DictionaryList& operator=(const DictionaryList&) = delete;

    // Takes ownership and returns the dictionary, now last in the list.
    BaseDictionaryData& append(std::unique_ptr<BaseDictionaryData> dictionary);
    void clear() { m_dictionaries.clear(); }

    int size() const { return static_cast<int>(m_dictionaries.size()); }
    bool empty() const { return m_dictionaries.empty(); }
    // Null when index is out of range.
    BaseDictionaryData* at(int index) const;
    // The first dictionary reading the file folder + name; null when none.
    BaseDictionaryData* find(const std::string& folder, const std::string& name) const;

    // Rewrites text with every enabled dictionary, in list order.
    void replace(std::u16string& text) const;
    // Saves every dictionary in list order; false when any save failed (the
    // others are saved all the same).
    bool saveAll() const;
    // Reads every modified dictionary again from its file, which discards
    // its unsaved changes; one whose file is missing or empty ends up empty.
    void reloadModified() const;

private:
    std::vector<std::unique_ptr<BaseDictionaryData>> m_dictionaries;
};

}  // namespace pw
