// The sentence being typed, not a window: its plain text, the wrapped text
// the learner types, the masked copy shown, the cursor and the word at the
// cursor. It decides nothing about scores or speech; PracticeRun drives it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "practice/TextMeasurer.h"

namespace pw {

class TypingSentencePane {
public:
    // Typed instead of a sentence that is empty.
    static constexpr const char16_t* kEmptySentence = u"Hello empty world!";
    static constexpr char16_t kMask = u'*';

    // A new question: sourceText is the sentence as plain text, wrapped to
    // wrapWidth in font. With masked, every letter, digit and apostrophe is
    // shown as kMask until typed; otherwise (Free) the whole text shows. The
    // cursor starts at 0 and filler at the start is not yet skipped.
    void setSentence(std::u16string sourceText, const TextMeasurer& font, int wrapWidth,
                     bool masked);
    // No sentence.
    void clear();

    const std::u16string& sourceText() const { return m_sourceText; }
    const std::u16string& targetText() const { return m_targetText; }
    const std::u16string& displayText() const { return m_displayText; }
    const std::u16string& currentWord() const { return m_currentWord; }
    uint32_t cursor() const { return m_cursor; }
    uint32_t lineCount() const { return m_lineCount; }

    bool atEnd() const { return m_cursor >= m_targetText.size(); }
    // The character to type next, 0 at the end.
    char16_t expected() const { return atEnd() ? char16_t(0) : m_targetText[m_cursor]; }

    // Reveals the character at the cursor (as the sentence writes it) and
    // moves past it; nothing at the end.
    void accept();
    // Accepts every character at the cursor that the learner does not type.
    void skipFiller();
    // Finds the word at the cursor; true when it differs in text from the
    // previous current word (a word change). Where there is no word the
    // current word stays.
    bool findCurrentWord();
    // Shows the whole sentence (the answer).
    void revealAll() { m_displayText = m_targetText; }

    // The word of text at position p: [start, end) with start == end when
    // there is none. Periods followed by a capital or a digit belong to it.
    struct WordRange {
        size_t start = 0;
        size_t end = 0;
        bool empty() const { return start == end; }
    };
    static WordRange findWordAt(std::u16string_view text, size_t p);

private:
    std::u16string m_sourceText;
    std::u16string m_targetText;
    std::u16string m_displayText;
    std::u16string m_currentWord;
    uint32_t m_cursor = 0;
    uint32_t m_lineCount = 0;
};

}  // namespace pw
