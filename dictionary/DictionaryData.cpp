// The word dictionary: entries, the length index and the longest-match scan.
#include "dictionary/DictionaryData.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace pw {
namespace {

std::u16string oneLine(const std::u16string& text) {
    std::u16string line = text;
    std::replace_if(
        line.begin(), line.end(), [](char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; },
        u' ');
    return line;
}

void foldAscii(std::u16string& text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c + (u'a' - u'A'));
        }
    }
}

}  // namespace

void DictionaryData::clear() {
    m_entries.clear();
    m_lengthIndex.fill(0);
    m_maxKeyLength = 0;
    forgetCursor();
}

void DictionaryData::reset() {
    m_modified = false;
    m_lengthIndex.fill(0);
    m_maxKeyLength = 0;
    for (const auto& entry : m_entries) {
        countKey(entry.first.size());
    }
}

void DictionaryData::countKey(size_t length) {
    if (length < kIndexedLengths) {
        m_maxKeyLength = std::max(m_maxKeyLength, static_cast<int>(length));
        ++m_lengthIndex[length];
    }
}

uint32_t DictionaryData::lengthCount(int length) const {
    return length >= 0 && length < kIndexedLengths ? m_lengthIndex[length] : 0;
}

bool DictionaryData::save() {
    if (!m_modified) {
        return true;
    }
    std::u16string file;
    for (const auto& [key, value] : m_entries) {
        appendLine(file, key, value);
    }
    return writeFile(file);
}

bool DictionaryData::remove(const std::u16string& key) {
    const auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        return false;
    }
    m_modified = true;
    m_entries.erase(found);
    forgetCursor();
    return true;
}

bool DictionaryData::contains(const std::u16string& key) const {
    return m_entries.find(key) != m_entries.end();
}

void DictionaryData::set(const std::u16string& key, const std::u16string& value, int) {
    m_modified = true;
    const std::u16string storedKey = oneLine(key);
    m_entries.insert_or_assign(storedKey, oneLine(value));
    countKey(storedKey.size());
    forgetCursor();
}

std::u16string DictionaryData::get(const std::u16string& key) const {
    const auto found = m_entries.find(key);
    return found == m_entries.end() ? std::u16string() : found->second;
}

std::u16string DictionaryData::keyAt(int index) const {
    if (index < 0 || index >= size()) {
        return {};
    }
    // Step from wherever is nearest: the start, the end or the last index asked.
    int from = 0;
    Entries::const_iterator at = m_entries.begin();
    if (size() - 1 - index < index) {
        from = size() - 1;
        at = std::prev(m_entries.end());
    }
    if (m_cursorIndex >= 0 && std::abs(m_cursorIndex - index) < std::abs(from - index)) {
        from = m_cursorIndex;
        at = m_cursor;
    }
    std::advance(at, index - from);
    m_cursor = at;
    m_cursorIndex = index;
    return at->first;
}

void DictionaryData::replace(std::u16string& text) {
    if (m_maxKeyLength == 0) {
        return;
    }
    std::u16string folded;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t windowLength =
            std::min(static_cast<size_t>(m_maxKeyLength), text.size() - pos);
        std::u16string_view window(text.data() + pos, windowLength);
        if (m_ignoreCase) {
            folded.assign(window);
            foldAscii(folded);
            window = folded;
        }
        size_t next = pos + 1;
        for (size_t length = windowLength; length > 0; --length) {
            if (m_lengthIndex[length] == 0) {
                continue;
            }
            const auto found = m_entries.find(window.substr(0, length));
            if (found != m_entries.end()) {
                text.replace(pos, length, found->second);
                // Resume right after the value; an empty value resumes here.
                next = pos + found->second.size();
                break;
            }
        }
        pos = next;
    }
}

}  // namespace pw
