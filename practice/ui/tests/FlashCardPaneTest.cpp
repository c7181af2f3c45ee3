// The flash cards and the word board in the practice pane under a display:
// the pane of FlashWriting with its controls, its tick and the speech's end
// events, its keys and colours; the board of OrderWriting chosen and
// underlined with the mouse in the drawn view.
#include <memory>

#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/spinctrl.h>
#include <wx/tooltip.h>

#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/tests/PracticeTestSupport.h"
#include "practice/ui/TypingPane.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "practice/ui/testsupport/Pictures.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {
using test::countColour;
using test::runEventsFor;
using test::sendNative;

class CardsPane : public ::testing::Test {
protected:
    void makePane() {
        PracticeSetup setup;
        setup.clock = &clock;
        setup.keySound = &keys;
        setup.logPath = dir.file("Log.xml");
        setup.themePath = dir.file("ThemeList.xml");
        setup.beep = [this] { ++beeps; };
        pane = std::make_unique<TypingPane>(setup, std::make_unique<test::FakePlayer>(),
                                            voices.factory());
        ASSERT_TRUE(pane->create(host, 0, 0, 900, 640));
        runEventsFor(20);
    }
    void open(const std::vector<test::SentenceSpec>& specs, PracticeMode mode) {
        if (!pane) {
            makePane();
        }
        test::writeLearningFile(dir.file("list.xml"), specs);
        ASSERT_TRUE(pane->openFile(fromUtf8(dir.file("list.xml"))));
        PracticeOptions options = pane->session().options();
        options.mode = mode;
        pane->session().setOptions(options);
        pane->modePane().setOptions(options);
    }
    void openCards() {
        open({{u"Sentence one.", u"訳1", u""}, {u"Sentence two.", u"訳2", u""}},
             PracticeMode::FlashWriting);
    }
    void click(BaseWindow& button) { sendNative(button.handle(), wxEVT_BUTTON); }
    void start() { click(pane->modePane().startButton()); }
    FlashCardPane& cardsPane() { return pane->flashCardPane(); }
    FlashCardPlayer& cards() { return pane->session().flashCards(); }
    test::FakeVoice& voice(int index) { return *voices.made.at(static_cast<size_t>(index)); }

    static std::u16string tip(BaseWindow& control) {
        const wxToolTip* tooltip = control.handle()->GetToolTip();
        return tooltip ? fromWx(tooltip->GetTip()) : std::u16string();
    }

    test::TempDir dir;
    test::ScopedSettingsFile settings{dir.file("phrasewright.ini")};
    test::ScopedRecordingUi ui;
    test::ManualClock clock;
    test::CountingKeySound keys;
    test::FakeVoices voices;
    test::HostWindow host{900, 640};
    std::unique_ptr<TypingPane> pane;
    int beeps = 0;
};

