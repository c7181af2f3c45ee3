// The flash cards of the FlashWriting mode, without the pane: for each card
// one side is spoken, the player waits while the speech lasts and pauses for a
// share of it, then speaks the other side with both visible, and moves on,
// over and over until stopped. A 100 ms tick drives it; the end of speech may
// also come as the speech engine's end event, which moves on at once. The
// player talks back to the run through FlashCardListener. FlashCardPane
// (practice/ui) shows it and forwards its buttons, keys and timer.
//
//   FlashCardPlayer player(speaker, clock, changes);
//   player.setListener(&run);
//   player.clearCards();
//   player.addCard(row, sentence, translation);
//   player.start();  // then tick() every kTickMs
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "practice/Clock.h"
#include "practice/PracticeChanges.h"
#include "practice/PracticeView.h"
#include "practice/TextMeasurer.h"
#include "speech/IPracticeSpeaker.h"

namespace pw {

struct PracticeKeyEvent;

// One question of the run, in run order.
struct FlashCard {
    std::u16string first;   // the sentence as stored
    std::u16string second;  // the translation as stored
    bool showFirst = false;
    bool showSecond = false;
    uint32_t sentenceIndex = 0;  // the record in the list
};

class FlashCardListener {
public:
    virtual ~FlashCardListener() = default;
    // Leave the cards (back to Ready).
    virtual void quit() = 0;
    // The next question; the last wraps to the first.
    virtual void next() = 0;
    virtual void setPosition(int position) = 0;
    // Speaks the current side of card (FlashCardPlayer::side); true when a
    // recording was played. A card outside the cards does nothing.
    virtual bool playCard(int card) = 0;
};

// The texts of the pane's controls.
namespace flash_texts {
inline constexpr const char16_t* kPlay = u"Play";
inline constexpr const char16_t* kStop = u"Stop";
inline constexpr const char16_t* kQuit = u"Quit";
inline constexpr const char16_t* kFirstToSecond = u"1st -> 2nd";
inline constexpr const char16_t* kAlwaysVisible = u"Always Visible";
inline constexpr const char16_t* kPausePercent = u"PausePersent";
inline constexpr const char16_t* kFirstToSecondTip =
    u"チェックすると、英文(Voice1)から読み始めます。";
inline constexpr const char16_t* kAlwaysVisibleTip = u"チェックすると、常に文章を表示します。";
inline constexpr const char16_t* kPausePercentTip =
    u"センテンスをポーズする時間をパーセント単位で設定します。";
}  // namespace flash_texts

class FlashCardPlayer {
public:
    enum State : int {
        kStopped = 0,
        kSpeakFirstSide = 1,  // side A: the side a card starts with
        kSpeakSecondSide = 2,
        kWaitFirstSide = 3,  // while side A is spoken
        kWaitSecondSide = 4,
        kPauseFirstSide = 5,  // the pause after side A
        kPauseSecondSide = 6,
        kNavigating = 7,  // held by Ctrl+arrow until the arrow is let go
    };
    static constexpr int kSentenceSide = 0;
    static constexpr int kTranslationSide = 1;
    static constexpr int kTickMs = 100;
    static constexpr uint32_t kMaxPauseMs = 15000;
    static constexpr int kMinPausePercent = 0;
    static constexpr int kMaxPausePercent = 100;
    // Esc waits this long between stopping and leaving.
    static constexpr int kQuitDelayMs = 10;

    // The pause after a side spoken for spokenMs: percent of it (counted in
    // whole hundredths), at most kMaxPauseMs.
    static uint32_t pauseFor(uint32_t spokenMs, int percent);

    // Everything given stays the caller's.
    FlashCardPlayer(IPracticeSpeaker& speaker, Clock& clock, PracticeChanges& changes);

    void setListener(FlashCardListener* listener) { m_listener = listener; }

