// The word board of the OrderWriting mode: the learner rebuilds the sentence
// by choosing its words in order from a few shuffled choices, which always
// hold the right next word and some of those after it. The board asks its
// listener (the run) whether a chosen word is right; where it is drawn and
// which word the pointer is over come from layoutWordBoard.
//
//   WordOrderBoard board;
//   board.setListener(&run);
//   board.setUp(u"The cat sat on the mat.");  // at question start
//   board.chooseSlot(2);                      // the key "3"
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/PracticeView.h"
#include "practice/TextMeasurer.h"

namespace pw {

class ArrangingInOrderEventListener {
public:
    virtual ~ArrangingInOrderEventListener() = default;
    // The learner chose word: true when it is the right one.
    virtual bool onWordChosen(const std::u16string& word) = 0;
    // The mouse pointer in the practice pane's client coordinates.
    virtual Point cursorPosition() const = 0;
};

class WordOrderBoard {
public:
    static constexpr int kEmptySlot = -1;
    static constexpr int kColumnLength = 4;  // choices drawn per column
    static constexpr int kSlotLimit = 4;
    // Words after the next one that may be offered beside it.
    static constexpr uint32_t kCandidateCount = 6;

    // random gives 0 to 32767; the process-wide generator, with the board's
    // own seeding, unless given.
    explicit WordOrderBoard(std::function<int()> random = {});

    void setListener(ArrangingInOrderEventListener* listener) { m_listener = listener; }
    ArrangingInOrderEventListener* listener() const { return m_listener; }

    // A new question: the words of sentence (plain text, not wrapped) in
    // sentence order, and the first choices.
    void setUp(std::u16string_view sentence);
    // No words and no choices.
    void reset();

    // The learner chose words()[word]: the listener is asked, and a right
    // word moves the board on. True when the word was right; an index
    // outside the words does nothing.
    bool choose(int word);
    // The word in slot (from 0), as the digit keys choose; an empty or
    // missing slot does nothing.
    bool chooseSlot(int slot);

    // The choice list for the exercise page: "<ol>", one "<li>" per slot
    // (empty for an empty slot), "</ol>".
    std::u16string choicesHtml() const;
    // The text of each slot, empty for an empty slot.
    std::vector<std::u16string> choiceTexts() const;

    const std::vector<std::u16string>& words() const { return m_words; }
    // Word indices in display order; kEmptySlot marks an empty slot.
    const std::vector<int>& choices() const { return m_choices; }
    // The index of the next right word.
    uint32_t next() const { return m_next; }

private:
    void refresh();
    bool inSlot(int word) const;

    std::function<int()> m_random;
    ArrangingInOrderEventListener* m_listener = nullptr;
    std::vector<std::u16string> m_words;
    std::vector<int> m_choices;
    uint32_t m_next = 0;
};

// Where the board is drawn: from origin (the first slot's number), one line
// per slot and a new column after kColumnLength lines; the frame around it
// when the theme draws frames.
struct WordBoardLayout {
    struct Slot {
        std::u16string number;  // "%d. "
        Point numberAt;
        Point wordAt;
        Rect word;  // the word's text, for hits and the underline
    };
    Rect frame;
    std::vector<Slot> slots;
};

WordBoardLayout layoutWordBoard(const std::vector<std::u16string>& choices,
                                const TextMeasurer& font, Point origin);
// The first line of the board in a pane: centred, below where the drawn
// view has arrived.
Point wordBoardOrigin(int paneWidth, int contentBottom);
// The slot whose word is at point, or -1.
int slotAt(const WordBoardLayout& layout, Point point);

}  // namespace pw