TEST_F(CardsPane, FlashWritingShowsThePlayerWithItsControls) {
    openCards();
    start();
    ASSERT_EQ(pane->session().state(), PracticeState::FlashCards);
    EXPECT_TRUE(cardsPane().isVisible());
    EXPECT_FALSE(pane->modePane().isVisible());
    EXPECT_EQ(cardsPane().width(), 900);
    EXPECT_EQ(cardsPane().height(), 640 - 28);
    EXPECT_EQ(voice(1).spoken.back(), u"訳1") << "the translation comes first";

    struct Expected {
        BaseWindow* control;
        std::u16string text;
        std::u16string tip;
    };
    for (const Expected& e :
         {Expected{&cardsPane().playButton(), u"Play", u""},
          Expected{&cardsPane().stopButton(), u"Stop", u""},
          Expected{&cardsPane().quitButton(), u"Quit", u""},
          Expected{&cardsPane().firstToSecondBox(), u"1st -> 2nd",
                   u"チェックすると、英文(Voice1)から読み始めます。"},
          Expected{&cardsPane().alwaysVisibleBox(), u"Always Visible",
                   u"チェックすると、常に文章を表示します。"},
          Expected{&cardsPane().pauseField(), u"",
                   u"センテンスをポーズする時間をパーセント単位で設定します。"}}) {
        if (!e.text.empty()) {
            EXPECT_EQ(e.control->getText(), e.text);
        }
        EXPECT_EQ(tip(*e.control), e.tip) << toUtf8(e.text);
    }
    EXPECT_EQ(cardsPane().playButton().id(), 10);
    EXPECT_EQ(cardsPane().stopButton().id(), 11);
    EXPECT_EQ(cardsPane().quitButton().id(), 12);
    EXPECT_EQ(cardsPane().pauseField().minimum(), 0);
    EXPECT_EQ(cardsPane().pauseField().maximum(), 100);
    EXPECT_EQ(cardsPane().pauseField().value(), 0);

    EXPECT_FALSE(cardsPane().playButton().isEnabled());
    EXPECT_TRUE(cardsPane().stopButton().isEnabled());
    click(cardsPane().stopButton());
    EXPECT_FALSE(cards().isPlaying());
    EXPECT_TRUE(cardsPane().playButton().isEnabled());
    EXPECT_FALSE(cardsPane().stopButton().isEnabled());
    click(cardsPane().playButton());
    EXPECT_TRUE(cards().isPlaying());

    click(cardsPane().quitButton());
    EXPECT_EQ(pane->session().state(), PracticeState::Ready);
    EXPECT_FALSE(cardsPane().isVisible());
    EXPECT_TRUE(pane->modePane().isVisible());
}

TEST_F(CardsPane, EveryControlAndTheCounterFitANarrowPane) {
    openCards();
    start();
    for (const int width : {900, 560}) {
        SCOPED_TRACE(width);
        pane->setBounds(0, 0, width, 640);
        runEventsFor(20);
        FlashCardPane& cards = cardsPane();
        std::vector<Rect> boxes;
        for (BaseWindow* control : std::initializer_list<BaseWindow*>{
                 &cards.playButton(), &cards.stopButton(), &cards.quitButton(),
                 &cards.firstToSecondBox(), &cards.alwaysVisibleBox(), &cards.pauseField()}) {
            boxes.push_back({control->x(), control->y(), control->width(), control->height()});
        }
        const Point at = cards.counterAt();
        boxes.push_back(
            {at.x, at.y, cards.cardFont().textWidth(u"001/002"), cards.cardFont().lineHeight()});
        for (size_t i = 0; i < boxes.size(); ++i) {
            const Rect& a = boxes[i];
            EXPECT_GE(a.x, 0) << i;
            EXPECT_LE(a.x + a.width, cards.clientWidth()) << i;
            EXPECT_LE(a.y + a.height, cards.clientHeight()) << i;
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                const Rect& b = boxes[j];
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                                   a.y + a.height <= b.y || b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << i << " overlaps " << j;
            }
        }
    }
}

TEST_F(CardsPane, TheEndOfSpeechTheTickAndTheKeysMoveTheCardsOn) {
    openCards();
    cardsPane().pauseField().setValue(50);
    sendNative(cardsPane().pauseField().handle(), wxEVT_SPINCTRL, 50);
    cardsPane().firstToSecondBox().setChecked(true);
    sendNative(cardsPane().firstToSecondBox().handle(), wxEVT_CHECKBOX, 1);
    EXPECT_EQ(cards().pausePercent(), 50);
    EXPECT_TRUE(cards().firstToSecond());
    start();
    EXPECT_EQ(voice(0).spoken.back(), u"Sentence one.");

    clock.time += 2000;
    voice(0).finish();  // the engine's end event
    EXPECT_EQ(cards().state(), FlashCardPlayer::kPauseFirstSide);
    clock.time += 999;
    runEventsFor(250);
    EXPECT_EQ(cards().state(), FlashCardPlayer::kPauseFirstSide);
    clock.time += 1;
    ASSERT_TRUE(test::runEventsUntil(
        [&] { return cards().state() == FlashCardPlayer::kWaitSecondSide; }, 1000));
    EXPECT_EQ(voice(1).spoken.back(), u"訳1");

    // Ctrl+Right as the toolkit delivers it: down skips, up replays.
    test::pressKey(cardsPane().handle(), WXK_RIGHT, 0, true);
    EXPECT_EQ(cards().index(), 1);
    EXPECT_EQ(pane->session().run().position(), 1);
    EXPECT_EQ(voice(0).spoken.back(), u"Sentence two.");
    test::pressKey(cardsPane().handle(), WXK_ESCAPE);
    EXPECT_EQ(pane->session().state(), PracticeState::Ready);
    EXPECT_FALSE(voice(0).speaking || voice(1).speaking);
}