    // ---- The cards
    void clearCards();
    void addCard(uint32_t sentenceIndex, std::u16string sentence, std::u16string translation);
    const std::vector<FlashCard>& cards() const { return m_cards; }

    // ---- The options: "1st -> 2nd", "Always Visible" and "PausePersent"
    bool firstToSecond() const { return m_firstToSecond; }
    void setFirstToSecond(bool on) { m_firstToSecond = on; }
    bool alwaysVisible() const { return m_alwaysVisible; }
    void setAlwaysVisible(bool on);
    int pausePercent() const { return m_pausePercent; }
    void setPausePercent(int percent);

    // ---- Play, Stop and Quit
    // Speaks the current card from its first side, and ticks from now on.
    void start();
    // Silence; the card stays.
    void stop();
    // Esc and the Quit button: stops, then leaves the cards.
    void quit();

    // ---- Events; each returns true when the player used it
    // Every kTickMs while playing.
    void tick();
    // The speech engine said the speech has ended.
    void speechEnded();
    bool onKeyDown(const PracticeKeyEvent& key);
    bool onKeyUp(const PracticeKeyEvent& key);

    // ---- Where the player is
    State state() const { return m_state; }
    // Between start and stop (also while held by navigation): Play is off,
    // Stop on, and the tick runs.
    bool isPlaying() const { return m_playing; }
    int index() const { return m_index; }
    int side() const { return m_side; }
    uint32_t speakStart() const { return m_speakStart; }
    uint32_t speakEnd() const { return m_speakEnd; }
    // Milliseconds until a pause ends, for a tick at that moment rather than
    // at the next kTickMs; -1 when not pausing.
    int msUntilPauseEnds();
    // The card that is shown, null when there is none.
    const FlashCard* currentCard() const;
    // Whether each side of the current card is drawn: its own flags while
    // playing, both while stopped or held by navigation.
    bool showsFirst() const;
    bool showsSecond() const;
    // "%03d/%03d": the card's number and the number of cards.
    std::u16string counterText() const;

private:
    // Hides the card, moves to the next one (the first after the last) and
    // tells the listener.
    void advance();
    // The side a card starts with.
    int startingSide() const { return m_firstToSecond ? kSentenceSide : kTranslationSide; }
    bool speakerBusy() const;
    // States 1 and 2: the side is shown and spoken.
    void speakSide();
    // States 3 and 4 once the speaker is silent.
    void endOfSpeech();
    void changed(unsigned changes) { m_changes.add(changes); }

    IPracticeSpeaker& m_speaker;
    Clock& m_clock;
    PracticeChanges& m_changes;
    FlashCardListener* m_listener = nullptr;

    std::vector<FlashCard> m_cards;
    State m_state = kStopped;
    bool m_playing = false;
    int m_index = 0;
    int m_side = kTranslationSide;
    uint32_t m_speakStart = 0;
    uint32_t m_speakEnd = 0;
    bool m_firstToSecond = false;
    bool m_alwaysVisible = false;
    int m_pausePercent = 0;
};

// What the flash-card pane draws and where: the sentence as plain text,
// wrapped to the card's width and centred, the translation below it, and the
// counter.
struct FlashCardLayout {
    static constexpr int kLeft = 16;
    static constexpr int kTop = 8;
    static constexpr int kWidthLess = 36;
    static constexpr int kLineSpacing = 20;
    static constexpr int kTranslationGap = 4;

    Rect area;  // the card's drawing area
    std::vector<std::u16string> sentenceLines;
    std::vector<Point> sentenceAt;
    std::vector<std::u16string> translationLines;  // empty while hidden
    std::vector<Point> translationAt;
    std::u16string counter;
    Point counterAt;
};

// pane: the pane's client size; counterAt: where the counter goes (the pane
// places its controls and the counter beside them).
FlashCardLayout layoutFlashCard(const FlashCardPlayer& player, const TextMeasurer& font, Size pane,
                                Point counterAt);

}  // namespace pw
