// The flash-card player's pane.
#include "practice/ui/FlashCardPane.h"

#include <algorithm>

#include <wx/fontenum.h>
#include <wx/panel.h>

#include "gui/WxText.h"
#include "practice/ui/ExercisePainter.h"

namespace pw {
namespace {

constexpr int kMargin = 8;
constexpr int kGap = 6;
// The letters' height (the em) in pixels at 96 dots an inch: a face with a
// taller line than the one named gets its own line spacing rather than
// smaller letters.
constexpr int kCardCharHeight = 20;

Size bestSize(const BaseWindow& window, int minWidth, int minHeight) {
    const wxSize best = window.handle() ? window.handle()->GetBestSize() : wxSize(0, 0);
    return {std::max(best.x, minWidth), std::max(best.y, minHeight)};
}

}  // namespace

FlashCardPane::FlashCardPane(PracticeSession& session, BaseWindow& keys)
    : m_session(session), m_keys(keys) {
    setClassName(u"FlashCardPane");
}

FlashCardPane::~FlashCardPane() {
    destroy();
}

wxString FlashCardPane::cardFace() {
    static const wxString chosen = [] {
        // The named faces first; then a Japanese gothic like the first of
        // them, and a serif that keeps the second's measures.
        for (const char16_t* face :
             {u"ＭＳ ゴシック", u"MS Gothic", u"Times New Roman", u"Noto Sans CJK JP",
              u"IPAexGothic", u"IPAGothic", u"Liberation Serif"}) {
            const wxString name = toWx(face);
            if (wxFontEnumerator::IsValidFacename(name)) {
                return name;
            }
        }
        return wxString();
    }();
    return chosen;
}

bool FlashCardPane::onCreate() {
    wxFontInfo info(kCardCharHeight * 72.0 / 96.0);
    if (!cardFace().empty()) {
        info.FaceName(cardFace());
    }
    const wxFont font(info);
    m_cardFont.setFont(font.IsOk() ? font : *wxNORMAL_FONT);

    m_play.setId(kPlayId);
    m_stop.setId(kStopId);
    m_quit.setId(kQuitId);
    m_play.setText(flash_texts::kPlay);
    m_stop.setText(flash_texts::kStop);
    m_quit.setText(flash_texts::kQuit);
    for (Button* button : {&m_play, &m_stop, &m_quit}) {
        button->create(*this, 0, 0, kButtonWidth, kButtonHeight);
    }
    m_firstToSecond.setText(flash_texts::kFirstToSecond);
    m_firstToSecond.create(*this);
    m_firstToSecond.setToolTip(flash_texts::kFirstToSecondTip);
    m_alwaysVisible.setText(flash_texts::kAlwaysVisible);
    m_alwaysVisible.create(*this);
    m_alwaysVisible.setToolTip(flash_texts::kAlwaysVisibleTip);
    m_pauseLabel.setText(flash_texts::kPausePercent);
    m_pauseLabel.create(*this);
    m_pause.setRange(FlashCardPlayer::kMinPausePercent, FlashCardPlayer::kMaxPausePercent);
    m_pause.setValue(0);
    m_pause.create(*this);
    m_pause.setToolTip(flash_texts::kPausePercentTip);

    FlashCardPlayer& cards = player();
    m_firstToSecond.setChecked(cards.firstToSecond());
    m_alwaysVisible.setChecked(cards.alwaysVisible());
    cards.setPausePercent(m_pause.value());
    applyTheme();
    showPlayer();
    return false;
}

void FlashCardPane::onSize(int width, int height) {
    // Two rows along the bottom, so that a narrow pane shows every control:
    // the buttons with the counter at the right end, and under them the
    // options.
    const Size button = bestSize(m_play, kButtonWidth, kButtonHeight);
    const Size first = bestSize(m_firstToSecond, 0, 0);
    const Size always = bestSize(m_alwaysVisible, 0, 0);
    const Size field = bestSize(m_pause, 0, 0);
    const wxSize label =
        m_pauseLabel.handle()
            ? m_pauseLabel.handle()->GetTextExtent(toWx(flash_texts::kPausePercent))
            : wxSize(0, 0);
    const int optionsRow = std::max({first.height, always.height, field.height, label.y});
    const int optionsTop = std::max(height - optionsRow - kMargin, 0);
    const int buttonsTop = std::max(optionsTop - button.height - kGap, 0);

    int x = kMargin;
    for (Button* b : {&m_play, &m_stop, &m_quit}) {
        const Size size = bestSize(*b, kButtonWidth, kButtonHeight);
        b->setBounds(x, buttonsTop + (button.height - size.height) / 2, size.width, size.height);
        x += size.width + kGap;
    }
    m_counterAt = {std::max(x + kGap, width - kMargin - m_cardFont.textWidth(u"000/000")),
                   buttonsTop + (button.height - m_cardFont.lineHeight()) / 2};

    const auto centred = [&](int rowHeight, int itemHeight) {
        return optionsTop + (rowHeight - itemHeight) / 2;
    };
    x = kMargin;
    m_firstToSecond.setBounds(x, centred(optionsRow, first.height), first.width, first.height);
    x += first.width + kGap;
    m_alwaysVisible.setBounds(x, centred(optionsRow, always.height), always.width, always.height);
    x += always.width + 2 * kGap;
    m_pauseLabel.setBounds(x, centred(optionsRow, label.y), label.x, label.y);
    x += label.x + kGap;
    m_pause.setBounds(x, centred(optionsRow, field.height), field.width, field.height);
    invalidate();
}

void FlashCardPane::applyTheme() {
    const TypingStyleManager& theme = m_session.theme();
    const wxColour back = toWxColour(theme.getColor(kBackgroundColor));
    const wxColour text = toWxColour(theme.getColor(kTextColor));
    setBackColor(back);
    for (BaseWindow* control :
         std::initializer_list<BaseWindow*>{&m_firstToSecond, &m_alwaysVisible, &m_pauseLabel}) {
        control->setBackColor(back);
        control->setTextColor(text);
        control->invalidate();
    }
}

void FlashCardPane::showPlayer() {
    const bool playing = player().isPlaying();
    m_play.setEnabled(!playing);
    m_stop.setEnabled(playing);
    if (playing != m_ticking) {
        m_ticking = playing;
        if (playing) {
            setTimer(kTickTimer, FlashCardPlayer::kTickMs);
        } else {
            killTimer(kTickTimer);
            killTimer(kPauseEndTimer);
        }
    }
    armPauseEnd();
    invalidate();
}

void FlashCardPane::armPauseEnd() {
    const int due = m_ticking ? player().msUntilPauseEnds() : -1;
    if (due >= 0 && due < FlashCardPlayer::kTickMs) {
        setTimer(kPauseEndTimer, std::max(due, 1));
    }
}

void FlashCardPane::sessionChanged(unsigned changes) {
    if (!handle()) {
        return;
    }
    if (changes & kThemeChanged) {
        applyTheme();
    }
    if (changes & (kFlashCardsChanged | kStateChanged | kThemeChanged)) {
        showPlayer();
    }
}

void FlashCardPane::takeFocus() {
    if (auto* panel = dynamic_cast<wxPanel*>(handle())) {
        panel->SetCanFocus(true);
        panel->SetFocusIgnoringChildren();
    } else {
        setFocus();
    }
}

// ---- Events

bool FlashCardPane::onCommand(const Command& command) {
    const wxWindow* sender = command.sender;
    FlashCardPlayer& cards = player();
    if (sender == m_play.handle()) {
        cards.start();
    } else if (sender == m_stop.handle()) {
        cards.stop();
    } else if (sender == m_quit.handle()) {
        cards.quit();
        return true;  // the pane is hidden now: the practice pane has the keys
    } else if (sender == m_firstToSecond.handle()) {
        cards.setFirstToSecond(m_firstToSecond.isChecked());
    } else if (sender == m_alwaysVisible.handle()) {
        cards.setAlwaysVisible(m_alwaysVisible.isChecked());
    } else if (sender == m_pause.handle()) {
        cards.setPausePercent(m_pause.value());
        return true;  // the learner may still be typing the number
    } else {
        return false;
    }
    takeFocus();
    return true;
}

bool FlashCardPane::onKeyDown(const KeyInput& key) {
    return m_keys.onKeyDown(key);
}

bool FlashCardPane::onKeyUp(const KeyInput& key) {
    return m_keys.onKeyUp(key);
}

bool FlashCardPane::onChar(const KeyInput& key) {
    return m_keys.onChar(key);
}

void FlashCardPane::onTimer(int id) {
    if (id == kPauseEndTimer) {
        killTimer(kPauseEndTimer);
    } else if (id != kTickTimer) {
        return;
    }
    player().tick();
    armPauseEnd();
}

void FlashCardPane::onSapiEvent(const SapiEvent& event) {
    if (event.type == SapiEvent::kFinished) {
        player().speechEnded();
        armPauseEnd();
    }
}

void FlashCardPane::onDestroy() {
    killTimer(kTickTimer);
    killTimer(kPauseEndTimer);
    m_ticking = false;
}

void FlashCardPane::onPaint(Graphics& graphics) {
    // The background is filled already, in the theme's colour.
    paintCard(graphics.dc());
}

void FlashCardPane::paintCard(wxDC& dc) {
    const TypingStyleManager& theme = m_session.theme();
    const FlashCardLayout layout =
        layoutFlashCard(player(), m_cardFont, Size{clientWidth(), clientHeight()}, m_counterAt);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetFont(m_cardFont.font());
    dc.SetTextForeground(toWxColour(theme.getColor(kTextColor)));
    for (size_t i = 0; i < layout.sentenceLines.size(); ++i) {
        dc.DrawText(toWx(layout.sentenceLines[i]), layout.sentenceAt[i].x, layout.sentenceAt[i].y);
    }
    dc.SetTextForeground(wxColour(kTranslationRed, kTranslationGreen, kTranslationBlue));
    for (size_t i = 0; i < layout.translationLines.size(); ++i) {
        dc.DrawText(toWx(layout.translationLines[i]), layout.translationAt[i].x,
                    layout.translationAt[i].y);
    }
    dc.SetTextForeground(toWxColour(theme.getColor(kHintTextColor)));
    dc.DrawText(toWx(layout.counter), layout.counterAt.x, layout.counterAt.y);
}

}  // namespace pw