TEST_F(CardsPane, TheCardIsDrawnInTheThemesColoursWithARedTranslation) {
    test::writeAll(dir.file("ThemeList.xml"),
                   "<ThemeList><Theme name=\"t\" textColor=\"#00ff00\" "
                   "backgroundColor=\"#000080\" hintTextColor=\"#ffff00\"/></ThemeList>");
    openCards();
    start();
    const auto picture = [&] {
        wxBitmap bitmap(cardsPane().clientWidth(), cardsPane().clientHeight(), 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(wxBrush(cardsPane().backColor()));
            dc.Clear();
            cardsPane().paintCard(dc);
        }
        return bitmap.ConvertToImage();
    };
    const wxImage translationFirst = picture();
    EXPECT_EQ(translationFirst.GetBlue(2, 2), 0x80);
    EXPECT_EQ(countColour(translationFirst, 0, 0xff, 0), 0) << "the sentence is hidden";
    EXPECT_GT(countColour(translationFirst, 180, 32, 32), 10);
    EXPECT_GT(countColour(translationFirst, 0xff, 0xff, 0), 10) << "the counter";

    click(cardsPane().stopButton());  // stopped: both sides
    const wxImage both = picture();
    EXPECT_GT(countColour(both, 0, 0xff, 0), 10);
    EXPECT_GT(countColour(both, 180, 32, 32), 10);
}

TEST_F(CardsPane, TheMouseChoosesAndUnderlinesTheBoardsWords) {
    seedRandom(2);
    open({{u"Stars shine.", u"星が輝く", u""}}, PracticeMode::OrderWriting);
    start();
    ASSERT_EQ(pane->session().state(), PracticeState::Typing);
    const WordBoardLayout layout = pane->session().wordBoardLayout();
    const std::vector<std::u16string> choices = pane->session().view().choices;
    ASSERT_EQ(choices.size(), 2u);
    const size_t wrong = choices[0] == u"Stars" ? 1 : 0;
    const auto mouse = [&](wxEventType type, size_t slot) {
        const Rect& word = layout.slots.at(slot).word;
        wxMouseEvent event(type);
        event.m_x = word.x + word.width / 2;
        event.m_y = word.y + word.height / 2;
        event.SetEventObject(pane->handle());
        pane->handle()->GetEventHandler()->ProcessEvent(event);
    };
    const auto underlines = [&] {
        wxBitmap bitmap(pane->clientWidth(), pane->clientHeight(), 24);
        {
            wxMemoryDC dc(bitmap);
            pane->paintView(dc);
        }
        return countColour(bitmap.ConvertToImage(), 150, 150, 230);
    };
    EXPECT_EQ(underlines(), 0);
    mouse(wxEVT_MOTION, wrong);
    EXPECT_EQ(pane->session().view().choiceHover, static_cast<int>(wrong));
    EXPECT_GT(underlines(), 10);

    // A double click as this toolkit delivers it: each press is one choice.
    for (const wxEventType type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK, wxEVT_LEFT_UP}) {
        mouse(type, wrong);
    }
    EXPECT_EQ(beeps, 2) << "the message beep, once for each wrong choice";
    EXPECT_TRUE(pane->checkBox().isChecked());
    mouse(wxEVT_LEFT_DOWN, 1 - wrong);
    EXPECT_EQ(pane->session().sentence().currentWord(), u"shine");
    EXPECT_EQ(voice(0).spoken.back(), u"Stars");
}

}  // namespace
}  // namespace pw
