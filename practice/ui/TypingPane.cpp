// The practice pane.
#include "practice/ui/TypingPane.h"

#include <algorithm>
#include <vector>

#include <wx/app.h>
#include <wx/fontenum.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "core/AppFiles.h"
#include "core/ProfileSettings.h"
#include "core/UiServices.h"
#include "gui/WxText.h"
#include "practice/ui/ExercisePainter.h"
#include "practice/ui/MenuTracking.h"

namespace pw {
namespace {

// The sentence is the learner's work: large and clear.
constexpr int kSentenceFontSize = 22;
constexpr int kDescriptionHeight = 76;
constexpr int kSpeakerTop = 260;
constexpr int kGap = 4;
constexpr int kResultPadding = 8;
constexpr const char* kIconPath = "Resources/Phrasewright.png";
// Below the flash cards, the pane's own.
constexpr int kFlashCardsBottom = 28;

// A face with Latin and Japanese glyphs of one design, when installed.
const wxString& practiceFace() {
    static const wxString chosen = [] {
        for (const char* face : {"Noto Sans CJK JP", "IPAexGothic", "IPAGothic"}) {
            if (wxFontEnumerator::IsValidFacename(face)) {
                return wxString(face);
            }
        }
        return wxString();
    }();
    return chosen;
}

// size: the height of the letters (the em) in pixels at 96 dots an inch; the
// line spacing of the face comes on top, and the size follows the display's
// resolution.
wxFont practiceFont(int size, int weight = wxFONTWEIGHT_NORMAL) {
    wxFontInfo info(size * 72.0 / 96.0);
    const wxString face = practiceFace();
    if (!face.empty()) {
        info.FaceName(face);
    }
    wxFont font(info.Weight(weight));
    return font.IsOk() ? font : *wxNORMAL_FONT;
}

// A wrong word on the word board sounds the message beep unless told otherwise.
PracticeSetup withMessageBeep(PracticeSetup setup) {
    if (!setup.beep) {
        setup.beep = [] { wxBell(); };
    }
    return setup;
}

Size bestSize(const BaseWindow& window) {
    const wxSize size = window.handle() ? window.handle()->GetBestSize() : wxSize(0, 0);
    return {size.x, size.y};
}

}  // namespace

Size TypingPane::preferredSize(int speakerPaneHeight) {
    return {ModeControlPane::kWidth + TypingSentenceList::columnsWidth() +
                TypingSentenceList::kScrollBarRoom,
            kSpeakerTop + speakerPaneHeight};
}

TypingPane::TypingPane(PracticeSetup setup, std::unique_ptr<IAudioPlayer> player,
                       TTS::VoiceFactory voices)
    : m_speaker(std::move(player), std::move(voices)),
      m_session(m_practiceSpeaker, withMessageBeep(std::move(setup))) {
    setClassName(u"TypingPane");
    m_session.setListener(this);
    m_session.setFonts(m_sentenceFont, m_boldFont);
}

TypingPane::~TypingPane() {
    // The children go while the session they show still exists.
    destroy();
}

bool TypingPane::onCreate() {
    m_sentenceFont.setFont(practiceFont(kSentenceFontSize));
    m_boldFont.setFont(practiceFont(view_metrics::kBoldFontHeight, view_metrics::kBoldFontWeight));
    {
        wxLogNull quiet;  // a missing icon leaves the start screen without it
        const wxImage icon(wxString::FromUTF8(shippedFile(kIconPath)), wxBITMAP_TYPE_PNG);
        if (icon.IsOk()) {
            m_icon = wxBitmap(icon);
        }
    }
    m_session.create();
    if (!m_whenControlsMade) {
        makeControls();
    }
    return false;
}

void TypingPane::deferControls(std::function<void()> made) {
    m_whenControlsMade = made ? std::move(made) : [] {};
}

void TypingPane::makeControls() {
    if (m_controlsMade || !handle()) {
        return;
    }
    m_controlsMade = true;
    m_speaker.initialize();
    createControls();
    m_speaker.loadSettings();
    m_modePane.setOptions(m_session.options());
    m_optionPane.useIEBox().setChecked(m_session.options().useIE);
    usePageForm(m_session.options().useIE, false);
    if (m_whenControlsMade) {
        m_whenControlsMade();
    }
    // What the session said before the controls were there (the window's
    // title, which the state also sets, may have changed since).
    practiceChanged(kThemeChanged | kCheckChanged | kExplanationChanged | kDescriptionChanged);
    showStateControls();
    onSize(clientWidth(), clientHeight());
}

void TypingPane::bindControlEvents() {
    Component::bindControlEvents();
    listen(wxEVT_IDLE);
    listen(wxEVT_CHILD_FOCUS);
}

bool TypingPane::windowProc(wxEvent& event) {
    if (event.GetEventType() == wxEVT_CHILD_FOCUS) {
        // A click into the speaker's strip during a question: the keys go
        // back to the sentence once the click has done its work.
        auto* focused = dynamic_cast<wxWindow*>(event.GetEventObject());
        wxWindow* speaker = m_speakerPane ? m_speakerPane->handle() : nullptr;
        for (wxWindow* w = focused; speaker && w; w = w->GetParent()) {
            if (w == speaker) {
                if (asking()) {
                    handle()->CallAfter([this] {
                        if (asking()) {
                            takeFocus();
                        }
                    });
                }
                break;
            }
        }
        event.Skip();
        return false;
    }
    if (event.GetEventType() == wxEVT_IDLE) {
        // The start screen is on screen: the rest follows, unless the window
        // is on its way out.
        wxWindow* top = wxGetTopLevelParent(handle());
        if (m_painted && !m_controlsMade && handle()->IsShownOnScreen() && top &&
            !top->IsBeingDeleted() && !(wxTheApp && wxTheApp->IsScheduledForDestruction(top))) {
            makeControls();
        }
        return false;
    }
    return Component::windowProc(event);
}

void TypingPane::setSpeakerPane(BaseWindow* pane) {
    m_speakerPane = pane;
    if (handle()) {
        showStateControls();
        onSize(clientWidth(), clientHeight());
    }
}

void TypingPane::takeFocus() {
    if (m_session.state() == PracticeState::FlashCards && m_flashPane.handle()) {
        m_flashPane.takeFocus();
        return;
    }
    // A panel hands its focus on to its first control; the keys are the pane's.
    if (auto* panel = dynamic_cast<wxPanel*>(handle())) {
        panel->SetCanFocus(true);
        panel->SetFocusIgnoringChildren();
    } else {
        setFocus();
    }
}

void TypingPane::createControls() {
    m_modePane.create(*this, 0, 0, ModeControlPane::kWidth, ModeControlPane::kHeight);
    m_optionPane.create(*this, TypingOptionPane::kLeft, TypingOptionPane::kTop,
                        TypingOptionPane::kWidth, TypingOptionPane::kHeight);

    // Only the tab strip shows: the pages are empty and the list below serves both.
    m_tabs.create(*this);
    m_sentenceTab.create(m_tabs);
    m_wordTab.create(m_tabs);
    m_tabs.addPage(m_sentenceTab, practice_texts::kSentenceTab);
    m_tabs.addPage(m_wordTab, practice_texts::kWordTab);
    m_tabs.select(0);
    m_tabsHeight = m_tabs.handle()->GetBestSize().y;

    m_description.create(*this);
    m_description.handle()->SetFont(practiceFont(view_metrics::kDescriptionFontSize));
    m_list.create(*this);

    m_check.setText(practice_texts::kCheck);
    m_check.create(*this);
    m_visibility.setText(practice_texts::kSentenceVisibility);
    m_visibility.setChecked(true);
    m_visibility.create(*this);
    m_visibility.setToolTip(practice_texts::kSentenceVisibilityTip);
    for (CheckBox* box : {&m_check, &m_visibility}) {
        box->handle()->SetFont(m_boldFont.font());
        box->setSize(bestSize(*box).width, bestSize(*box).height);
    }

    m_result.create(*this);
    m_result.handle()->SetFont(practiceFont(view_metrics::kResultWindowFontSize));

    m_flashPane.create(*this);
    m_flashPane.setVisible(false);
}

// ---- What the content pane asks

bool TypingPane::openFile(const std::u16string& path) {
    makeControls();
    return m_session.openFile(path);
}

void TypingPane::closeFile() {
    m_session.closeFile();
}

bool TypingPane::releaseFile() {
    return m_session.releaseFile(descriptionText());
}

bool TypingPane::finish() {
    if (!m_session.finish(descriptionText())) {
        return false;
    }
    // The practice and speaker keys reach the settings file in one write.
    ProfileSettings::Batch batch;
    m_session.saveSettings();
    if (m_controlsMade) {
        m_speaker.saveSettings();  // else they were never read
    }
    return true;
}

void TypingPane::showThemeMenu() {
    if (!handle()) {
        return;
    }
    const wxPoint mouse = handle()->ScreenToClient(wxGetMousePosition());
    const int id = trackMenu(*this, m_session.themeMenu(), mouse.x, mouse.y);
    if (id != 0) {
        m_session.onThemeMenuCommand(id);
    }
}

std::u16string TypingPane::descriptionText() {
    return m_descriptionEdited || m_description.isModified() ? m_description.getText()
                                                             : m_session.list().getDescription();
}

// ---- Keys

PracticeKey TypingPane::practiceKey(int keyCode) {
    switch (keyCode) {
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            return PracticeKey::Enter;
        case WXK_ESCAPE:
            return PracticeKey::Escape;
        case WXK_SPACE:
        case WXK_NUMPAD_SPACE:
            return PracticeKey::Space;
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT:
            return PracticeKey::Left;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT:
            return PracticeKey::Right;
        case WXK_CONTROL:
            return PracticeKey::Control;
        default:
            return PracticeKey::Other;
    }
}

bool TypingPane::asking() const {
    return m_session.state() == PracticeState::Typing || m_session.state() == PracticeState::Answer;
}

bool TypingPane::onKeyDown(const KeyInput& key) {
    // A key used here must not come back as a character.
    if (m_session.onKeyDown({practiceKey(key.keyCode), key.control})) {
        return true;
    }
    // Tab moves between the controls of Ready; during a question the keys
    // stay with the sentence.
    if (asking()) {
        return key.keyCode == WXK_TAB;
    }
    return Component::onKeyDown(key);
}

bool TypingPane::onKeyUp(const KeyInput& key) {
    return m_session.onKeyUp({practiceKey(key.keyCode), key.control});
}

bool TypingPane::onChar(const KeyInput& key) {
    return key.ch != 0 && m_session.onChar(key.ch);
}

// ---- Events

bool TypingPane::onCommand(const Command& command) {
    const wxWindow* sender = command.sender;
    if (sender == nullptr) {
        return false;
    }
    if (sender == m_modePane.startButton().handle()) {
        m_session.startRun(RunKind::AllRows);
    } else if (sender == m_modePane.saveButton().handle()) {
        m_session.save(descriptionText());
    } else if (sender == m_check.handle()) {
        m_session.setChecked(m_check.isChecked());
    } else if (sender == m_visibility.handle()) {
        m_session.setSentenceVisibility(m_visibility.isChecked());
    } else if (sender == m_description.handle()) {
        m_descriptionEdited = m_descriptionEdited || command.code == codes::kTextChanged;
    } else if (sender == m_modePane.modeCombo().handle() ||
               sender == m_modePane.pointLimitField().handle() ||
               sender == m_modePane.pointLimitBox().handle() ||
               sender == m_modePane.onlyCheckedBox().handle() ||
               sender == m_modePane.shuffleBox().handle() ||
               sender == m_optionPane.useIEBox().handle()) {
        optionsChanged();
    } else {
        return false;
    }
    return true;
}

void TypingPane::optionsChanged() {
    PracticeOptions options = m_modePane.options();
    options.useIE = m_optionPane.useIEBox().isChecked();
    if (options.useIE != m_pageForm.isOpen()) {
        options.useIE = usePageForm(options.useIE, true);
    }
    m_session.setOptions(options);
}

bool TypingPane::usePageForm(bool use, bool asked) {
    if (!use) {
        m_pageForm.close();
        return false;
    }
    if (m_pageForm.open(*this, fromWx(m_sentenceFont.font().GetFaceName()))) {
        m_optionPane.setPageUnavailable({});
        return true;
    }
    m_optionPane.setPageUnavailable(m_pageForm.whyNot());
    if (asked) {
        messageBox(u"The questions are shown in the drawn view.\n\n" + m_pageForm.whyNot(),
                   MbOk | MbIconWarning);
    }
    return false;
}

bool TypingPane::onNotify(const Notify& notify) {
    if (notify.sender == m_tabs.handle() && notify.code == codes::kTabChanged) {
        m_session.setWordMode(notify.row == 1);
        return true;
    }
    if (notify.sender == m_list.handle() && notify.code == codes::kContextMenu) {
        showListMenu(notify.x, notify.y);
        return true;
    }
    return false;
}

void TypingPane::showListMenu(int x, int y) {
    const std::vector<int> rows = m_list.selectedRows();
    const int id = trackMenu(m_list, m_session.listMenu(static_cast<int>(rows.size())), x, y);
    if (id != 0) {
        m_session.onListMenuCommand(id, rows);
    }
}

bool TypingPane::onMouse(const MouseInput& mouse) {
    if (mouse.action == MouseInput::Down && mouse.button == MouseInput::Left) {
        takeFocus();  // typing goes on after a click into the view
    }
    // Each press chooses a word of the board. Where the second press of a
    // double click comes only as the double click, that is the press.
#ifdef __WXMSW__
    constexpr bool kDoubleClickIsPress = true;
#else
    constexpr bool kDoubleClickIsPress = false;
#endif
    const bool press = mouse.button == MouseInput::Left &&
                       (mouse.action == MouseInput::Down ||
                        (kDoubleClickIsPress && mouse.action == MouseInput::DoubleClick));
    if (press || mouse.action == MouseInput::Move) {
        m_session.onMouse(
            press ? PracticeSession::MouseAction::Click : PracticeSession::MouseAction::Move,
            {mouse.x, mouse.y});
    }
    return Component::onMouse(mouse);
}

void TypingPane::onTimer(int id) {
    if (id == kBlinkTimer && !m_session.onBlinkTimer()) {
        killTimer(kBlinkTimer);
    }
}

void TypingPane::onFocus(bool gained) {
    Component::onFocus(gained);  // the cursor shows only with the focus
    if (!gained) {
        m_session.onFocusLost();
    }
}

void TypingPane::onDestroy() {
    killTimer(kBlinkTimer);
    if (m_cardsHearSpeech) {
        m_speaker.setSpeechListener(nullptr);
        m_cardsHearSpeech = false;
    }
    m_speaker.close();
}

// ---- What the session changed

void TypingPane::practiceChanged(unsigned changes) {
    const PracticeView& view = m_session.view();
    m_pageForm.sessionChanged(changes);
    m_flashPane.sessionChanged(changes);
    if (changes & kThemeChanged) {
        applyTheme();
    }
    if (changes & kStateChanged) {
        showStateControls();
        placeExerciseControls(clientWidth(), clientHeight());
        placeSpeakerPane(clientWidth(), clientHeight());
        if (view.state == PracticeState::NoFile) {
            setWindowTitle(view_texts::kProgramTitle);
        }
    }
    if (changes & kCheckChanged) {
        m_check.setChecked(view.checked);
    }
    if (changes & kExplanationChanged) {
        m_result.setText(view.explanation);
    }
    if (changes & kDescriptionChanged) {
        m_description.setText(view.description);
        m_descriptionEdited = false;
    }
    if (changes & kTakeFocus) {
        takeFocus();
    }
    if (changes & kStartBlinkTimer) {
        setTimer(kBlinkTimer, PracticeSession::kBlinkIntervalMs);
    }
    if (changes & (kRepaint | kStateChanged | kThemeChanged)) {
        invalidate();
    }
}

void TypingPane::applyTheme() {
    const TypingStyleManager& theme = m_session.theme();
    const wxColour back = toWxColour(theme.getColor(kBackgroundColor));
    const wxColour text = toWxColour(theme.getColor(kTextColor));
    applyBackColor();
    for (BaseWindow* control :
         std::initializer_list<BaseWindow*>{&m_check, &m_visibility, &m_result}) {
        control->setBackColor(back);
        control->setTextColor(text);
        control->invalidate();
    }
    // Text already in the window keeps the colours it was put in with.
    const std::u16string explanation = m_result.getText();
    m_result.setText(u"");
    m_result.setText(explanation);
}

void TypingPane::applyBackColor() {
    // The controls of Ready sit on the toolkit's own colour; the drawn view
    // and the start screen on the theme's.
    setBackColor(m_session.state() == PracticeState::Ready
                     ? wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)
                     : toWxColour(m_session.theme().getColor(kBackgroundColor)));
}

