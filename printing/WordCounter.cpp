// Counting the words of a text against the learned words.
#include "printing/WordCounter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "core/Utf.h"

namespace pw {
namespace {

constexpr const char* kCountMessageFormat = "語数:\t%d\n種類:\t%d/%d\n";

bool isLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

char16_t lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

std::vector<std::u16string> splitWords(std::u16string_view text) {
    std::vector<std::u16string> words;
    size_t i = 0;
    while (i < text.size()) {
        if (!isLetter(text[i])) {
            ++i;
            continue;
        }
        std::u16string word;
        while (i < text.size()) {
            const char16_t c = text[i];
            if (isLetter(c)) {
                word += lower(c);
            } else if (c == u'\'' && isLetter(word.back())) {
                word += c;
            } else {
                break;
            }
            ++i;
        }
        words.push_back(std::move(word));
    }
    return words;
}

WordCount countWords(std::u16string_view text, const BaseDictionaryData& learned) {
    WordCount count;
    std::unordered_map<std::u16string, size_t> seen;
    for (std::u16string& word : splitWords(text)) {
        auto [it, added] = seen.try_emplace(word, count.words.size());
        if (added) {
            count.words.push_back({std::move(word), 0});
        }
        ++count.words[it->second].count;
        ++count.total;
    }
    for (const WordTally& tally : count.words) {
        if (tally.word.size() >= kShortestListedWord && !learned.contains(tally.word)) {
            count.newWords.push_back(tally);
        }
    }
    return count;
}

std::u16string countMessage(const WordCount& count) {
    char text[96];
    std::snprintf(text, sizeof text, kCountMessageFormat, count.total,
                  static_cast<int>(count.newWords.size()), static_cast<int>(count.words.size()));
    return fromUtf8(text);
}

WordCounter::WordCounter(std::string folder) {
    m_learned.setFolder(folder);
    m_learned.setName(kLearnedWordsName);
}

bool WordCounter::load() {
    return m_learned.load(kLearnedWordsName);
}

bool WordCounter::save(std::string* error) {
    if (!m_learned.modified()) {
        return true;
    }
    // A fresh installation has no folder yet; the words must not be lost for that.
    std::error_code ec;
    if (!m_learned.folder().empty()) {
        std::filesystem::create_directories(m_learned.folder(), ec);
    }
    if (m_learned.save()) {
        m_learned.reset();  // written: closing saves again only after new changes
        return true;
    }
    if (error) {
        *error =
            m_learned.path() + " could not be written" + (ec ? ": " + ec.message() : std::string());
    }
    return false;
}

const WordCount& WordCounter::count(std::u16string_view text) {
    m_newWords.clear();
    m_count = countWords(text, m_learned);
    for (const WordTally& tally : m_count.newWords) {
        m_newWords.set(tally.word, u"", -1);
    }
    return m_count;
}

std::vector<WordCounter::Moved> WordCounter::moveToLearned(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<Moved> moved;
    std::vector<WordTally>& listed = m_count.newWords;
    for (int row : rows) {
        if (row < 0 || row >= static_cast<int>(listed.size())) {
            continue;
        }
        const std::u16string word = listed[static_cast<size_t>(row)].word;
        if (m_learned.contains(word)) {
            continue;
        }
        const std::u16string meaning = m_newWords.get(word);
        m_newWords.remove(word);
        m_learned.set(word, meaning, -1);
        listed.erase(listed.begin() + row);
        moved.push_back({row, word, meaning});
    }
    return moved;
}

}  // namespace pw
