// The practice pane: the window over one PracticeSession. It owns the Speaker
// that practice speaks through, creates the controls of each state (the mode
// and option panes, the Sentence/Word tabs, the description editor and the
// sentence list of Ready; the "&Check" and "SentenceVisiblity" boxes and the
// explanation window of a question), places the speaker's settings pane that
// the program gives it, and paints the exercise and the start screen. Keys,
// commands and the timer go to the session; what the session changed comes
// back through practiceChanged.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/bitmap.h>
#include <wx/font.h>

#include "content/ui/TypingSentenceList.h"
#include "editor/TextEditor.h"
#include "gui/CheckBox.h"
#include "gui/TabbedPane.h"
#include "practice/PracticeSession.h"
#include "practice/ui/FlashCardPane.h"
#include "practice/ui/ModeControlPane.h"
#include "practice/ui/PageForm.h"
#include "practice/ui/ResultWindow.h"
#include "practice/ui/TypingOptionPane.h"
#include "practice/ui/WxTextMeasurer.h"
#include "speech/PracticeSpeaker.h"
#include "speech/Speaker.h"

namespace pw {

class TypingPane : public Component, private PracticeSessionListener {
public:
    static constexpr int kBlinkTimer = 1;

    // The client size that shows every control of Ready and the sentence
    // list's columns, with a speaker's pane speakerPaneHeight high.
    static Size preferredSize(int speakerPaneHeight);

    // setup, player and voices: where the session keeps its files, and the
    // speaker's player and voices; the program's own when left out.
    explicit TypingPane(PracticeSetup setup = {}, std::unique_ptr<IAudioPlayer> player = nullptr,
                        TTS::VoiceFactory voices = {});
    ~TypingPane() override;

    PracticeSession& session() { return m_session; }
    // Initialised, with its settings read, once the pane is created.
    Speaker& speaker() { return m_speaker; }
    // The speaker's settings pane, a child of this pane, placed at the
    // bottom left: below the mode's controls in Ready, in the strip the
    // exercise view leaves at the bottom during questions. It must outlive
    // the pane or be set back to null.
    void setSpeakerPane(BaseWindow* pane);
    // The start screen shows none of the other controls (Ready's, a
    // question's, the exercise page) and needs no speaker: with this called
    // before create, they and the speaker are made once the pane has been
    // painted, or when a file is opened first, so that the window shows
    // sooner. made runs then (the program makes the speaker's pane there).
    void deferControls(std::function<void()> made);
    void makeControls();

    // ---- What the content pane asks
    // Opens a learning file: Ready, or NoFile when it cannot be read.
    bool openFile(const std::u16string& path);
    // Drops the open file: the start screen.
    void closeFile();
    // Before another file is opened: offers to save unsaved results; false
    // when they could not be saved and the file has to stay.
    bool releaseFile();
    // The content pane closes: offers to save, then writes the settings.
    // False when the results could not be saved and the learner keeps the
    // program open (nothing is written then).
    bool finish();
    // The theme menu at the mouse (the tool bar's command 13).
    void showThemeMenu();

    // ---- Keys, also those the content pane hands on
    bool onKeyDown(const KeyInput& key) override;
    bool onKeyUp(const KeyInput& key) override;
    bool onChar(const KeyInput& key) override;
    static PracticeKey practiceKey(int keyCode);

    // ---- The controls, for tests
    ModeControlPane& modePane() { return m_modePane; }
    TypingOptionPane& optionPane() { return m_optionPane; }
    TabbedPane& tabs() { return m_tabs; }
    TextEditor& descriptionEditor() { return m_description; }
    TypingSentenceList& sentenceList() { return m_list; }
    CheckBox& checkBox() { return m_check; }
    CheckBox& visibilityBox() { return m_visibility; }
    ResultWindow& resultWindow() { return m_result; }
    PageForm& pageForm() { return m_pageForm; }
    FlashCardPane& flashCardPane() { return m_flashPane; }
    BaseWindow* speakerPane() { return m_speakerPane; }
    const WxTextMeasurer& sentenceFont() const { return m_sentenceFont; }
    const WxTextMeasurer& boldFont() const { return m_boldFont; }

    // Draws the view as onPaint does, for pictures of it and the benchmark.
    void paintView(wxDC& dc);

    bool onCreate() override;
    bool windowProc(wxEvent& event) override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;
    bool onMouse(const MouseInput& mouse) override;
    void onTimer(int id) override;
    void onFocus(bool gained) override;
    void onDestroy() override;

protected:
    void onPaint(Graphics& graphics) override;
    void bindControlEvents() override;

private:
    void practiceChanged(unsigned changes) override;
    void takeFocus();
    void createControls();
    void applyTheme();
    void applyBackColor();
    void paintContent(wxDC& dc);
    // Shows what the state needs and hides the rest.
    void showStateControls();
    void placeReadyControls(int width, int height);
    void placeExerciseControls(int width, int height);
    void placeSpeakerPane(int width, int height);
    ExerciseLayout exerciseLayout();
    void optionsChanged();
    // Opens or closes the exercise page; false when it cannot be shown (the
    // option then says why, and asked: the learner is told).
    bool usePageForm(bool use, bool asked);
    void showListMenu(int x, int y);
    // The editor's text when the learner edited it, else the list's own (the
    // editor may have changed its line ends).
    std::u16string descriptionText();
    void setWindowTitle(const std::u16string& title);
    bool asking() const;

    // The speaker comes first: the session speaks through it.
    Speaker m_speaker;
    PracticeSpeaker m_practiceSpeaker{m_speaker};
    PracticeSession m_session;
    BaseWindow* m_speakerPane = nullptr;
    WxTextMeasurer m_sentenceFont;
    WxTextMeasurer m_boldFont;

    ModeControlPane m_modePane;
    TypingOptionPane m_optionPane;
    TabbedPane m_tabs;
    Component m_sentenceTab;
    Component m_wordTab;
    TextEditor m_description;
    TypingSentenceList m_list{m_session.list()};
    CheckBox m_check;
    CheckBox m_visibility;
    ResultWindow m_result;
    PageForm m_pageForm{m_session, m_practiceSpeaker};
    FlashCardPane m_flashPane{m_session, *this};
    bool m_cardsHearSpeech = false;  // the flash cards are the speaker's listener
    wxBitmap m_icon;
    int m_tabsHeight = 0;
    std::function<void()> m_whenControlsMade;  // set: the controls wait for a paint
    bool m_controlsMade = false;
    bool m_painted = false;
    bool m_descriptionEdited = false;
};

}  // namespace pw