void TypingPane::showStateControls() {
    applyBackColor();
    const PracticeState state = m_session.state();
    const bool ready = state == PracticeState::Ready;
    const bool question = asking();
    for (BaseWindow* control : std::initializer_list<BaseWindow*>{
             &m_modePane, &m_optionPane, &m_tabs, &m_description, &m_list}) {
        control->setVisible(ready);
    }
    if (m_speakerPane) {
        m_speakerPane->setVisible(ready || question);
    }
    m_check.setVisible(question);
    const bool drawn = !m_pageForm.isOpen();  // the page shows the rest itself
    m_visibility.setVisible(question && drawn);
    m_result.setVisible(drawn && state == PracticeState::Answer &&
                        m_session.view().showExplanation);

    const bool cards = state == PracticeState::FlashCards;
    m_flashPane.setVisible(cards);
    // While the cards play they hear the end of each speech from the speaker.
    if (cards != m_cardsHearSpeech) {
        m_speaker.setSpeechListener(cards ? &m_flashPane : nullptr);
        m_cardsHearSpeech = cards;
    }
}

void TypingPane::setWindowTitle(const std::u16string& title) {
    wxWindow* top = handle() ? wxGetTopLevelParent(handle()) : nullptr;
    if (BaseWindow* window = BaseWindow::fromHandle(top)) {
        window->setText(title);
    } else if (top) {
        top->SetLabel(toWx(title));
    }
}

