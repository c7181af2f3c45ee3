// The practice pane's logic: the open learning file with the three parts that
// work on it (the run of questions, the results waiting to be saved and the
// view built from them), the theme, and the list's and the theme's menus.
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

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "content/SentenceListModel.h"
#include "practice/Clock.h"
#include "practice/HistoryManager.h"
#include "practice/KeySound.h"
#include "practice/MenuModel.h"
#include "practice/PracticeChanges.h"
#include "practice/PracticeOptions.h"
#include "practice/PracticeResults.h"
#include "practice/PracticeRun.h"
#include "practice/PracticeView.h"
#include "practice/PracticeViewBuilder.h"
#include "practice/TypingSentencePane.h"
#include "practice/TypingStyleManager.h"
#include "speech/IPracticeSpeaker.h"

namespace pw {

// Where the session keeps its files and what it measures time and plays
// clicks with; the defaults are the program's own.
struct PracticeSetup {
    Clock* clock = nullptr;        // the tick count when null
    KeySound* keySound = nullptr;  // "Resources/type.wav" when null
    std::function<void()> beep;    // the message beep of a wrong word; silent when empty
    std::string logPath = learnerFile(HistoryManager::kDefaultPath);
    std::string themePath = learnerFile(TypingStyleManager::kDefaultPath);
};

class PracticeSession {
public:
    // The list's context menu.
    static constexpr int kStartFromHereCommand = 1;
    static constexpr int kAskSelectedCommand = 2;
    static constexpr int kAudioConversionCommand = 3;
    static constexpr int kPrintCommand = 4;
    static constexpr int kBlinkIntervalMs = PracticeRun::kBlinkIntervalMs;
    static constexpr const char16_t* kSaveQuestion = PracticeResults::kSaveQuestion;

    explicit PracticeSession(IPracticeSpeaker& speaker, PracticeSetup setup = {});
    ~PracticeSession();
    PracticeSession(const PracticeSession&) = delete;
    PracticeSession& operator=(const PracticeSession&) = delete;

    void setListener(PracticeSessionListener* listener) { m_changes.setListener(listener); }

    // What the pane does when it is created: reads the totals, the options
    // and the theme list. The session starts in NoFile.
    void create();
    // Writes the options and the chosen theme (when the content pane closes).
    void saveSettings();
    // The content pane is closing: asks whether to save when there are
    // results that have not been saved (description is the editor's text);
    // when they cannot be written, the learner may try again, save the file
    // elsewhere or stay. True when the program may close.
    bool finish(const std::u16string& description);
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
    const PracticeOptions& options() const { return m_run.options(); }
    void setOptions(const PracticeOptions& options);
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
    bool hasUnsavedResults() const { return m_results.hasUnsavedResults(); }
    // The learner changed the open file's texts (the markup editor): Save and
    // closing treat that as an unsaved result.
    void markUnsaved() { m_results.markUnsaved(); }

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
    // What opens the print dialog for the selected rows (menu item 4, enabled
    // once this is set), for the same reason.
    using PrintOpener = AudioConversionOpener;
    void setPrintOpener(PrintOpener opener) { m_printOpener = std::move(opener); }

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
    // The mouse in the practice pane: moving it over the word board
    // underlines the word under it, a click (or double click) chooses it.
    enum class MouseAction { Move, Click };
    bool onMouse(MouseAction action, Point at);
    // The 300 ms timer: false when the timer is to stop.
    bool onBlinkTimer();

    // ---- What the view shows
    const PracticeView& view();
    PracticeState state() const { return m_run.state(); }
    const TypingSentencePane& sentence() const { return m_run.sentence(); }
    // Where the drawn view puts the word board at the pane's size.
    WordBoardLayout wordBoardLayout();

    // ---- The parts
    PracticeRun& run() { return m_run; }
    const PracticeRun& run() const { return m_run; }
    FlashCardPlayer& flashCards() { return m_run.flashCards(); }
    PracticeResults& results() { return m_results; }
    const PracticeResults& results() const { return m_results; }

private:
    // Tells the speaker what the open file is like.
    void introduceFile();

    IPracticeSpeaker& m_speaker;
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<KeySound> m_ownKeySound;

    PracticeChanges m_changes;
    SentenceListModel m_list;
    TypingStyleManager m_theme;
    PracticeResults m_results;
    PracticeViewBuilder m_viewBuilder;
    PracticeRun m_run;
    AudioConversionOpener m_audioConversionOpener;
    PrintOpener m_printOpener;
};

}  // namespace pw
