// Building dictionaries from tables of entries, for the dictionary tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Utf.h"
#include "dictionary/BaseDictionaryData.h"

namespace pw::test {

// The byte-order mark of the files the dictionaries write.
inline const std::string kBom = "\xFF\xFE";

// UTF-16LE bytes of ASCII text.
inline std::string utf16(std::string_view ascii) {
    std::string bytes;
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// Key (or pattern) and value (or replacement) pairs, in the order they are set.
using EntryTable = std::vector<std::pair<std::u16string, std::u16string>>;

template <typename Dictionary>
Dictionary makeDictionary(const EntryTable& entries, bool ignoreCase = false) {
    Dictionary dictionary;
    for (const auto& [key, value] : entries) {
        dictionary.set(key, value, -1);
    }
    dictionary.setIgnoreCase(ignoreCase);
    return dictionary;
}

inline std::u16string replaced(BaseDictionaryData& dictionary, std::u16string text) {
    dictionary.replace(text);
    return text;
}

// One row of a table of replacements: a dictionary of entries rewrites text.
struct ReplaceCase {
    const char* what;
    EntryTable entries;
    bool ignoreCase;
    std::u16string text;
    std::u16string expected;
};

template <typename Dictionary>
void expectReplacements(const std::vector<ReplaceCase>& cases) {
    for (const ReplaceCase& c : cases) {
        Dictionary dictionary = makeDictionary<Dictionary>(c.entries, c.ignoreCase);
        EXPECT_EQ(toUtf8(replaced(dictionary, c.text)), toUtf8(c.expected)) << c.what;
    }
}

}  // namespace pw::test