// ---- Layout and painting

void TypingPane::onSize(int width, int height) {
    m_session.setPaneSize(width, height);
    placeReadyControls(width, height);
    placeExerciseControls(width, height);
    placeSpeakerPane(width, height);
    invalidate();
}

void TypingPane::placeReadyControls(int width, int height) {
    const int left = ModeControlPane::kWidth;
    const int right = std::max(width - left, 0);
    m_modePane.setBounds(0, 0, left, ModeControlPane::kHeight);
    m_optionPane.setBounds(TypingOptionPane::kLeft, TypingOptionPane::kTop,
                           TypingOptionPane::kWidth, TypingOptionPane::kHeight);
    m_tabs.setBounds(left, 0, right, m_tabsHeight);
    m_description.setBounds(left, m_tabsHeight, right, kDescriptionHeight);
    const int listTop = m_tabsHeight + kDescriptionHeight + kGap;
    m_list.setBounds(left, listTop, right, std::max(height - listTop, 0));
    m_flashPane.setBounds(0, 0, width, std::max(height - kFlashCardsBottom, 0));
}

void TypingPane::placeSpeakerPane(int width, int height) {
    if (!m_speakerPane) {
        return;
    }
    if (!asking()) {
        m_speakerPane->setBounds(0, kSpeakerTop, ModeControlPane::kWidth,
                                 std::max(height - kSpeakerTop, 0));
        return;
    }
    const Point at = exerciseLayout().speakerPane;
    m_speakerPane->setBounds(at.x, at.y, std::max(width - 2 * at.x, 0), std::max(height - at.y, 0));
}

