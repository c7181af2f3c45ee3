// The word board of the OrderWriting mode.
#include "practice/WordOrderBoard.h"

#include <algorithm>
#include <string>

#include "core/Random.h"
#include "core/Utf.h"
#include "practice/CharacterClasses.h"
#include "practice/QuestionOrder.h"
#include "practice/TypingSentencePane.h"
#include "xml/Element.h"

namespace pw {
namespace {

constexpr int kLineHeight = 20;
constexpr int kNumberWidth = 20;  // the word starts this far right of its number
constexpr int kColumnGap = 32;
constexpr int kFrameMargin = 8;
constexpr int kFrameWidth = 160;
constexpr int kFrameHeight = 96;
constexpr int kOriginLeftOfCentre = 80;
constexpr int kOriginBelowContent = 16;

}  // namespace

WordOrderBoard::WordOrderBoard(std::function<int()> random)
    : m_random(random ? std::move(random) : [] { return randomNumberFor(RandomUser::WordBoard); }) {
}

void WordOrderBoard::reset() {
    m_words.clear();
    m_choices.clear();
    m_next = 0;
}

void WordOrderBoard::setUp(std::u16string_view sentence) {
    reset();
    for (size_t i = 0; i < sentence.size();) {
        if (!typing::isWordStartChar(sentence[i])) {
            ++i;
            continue;
        }
        const TypingSentencePane::WordRange word = TypingSentencePane::findWordAt(sentence, i);
        if (!word.empty()) {
            m_words.emplace_back(sentence.substr(word.start, word.end - word.start));
        }
        i = std::max(word.end, i + 1);
    }
    refresh();
}

bool WordOrderBoard::inSlot(int word) const {
    return std::find(m_choices.begin(), m_choices.end(), word) != m_choices.end();
}

void WordOrderBoard::refresh() {
    if (m_words.empty() || m_next >= m_words.size()) {
        m_choices.clear();
        return;
    }
    const int next = static_cast<int>(m_next);

    // Placed words leave their slots; the next word takes the first of them.
    int firstEmptied = -1;
    for (size_t i = 0; i < m_choices.size(); ++i) {
        if (m_choices[i] != kEmptySlot && m_choices[i] < next) {
            m_choices[i] = kEmptySlot;
            if (firstEmptied < 0) {
                firstEmptied = static_cast<int>(i);
            }
        }
    }
    if (firstEmptied >= 0 && !inSlot(next)) {
        m_choices[static_cast<size_t>(firstEmptied)] = next;
    }

    std::vector<int> candidates;
    for (uint32_t i = m_next + 1; i <= m_next + kCandidateCount && i < m_words.size(); ++i) {
        candidates.push_back(static_cast<int>(i));
    }
    shuffleItems(candidates, m_random);
    for (int candidate : candidates) {
        if (inSlot(candidate)) {
            continue;
        }
        const auto empty = std::find(m_choices.begin(), m_choices.end(), kEmptySlot);
        if (empty != m_choices.end()) {
            *empty = candidate;
        } else if (m_choices.size() < static_cast<size_t>(kSlotLimit)) {
            m_choices.push_back(candidate);
        } else {
            break;
        }
    }

    if (!inSlot(next)) {
        // While there is room the next word takes a slot of its own, so that a
        // short sentence offers all its words; only a full board gives up one.
        if (m_choices.size() < static_cast<size_t>(kSlotLimit)) {
            m_choices.push_back(next);
        } else {
            m_choices.front() = next;
        }
    }
    if (m_next == 0) {
        shuffleItems(m_choices, m_random);
    }
}

bool WordOrderBoard::choose(int word) {
    if (word < 0 || static_cast<size_t>(word) >= m_words.size() || !m_listener) {
        return false;
    }
    // Copied: a right word may finish the sentence, which empties the board.
    const std::u16string text = m_words[static_cast<size_t>(word)];
    if (!m_listener->onWordChosen(text)) {
        return false;
    }
    ++m_next;
    refresh();
    return true;
}

bool WordOrderBoard::chooseSlot(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_choices.size()) {
        return false;
    }
    return choose(m_choices[static_cast<size_t>(slot)]);
}

std::vector<std::u16string> WordOrderBoard::choiceTexts() const {
    std::vector<std::u16string> texts;
    texts.reserve(m_choices.size());
    for (int word : m_choices) {
        texts.push_back(word == kEmptySlot ? std::u16string() : m_words[static_cast<size_t>(word)]);
    }
    return texts;
}

std::u16string WordOrderBoard::choicesHtml() const {
    std::u16string html = u"<ol>";
    for (const std::u16string& text : choiceTexts()) {
        html += u"<li>";
        Element::appendEscaped(html, text);
        html += u"</li>";
    }
    html += u"</ol>";
    return html;
}

// ---- Where it is drawn

WordBoardLayout layoutWordBoard(const std::vector<std::u16string>& choices,
                                const TextMeasurer& font, Point origin) {
    WordBoardLayout layout;
    // A font taller than the lines were made for gets lines of its height.
    const int lineHeight = std::max(kLineHeight, font.lineHeight());
    int columnX = origin.x;
    int widest = 0;
    int right = origin.x;
    int bottom = origin.y;
    for (size_t i = 0; i < choices.size(); ++i) {
        const size_t line = i % WordOrderBoard::kColumnLength;
        if (i > 0 && line == 0) {
            columnX = layout.slots.back().wordAt.x + widest + kColumnGap;
            widest = 0;
        }
        WordBoardLayout::Slot slot;
        slot.number = fromUtf8(std::to_string(i + 1)) + u". ";
        slot.numberAt = {columnX, origin.y + static_cast<int>(line) * lineHeight};
        slot.wordAt = {columnX + std::max(kNumberWidth, font.textWidth(slot.number)),
                       slot.numberAt.y};
        slot.word = {slot.wordAt.x, slot.wordAt.y, font.textWidth(choices[i]), font.lineHeight()};
        widest = std::max(widest, slot.word.width);
        right = std::max(right, slot.word.x + slot.word.width);
        bottom = std::max(bottom, slot.numberAt.y + lineHeight);
        layout.slots.push_back(std::move(slot));
    }
    const int left = origin.x - kFrameMargin;
    const int top = origin.y - kFrameMargin;
    layout.frame = {left, top, std::max(kFrameWidth, right + kFrameMargin - left),
                    std::max(kFrameHeight, bottom + kFrameMargin - top)};
    return layout;
}

Point wordBoardOrigin(int paneWidth, int contentBottom) {
    return {paneWidth / 2 - kOriginLeftOfCentre, contentBottom + kOriginBelowContent};
}

int slotAt(const WordBoardLayout& layout, Point point) {
    for (size_t i = 0; i < layout.slots.size(); ++i) {
        const Rect& r = layout.slots[i].word;
        if (r.width > 0 && point.x >= r.x && point.x < r.x + r.width && point.y >= r.y &&
            point.y < r.y + r.height) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace pw
