// The practice pane's logic: the open learning file, the run of questions and
// its states, typing and scoring, saving results, the totals and the theme.
// The pane (a window) creates one session, forwards its events and commands
// to it, and paints view(); the session tells it what changed through
// PracticeSessionListener. Nothing here needs a display.
//
//   PracticeSession session(speaker);
//   session.setListener(&pane);
//   session.create();                                  // totals, settings, themes
//   session.setFonts(sentenceMeasurer, boldMeasurer);  // once the fonts exist
//   session.setPaneSize(width, height);
//   session.openFile(u"Data/EverydayEnglish.xml");     // Ready
//   session.startRun(RunKind::AllRows);                // Typing
//   session.onChar(u'G');                              // typed keys
//   ...
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "content/SentenceListModel.h"
#include "practice/Clock.h"
#include "practice/HistoryManager.h"
#include "practice/KeySound.h"
#include "practice/MenuModel.h"
#include "practice/PracticeOptions.h"
#include "practice/PracticeView.h"
#include "practice/SentenceStats.h"
#include "practice/TypingSentencePane.h"
#include "practice/TypingStyleManager.h"
#include "speech/IPracticeSpeaker.h"

namespace pw {

// What changed since the last notification; several bits may come at once.
enum PracticeChange : unsigned {
    kRepaint = 1u << 0,             // repaint the practice area from view()
    kStateChanged = 1u << 1,        // show and hide controls for view().state, relayout
    kCheckChanged = 1u << 2,        // set the "&Check" box to view().checked
    kExplanationChanged = 1u << 3,  // the explanation window's text is view().explanation
    kDescriptionChanged = 1u << 4,  // the description editor's text is view().description
    kTakeFocus = 1u << 5,           // give the practice pane the keyboard focus
    kStartBlinkTimer = 1u << 6,     // (re)start the 300 ms timer that calls onBlinkTimer
    kThemeChanged = 1u << 7,        // re-read the theme's colours
};

class PracticeSessionListener {
public:
    virtual ~PracticeSessionListener() = default;
    // Called once at the end of each event or command, with the union of its
    // changes; never from inside another call into the session.
    virtual void practiceChanged(unsigned changes) = 0;
};

// The keys the session acts on; the view maps its key codes to these.
enum class PracticeKey { Other, Enter, Escape, Space, Left, Right, Control };

struct PracticeKeyEvent {
    PracticeKey key = PracticeKey::Other;
    bool control = false;  // the Control key is held
};

// Where the session keeps its files and what it measures time and plays
// clicks with; the defaults are the program's own.
struct PracticeSetup {
    Clock* clock = nullptr;        // the tick count when null
    KeySound* keySound = nullptr;  // "Resources/type.wav" when null
    std::string logPath = learnerFile(HistoryManager::kDefaultPath);
    std::string themePath = learnerFile(TypingStyleManager::kDefaultPath);
};

class PracticeSession {
public:
    // The list's context menu.
    static constexpr int kStartFromHereCommand = 1;
    static constexpr int kAskSelectedCommand = 2;
    static constexpr int kAudioConversionCommand = 3;
    static constexpr int kBlinkIntervalMs = 300;
    static constexpr uint32_t kHintMisses = 5;

    static constexpr const char16_t* kNoQuestionText = u"条件に該当する問題文が１つもありません！";
    static constexpr const char16_t* kSaveQuestion = u"データを保存しますか。";
    static constexpr const char16_t* kSaveCaption = u"Do you want to save the results?";

    explicit PracticeSession(IPracticeSpeaker& speaker, PracticeSetup setup = {});
    ~PracticeSession();
    PracticeSession(const PracticeSession&) = delete;
    PracticeSession& operator=(const PracticeSession&) = delete;

    void setListener(PracticeSessionListener* listener) { m_listener = listener; }

    // What the pane does when it is created: reads the totals, the options
    // and the theme list. The session starts in NoFile.
    void create();
    // Writes the options and the chosen theme (when the content pane closes).
    void saveSettings();
    // The content pane is closing: asks whether to save when there are
    // results that have not been saved. description is the editor's text.
    void finish(const std::u16string& description);
    // Another file is about to be opened: asks, as finish does, whether to
    // save what has not been saved. True when the file may go (saved, nothing
    // to save, or the learner chose not to save); false when the learner
    // wanted the results saved and they could not be written, so they stay.
    bool releaseFile(const std::u16string& description);

    // The fonts the sentence and the translation are measured with; they stay
    // the caller's. Until set, a fixed width stands in for them.
    void setFonts(const TextMeasurer& sentenceFont, const TextMeasurer& boldFont);
    // The practice pane's client size; the next question wraps to it.
    void setPaneSize(int width, int height);