ExerciseLayout TypingPane::exerciseLayout() {
    return layoutExercise(m_session.view(), m_sentenceFont, m_boldFont,
                          Size{clientWidth(), clientHeight()}, bestSize(m_check),
                          bestSize(m_visibility));
}

void TypingPane::placeExerciseControls(int width, int height) {
    if (!asking()) {
        return;
    }
    const ExerciseLayout layout = exerciseLayout();
    // Below the "&Check" box, which a tall font moves down.
    m_pageForm.place(width, height, layout.checkBoxFrame.y + layout.checkBoxFrame.height + kGap);
    const auto place = [](BaseWindow& window, const Rect& r) {
        window.setBounds(r.x, r.y, r.width, r.height);
    };
    place(m_check, layout.checkBox);
    place(m_visibility, layout.visibilityCheckBox);
    // The text sits inside the frame the view draws around the window's place.
    place(m_result, layout.resultWindow.inflated(-kResultPadding, -kResultPadding));
}

void TypingPane::onPaint(Graphics& graphics) {
    // The background is filled already, in the pane's colour.
    paintContent(graphics.dc());
    m_painted = true;
}

void TypingPane::paintView(wxDC& dc) {
    dc.SetBackground(wxBrush(backColor()));
    dc.Clear();
    paintContent(dc);
}

void TypingPane::paintContent(wxDC& dc) {
    const PracticeView& view = m_session.view();
    const Size pane{clientWidth(), clientHeight()};
    const TypingStyleManager& theme = m_session.theme();
    const ExercisePainter painter(theme, theme.useFrame(), m_sentenceFont.font(),
                                  m_boldFont.font());
    switch (view.state) {
        case PracticeState::NoFile: {
            const Size icon{m_icon.IsOk() ? m_icon.GetWidth() : 0,
                            m_icon.IsOk() ? m_icon.GetHeight() : 0};
            painter.paintStartScreen(dc, view, layoutStartScreen(view, m_boldFont, pane, icon),
                                     m_icon);
            break;
        }
        case PracticeState::Typing:
        case PracticeState::Answer:
            if (m_pageForm.isOpen()) {
                painter.paintPageFrame(dc, view, exerciseLayout(), m_pageForm.keyReminder());
            } else {
                painter.paintExercise(dc, view, exerciseLayout(), hasFocus());
                if (view.state == PracticeState::Typing &&
                    view.mode == PracticeMode::OrderWriting) {
                    painter.paintWordBoard(dc, view, m_session.wordBoardLayout());
                }
            }
            break;
        default:
            break;
    }
}

}  // namespace pw
