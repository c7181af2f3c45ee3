// The sentence being typed.
#include "practice/TypingSentencePane.h"

#include <algorithm>

#include "practice/CharacterClasses.h"
#include "practice/WordWrap.h"

namespace pw {

using namespace typing;

void TypingSentencePane::setSentence(std::u16string sourceText, const TextMeasurer& font,
                                     int wrapWidth, bool masked) {
    if (sourceText.empty()) {
        sourceText = kEmptySentence;  // heard and typed alike
    }
    m_sourceText = std::move(sourceText);
    m_targetText = wrapText(m_sourceText, wrapWidth, font);
    m_cursor = 0;
    m_currentWord.clear();
    m_displayText = m_targetText;
    if (masked) {
        for (char16_t& c : m_displayText) {
            if (isWordStartChar(c)) {
                c = kMask;
            }
        }
    }
    m_lineCount =
        static_cast<uint32_t>(std::count(m_targetText.begin(), m_targetText.end(), u'\n'));
}

void TypingSentencePane::clear() {
    m_sourceText.clear();
    m_targetText.clear();
    m_displayText.clear();
    m_currentWord.clear();
    m_cursor = 0;
    m_lineCount = 0;
}

void TypingSentencePane::accept() {
    if (atEnd()) {
        return;
    }
    m_displayText[m_cursor] = m_targetText[m_cursor];
    ++m_cursor;
}

void TypingSentencePane::skipFiller() {
    while (!atEnd() && !isWordChar(m_targetText[m_cursor])) {
        accept();
    }
}

bool TypingSentencePane::findCurrentWord() {
    const WordRange word = findWordAt(m_targetText, m_cursor);
    if (word.empty()) {
        return false;
    }
    const std::u16string_view text(m_targetText.data() + word.start, word.end - word.start);
    if (text == m_currentWord) {
        return false;
    }
    m_currentWord.assign(text);
    return true;
}

TypingSentencePane::WordRange TypingSentencePane::findWordAt(std::u16string_view text, size_t p) {
    const size_t n = text.size();
    const auto periodInWord = [&](size_t i) {
        return text[i] == u'.' && i + 1 < n && continuesAfterPeriod(text[i + 1]);
    };
    size_t start = p;
    for (size_t i = p;; --i) {
        if (i >= n) {
            start = i;
            break;
        }
        if (!periodInWord(i) && !isWordStartChar(text[i])) {
            start = i + 1;
            break;
        }
        if (i == 0) {
            start = 0;
            break;
        }
    }
    size_t end = start;
    while (end < n && (isWordStartChar(text[end]) || periodInWord(end))) {
        ++end;
    }
    return {start, end};
}

}  // namespace pw
