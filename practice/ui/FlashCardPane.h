// The flash-card player of the FlashWriting mode: the card drawn large, the
// buttons "Play", "Stop" and "Quit", the options "1st -> 2nd", "Always
// Visible" and "PausePersent", and the counter. The cards are the session's
// FlashCardPlayer; the pane forwards its buttons, keys, 100 ms tick and the
// speech's end events to it and draws what it shows.
#pragma once

#include <wx/font.h>

#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Label.h"
#include "gui/UpDownTextField.h"
#include "practice/PracticeSession.h"
#include "practice/ui/WxTextMeasurer.h"
#include "speech/SapiEvent.h"

namespace pw {

class FlashCardPane : public Component, public SapiEventListener {
public:
    static constexpr int kPlayId = 10;
    static constexpr int kStopId = 11;
    static constexpr int kQuitId = 12;
    static constexpr int kTickTimer = 1;
    static constexpr int kPauseEndTimer = 2;
    static constexpr int kButtonWidth = 46;
    static constexpr int kButtonHeight = 20;
    // The translation's colour on the card.
    static constexpr unsigned char kTranslationRed = 180;
    static constexpr unsigned char kTranslationGreen = 32;
    static constexpr unsigned char kTranslationBlue = 32;

    // keys: where the pane's keys go (the practice pane, which hands them to
    // the session as the keys it gets itself).
    FlashCardPane(PracticeSession& session, BaseWindow& keys);
    ~FlashCardPane() override;

    // The session's changes: the buttons, the tick and the picture follow
    // the player.
    void sessionChanged(unsigned changes);
    // Takes the keyboard focus itself, not its first button.
    void takeFocus();

    Button& playButton() { return m_play; }
    Button& stopButton() { return m_stop; }
    Button& quitButton() { return m_quit; }
    CheckBox& firstToSecondBox() { return m_firstToSecond; }
    CheckBox& alwaysVisibleBox() { return m_alwaysVisible; }
    UpDownTextField& pauseField() { return m_pause; }
    const WxTextMeasurer& cardFont() const { return m_cardFont; }
    // Where the counter is drawn.
    Point counterAt() const { return m_counterAt; }
    // The face the cards are drawn in: the one named for them when it is
    // installed, else the closest there is.
    static wxString cardFace();

    // Draws the card and the counter as onPaint does, for pictures of it.
    void paintCard(wxDC& dc);

    // The end of speech, from the speaker.
    void onSapiEvent(const SapiEvent& event) override;

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    bool onKeyDown(const KeyInput& key) override;
    bool onKeyUp(const KeyInput& key) override;
    bool onChar(const KeyInput& key) override;
    void onTimer(int id) override;
    void onDestroy() override;

protected:
    void onPaint(Graphics& graphics) override;

private:
    FlashCardPlayer& player() { return m_session.flashCards(); }
    void applyTheme();
    void showPlayer();
    // A tick at the end of the pause, when that comes before the next one.
    void armPauseEnd();

    PracticeSession& m_session;
    BaseWindow& m_keys;
    Button m_play;
    Button m_stop;
    Button m_quit;
    CheckBox m_firstToSecond;
    CheckBox m_alwaysVisible;
    Label m_pauseLabel;
    UpDownTextField m_pause;
    WxTextMeasurer m_cardFont;
    Point m_counterAt;
    bool m_ticking = false;
};

}  // namespace pw
