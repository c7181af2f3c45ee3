// The word dictionary: exact keys replaced by their values, longest key first.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "dictionary/BaseDictionaryData.h"

namespace pw {

class DictionaryData : public BaseDictionaryData {
public:
    // Ordered by plain comparison of UTF-16 code units.
    using Entries = std::map<std::u16string, std::u16string, std::less<>>;
    // Keys of this many code units or more are kept but never match.
    static constexpr int kIndexedLengths = 256;

    DictionaryData() = default;

    void clear() override;
    // Clears the modified flag and rebuilds the length index from the entries.
    void reset() override;
    // Writes the entries in key order.
    bool save() override;
    bool remove(const std::u16string& key) override;
    bool contains(const std::u16string& key) const override;
    // Scans left to right; at each position the longest stored key is replaced
    // by its value and scanning resumes right after the value, which is never
    // scanned again. With ignoreCase the text's ASCII letters are folded to
    // lower case for the comparison, so only keys stored in lower case match
    // without regard to case.
    void replace(std::u16string& text) override;
    // A TAB, CR or LF in key or value becomes a space: the file format has no
    // escapes, and such an entry would come back split or merged. position is
    // ignored: the entries are kept in key order.
    void set(const std::u16string& key, const std::u16string& value, int position) override;
    int size() const override { return static_cast<int>(m_entries.size()); }
    std::u16string get(const std::u16string& key) const override;
    // Quick when called for consecutive or nearby indexes, as a list view does.
    std::u16string keyAt(int index) const override;

    // All entries in key order, for views that walk them.
    const Entries& entries() const { return m_entries; }
    // The longest key length the index counts; 0 when empty.
    int maxKeyLength() const { return m_maxKeyLength; }
    // Non-zero when a key of exactly length units may exist.
    uint32_t lengthCount(int length) const;

private:
    void countKey(size_t length);
    void forgetCursor() { m_cursorIndex = -1; }

    Entries m_entries;
    int m_maxKeyLength = 0;
    std::array<uint32_t, kIndexedLengths> m_lengthIndex{};

    // Where keyAt last looked, so that walking the entries by index is linear.
    mutable Entries::const_iterator m_cursor;
    mutable int m_cursorIndex = -1;
};

}  // namespace pw
