// The practice modes, the states of the practice pane and the two sides that
// keep separate scores and check marks.
#pragma once

namespace pw {

// The index is the mode combo box's entry and what the settings store.
enum class PracticeMode : int {
    Free = 0,          // types the sentence while it is visible
    Dictation = 1,     // hears the sentence and types it
    Writing = 2,       // hears the translation and types the sentence
    OrderWriting = 3,  // puts the sentence's words in order
    FlashWriting = 4,  // watches and hears flash cards
};
inline constexpr int kPracticeModeCount = 5;

// The combo box's text of each mode, in index order.
inline constexpr const char16_t* kPracticeModeNames[kPracticeModeCount] = {
    u"Free", u"Dictation", u"Writing", u"OrderWriting", u"FlashWriting"};

// Writing and OrderWriting read and write the writing score and check mark;
// every other mode the dictation ones.
constexpr bool isWritingSide(PracticeMode mode) {
    return mode == PracticeMode::Writing || mode == PracticeMode::OrderWriting;
}
// The check bit of a side: 0 (value 1) dictation, 1 (value 2) writing.
constexpr int checkBitOf(PracticeMode mode) {
    return isWritingSide(mode) ? 1 : 0;
}
// Only these two modes keep a better score in the learning file.
constexpr bool storesScore(PracticeMode mode) {
    return mode == PracticeMode::Dictation || mode == PracticeMode::Writing;
}

// The states of the practice pane; the values are the pane's own numbering.
enum class PracticeState : int {
    NoFile = 0,      // no learning file: the start screen
    Ready = 1,       // a file is open: options, list and description
    Typing = 2,      // a question is asked
    FlashCards = 3,  // a FlashWriting run
    Answer = 5,      // the sentence was completed or given up
    Stop = 6,        // passing: the run ends and the pane goes back to Ready
};

// Which rows a run asks, before filtering and shuffling.
enum class RunKind : int {
    AllRows = 1,        // the Start button
    FromSelection = 2,  // "Start from here": the first selected row to the last row
    SelectedRows = 3,   // the selected rows
};

}  // namespace pw
