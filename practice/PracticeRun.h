// The run of questions: which are asked and in which order, the states a
// question goes through, the typed keys with their scores and the speech at
// each step. It reads the open learning file and writes its results into it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "content/SentenceListModel.h"
#include "practice/Clock.h"
#include "practice/FlashCardPlayer.h"
#include "practice/KeySound.h"
#include "practice/PracticeChanges.h"
#include "practice/PracticeMode.h"
#include "practice/PracticeOptions.h"
#include "practice/PracticeResults.h"
#include "practice/SentenceStats.h"
#include "practice/TypingSentencePane.h"
#include "practice/WordOrderBoard.h"
#include "speech/IPracticeSpeaker.h"

namespace pw {

class PracticeViewBuilder;

// The keys the run acts on; the view maps its key codes to these.
enum class PracticeKey { Other, Enter, Escape, Space, Left, Right, Control };

struct PracticeKeyEvent {
    PracticeKey key = PracticeKey::Other;
    bool control = false;  // the Control key is held
};

// The run also plays the flash cards of FlashWriting and judges the words
// chosen on the board of OrderWriting: it is the listener of both.
class PracticeRun : public FlashCardListener, public ArrangingInOrderEventListener {
public:
    static constexpr int kBlinkIntervalMs = 300;
    static constexpr uint32_t kHintMisses = 5;
    // Wrong words in a row on the board that mark the sentence.
    static constexpr uint32_t kOrderingMisses = 2;
    static constexpr const char16_t* kNoQuestionText = u"条件に該当する問題文が１つもありません！";

    // Everything given stays the caller's; layout gives the fonts and the
    // width a question is wrapped to.
    PracticeRun(IPracticeSpeaker& speaker, Clock& clock, KeySound& keySound,
                SentenceListModel& list, PracticeResults& results,
                const PracticeViewBuilder& layout, PracticeChanges& changes);

    // ---- Options
    const PracticeOptions& options() const { return m_options; }
    void setOptions(const PracticeOptions& options);
    void loadOptions() { m_options = PracticeOptions::load(); }
    void saveOptions() const { m_options.save(); }
    // Whether mode is one of the mode box's.
    static bool isModeAvailable(PracticeMode mode);
    // The default message beep of a wrong word on the board; none until set.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    // ---- Commands
    // Starts a run in Ready. False when no run started (no question matched:
    // the learner is told).
    bool startRun(RunKind kind, const std::vector<int>& selectedRows = {});
    // Sets or clears the current sentence's check mark of the mode's side.
    void setChecked(bool on);
    void setSentenceVisibility(bool visible);

    // ---- Events; each returns true when the run used it
    // Key-down: a key used here must not also reach onChar as a character.
    bool onKeyDown(const PracticeKeyEvent& key);
    bool onKeyUp(const PracticeKeyEvent& key);
    bool onChar(char32_t ch);
    // Held keys are forgotten.
    void onFocusLost();
    // The 300 ms timer: false when the timer is to stop.
    bool onBlinkTimer();

    // ---- The steps of a run
    void nextQuestion();
    bool startQuestion();
    void listen();
    void setState(PracticeState state);
    // Checks one typed character; true when the key click is due.
    bool typeChar(char16_t ch);
    void finishSentence();

    // ---- Where the run is
    PracticeState state() const { return m_state; }
    int position() const { return m_position; }
    const std::vector<uint32_t>& questionOrder() const { return m_questionOrder; }
    // The current question's row: questionOrder[position], or 0 outside it.
    int currentIndex() const;
    const TypingSentencePane& sentence() const { return m_sentence; }
    const SentenceStats& currentStats() const;
    double storedScore() const { return m_storedScore; }
    double score() const { return m_score; }
    uint32_t consecutiveMisses() const { return m_consecutiveMisses; }
    const std::u16string& translation() const { return m_translation; }
    // The translation wrapped in the bold font to the pane's width.
    const std::u16string& wrappedTranslation() const { return m_wrappedTranslation; }
    const std::u16string& explanation() const { return m_explanation; }
    // The blinking prompt of Answer; empty while off.
    const std::u16string& prompt() const { return m_prompt; }
    bool checked() const { return m_checked; }
    bool sentenceVisibility() const { return m_sentenceVisibility; }

    // ---- Flash cards and word ordering
    FlashCardPlayer& flashCards() { return m_flashCards; }
    const FlashCardPlayer& flashCards() const { return m_flashCards; }
    const WordOrderBoard& board() const { return m_board; }
    // Chooses the word in slot of the board (from 0); true when it was right.
    bool chooseSlot(int slot);
    // Where the mouse pointer is in the pane, for the board's underline.
    void setPointer(Point pointer) { m_pointer = pointer; }

    // FlashCardListener
    void quit() override;
    void next() override { nextQuestion(); }
    void setPosition(int position) override { m_position = position; }
    bool playCard(int card) override;
    // ArrangingInOrderEventListener
    bool onWordChosen(const std::u16string& word) override;
    Point cursorPosition() const override { return m_pointer; }

private:
    void resetRun();
    SentenceStats& stats();
    bool writingSide() const { return isWritingSide(m_options.mode); }
    void goBack();
    void restartQuestion();
    void giveUp();
    // What a question asks with: the translation on the writing side, else
    // the sentence.
    void speakQuestion();
    // Plays the recording of row, or speaks text with voice 1; true when a
    // recording plays.
    bool listenTo(int row, const std::u16string& text);
    // The FlashWriting start: one card per question.
    void startFlashCards();
    // Accepts what the learner never chooses up to the next word's start.
    void skipToWordStart();
    void changed(unsigned changes) { m_changes.add(changes); }

    IPracticeSpeaker& m_speaker;
    Clock& m_clock;
    KeySound& m_keySound;
    SentenceListModel& m_list;
    PracticeResults& m_results;
    const PracticeViewBuilder& m_layout;
    PracticeChanges& m_changes;

    PracticeOptions m_options;
    TypingSentencePane m_sentence;
    PracticeState m_state = PracticeState::NoFile;
    std::vector<uint32_t> m_questionOrder;
    int m_position = -1;
    double m_storedScore = 0;
    double m_score = 0;
    std::u16string m_translation;
    std::u16string m_wrappedTranslation;
    std::u16string m_explanation;
    std::u16string m_prompt;
    uint32_t m_consecutiveMisses = 0;
    std::vector<SentenceStats> m_statistics;
    SentenceStats m_spareStats;  // stands in when there is no current record
    bool m_checked = false;
    bool m_sentenceVisibility = true;

    FlashCardPlayer m_flashCards;
    WordOrderBoard m_board;
    Point m_pointer;
    std::function<void()> m_beep;

    // Keys held, learnt from key-down and key-up: Ctrl with an arrow moves
    // through questions without speech.
    bool m_controlDown = false;
    bool m_arrowDown = false;
};

}  // namespace pw
