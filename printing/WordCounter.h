// The word counter's logic: the words of a text counted, and those not yet in
// the learner's list of learned words ("Dictionaries/Learning.txt", a word
// dictionary: meaning TAB word) listed with how often they occur. Words move
// from the new list to the learned one; the learned list is saved when the
// counter closes. WordCounterDialog shows it; --count-words prints it.
//
//   WordCounter counter;
//   counter.load();
//   const WordCount& count = counter.count(u"The cat saw the cat.");
//   // count.total 5, count.words the/cat/saw, count.newWords the/cat/saw
//   counter.moveToLearned({1});   // cat
//   counter.save();
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/AppFiles.h"
#include "dictionary/DictionaryData.h"

namespace pw {

// Where the learned words live, relative to the program folder.
inline constexpr const char* kLearnedWordsFolder = "Dictionaries/";
inline constexpr const char* kLearnedWordsName = "Learning.txt";

// Words this short are counted but never listed as new.
inline constexpr size_t kShortestListedWord = 3;

struct WordTally {
    std::u16string word;
    int count = 0;

    bool operator==(const WordTally&) const = default;
};

struct WordCount {
    int total = 0;                    // every word of the text
    std::vector<WordTally> words;     // each distinct word, in order of first use
    std::vector<WordTally> newWords;  // those listed: long enough and not learned
};

// The words of text, in order and lower-cased: runs of the letters A to Z and
// a to z (every other character, letters beyond ASCII included, separates
// them). An apostrophe right after a letter belongs to the word, which goes
// on when a letter follows it: "don't" is one word, "dogs'" keeps its mark.
std::vector<std::u16string> splitWords(std::u16string_view text);

// Counts text against the learned words.
WordCount countWords(std::u16string_view text, const BaseDictionaryData& learned);

// What the counter reports: "語数:\t%d\n種類:\t%d/%d\n" with the total, the
// number of new words listed and the number of distinct words.
std::u16string countMessage(const WordCount& count);

class WordCounter {
public:
    // A word moved to the learned list: the row it left and what it became.
    struct Moved {
        int row = -1;
        std::u16string word;
        std::u16string meaning;
    };

    // The learned list in folder (with its trailing "/").
    explicit WordCounter(std::string folder = learnerFolder(kLearnedWordsFolder));

    // Reads the learned words; false (none learned) when there is no file yet.
    bool load();
    // Saves the learned words when they changed since the last save, making
    // the folder when it is missing; error says why it failed (the words are
    // then kept, so that saving can be tried again).
    bool save(std::string* error = nullptr);

    // Counts text and makes its listed words the new ones.
    const WordCount& count(std::u16string_view text);
    const WordCount& lastCount() const { return m_count; }
    // The new words as the table lists them (moved ones gone).
    const std::vector<WordTally>& newWords() const { return m_count.newWords; }

    // Moves the new words at rows to the learned list, from the last row to
    // the first; a word learned already stays. Returns what moved, in that
    // order, so that a view can delete the rows as they go.
    std::vector<Moved> moveToLearned(std::vector<int> rows);

    DictionaryData& learned() { return m_learned; }
    const DictionaryData& learned() const { return m_learned; }
    const DictionaryData& newWordList() const { return m_newWords; }

private:
    DictionaryData m_learned;
    DictionaryData m_newWords;  // never saved
    WordCount m_count;
};

}  // namespace pw