    // ---- The learning file
    // Opens path: Ready on success, NoFile on failure (the list keeps what it
    // had). Either way the practice starts afresh and unsaved results of the
    // previous file are dropped.
    bool openFile(const std::u16string& path);
    // The file was removed from the library: NoFile.
    void closeFile();
    // The Sentence and Word tabs: the list shows word records when wordMode.
    void setWordMode(bool wordMode);
    SentenceListModel& list() { return m_list; }

    // ---- Options and commands
    const PracticeOptions& options() const { return m_options; }
    void setOptions(const PracticeOptions& options);
    // Whether a run can be started in mode; word ordering and flash cards
    // are not part of this version.
    static bool isModeAvailable(PracticeMode mode);
    // The Start button (AllRows) and the list's menu: starts a run in Ready.
    // False when no run started (no question matched: the learner is told).
    bool startRun(RunKind kind, const std::vector<int>& selectedRows = {});
    // The Save button: asks, then writes "Log.xml" and the learning file.
    // True when both were written; on failure the learner is told and the
    // results stay in memory, so Save can be tried again.
    bool save(const std::u16string& description);
    // The "&Check" box was clicked: sets or clears the current sentence's
    // check mark of the mode's side.
    void setChecked(bool on);
    // The "SentenceVisiblity" box.
    void setSentenceVisibility(bool visible);
    bool hasUnsavedResults() const { return m_unsaved; }

    // The list's context menu for the selected rows, and its commands.
    std::vector<MenuItem> listMenu(int selectedCount) const;
    bool onListMenuCommand(int id, const std::vector<int>& selectedRows);
    // What opens the audio conversion of the selected rows (menu item 3,
    // enabled once this is set); the program sets it, since the dialog is
    // not the practice pane's.
    using AudioConversionOpener = std::function<void(const std::vector<int>& rows)>;
    void setAudioConversionOpener(AudioConversionOpener opener) {
        m_audioConversionOpener = std::move(opener);
    }

    // ---- Themes
    TypingStyleManager& theme() { return m_theme; }
    std::vector<MenuItem> themeMenu() const { return m_theme.menuItems(); }
    void onThemeMenuCommand(int id);

    // ---- Events; each returns true when the session used it
    // Key-down: a key used here must not also reach onChar as a character.
    bool onKeyDown(const PracticeKeyEvent& key);
    bool onKeyUp(const PracticeKeyEvent& key);
    bool onChar(char32_t ch);
    // The pane lost the keyboard focus: held keys are forgotten.
    void onFocusLost();
    // The 300 ms timer: false when the timer is to stop.
    bool onBlinkTimer();

    // ---- The run, as the pane drives it
    void nextQuestion();
    bool startQuestion();
    void listen();
    void setState(PracticeState state);
    // Checks one typed character; true when the key click is due.
    bool typeChar(char16_t ch);
    void finishSentence();

    // ---- What the view shows
    const PracticeView& view();
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
    HistoryManager& history() { return m_history; }

private:
    class ChangeScope;

    void resetRun();
    bool askToSave() const;
    // Writes "Log.xml" and the learning file; tells the learner what failed.
    bool writeResults(const std::u16string& description);
    SentenceStats& stats();
    bool writingSide() const { return isWritingSide(m_options.mode); }
    void goBack();
    void restartQuestion();
    void giveUp();
    // What a question asks with: the translation on the writing side, else
    // the sentence.
    void speakQuestion();
    void changed(unsigned changes) {
        m_pending |= changes;
        m_viewStale = true;
    }
    const TextMeasurer& sentenceFont() const;
    const TextMeasurer& boldFont() const;
    void rebuildView();

    IPracticeSpeaker& m_speaker;
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<KeySound> m_ownKeySound;
    Clock* m_clock;
    KeySound* m_keySound;
    PracticeSessionListener* m_listener = nullptr;

    SentenceListModel m_list;
    HistoryManager m_history;
    TypingStyleManager m_theme;
    PracticeOptions m_options;
    TypingSentencePane m_sentence;
    FixedWidthMeasurer m_fallbackFont{8, 16};
    const TextMeasurer* m_sentenceFont = nullptr;
    const TextMeasurer* m_boldFont = nullptr;
    int m_paneWidth = 700;
    int m_paneHeight = 500;

    // The run.
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
    bool m_unsaved = false;

    // Keys held, learnt from key-down and key-up: Ctrl with an arrow moves
    // through questions without speech.
    bool m_controlDown = false;
    bool m_arrowDown = false;

    AudioConversionOpener m_audioConversionOpener;

    unsigned m_pending = 0;
    int m_scopeDepth = 0;
    PracticeView m_view;
    bool m_viewStale = true;
};

}  // namespace pw
