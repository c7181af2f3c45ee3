// The practice pane under a display: the controls of each state, options and
// settings, keys as the toolkit delivers them, the check boxes, Save and its
// failures, the list's and the theme's menus, the explanation window, the
// blinking prompt and the painted colours.
#include <filesystem>
#include <memory>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>

#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/tests/PracticeTestSupport.h"
#include "practice/ui/ExercisePainter.h"
#include "practice/ui/TypingPane.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "practice/ui/testsupport/Pictures.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using test::countColour;
using test::pressKey;
using test::runEventsFor;
using test::runEventsUntil;
using test::sendNative;

class Pane : public ::testing::Test {
protected:
    Pane() {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        makePane();
    }
    ~Pane() override {
        if (pane) {
            pane->setSpeakerPane(nullptr);
        }
        speakerPane.reset();
        pane.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
    }

    void makePane() {
        if (pane) {
            pane->setSpeakerPane(nullptr);
        }
        speakerPane.reset();
        pane.reset();
        PracticeSetup setup;
        setup.clock = &clock;
        setup.keySound = &keys;
        setup.logPath = dir.file("Log.xml");
        setup.themePath = dir.file("ThemeList.xml");
        pane = std::make_unique<TypingPane>(setup, std::make_unique<test::FakePlayer>(),
                                            voices.factory());
        ASSERT_TRUE(pane->create(host, 0, 0, 900, 640));
        // The program puts the speaker's settings pane there; any window will do.
        speakerPane = std::make_unique<Component>();
        speakerPane->create(*pane);
        pane->setSpeakerPane(speakerPane.get());
        runEventsFor(20);
    }
    PracticeSession& session() { return pane->session(); }

    // A learning file of specs, opened in the pane.
    void open(const std::vector<test::SentenceSpec>& specs) {
        test::writeLearningFile(listPath(), specs);
        ASSERT_TRUE(pane->openFile(fromUtf8(listPath())));
    }
    std::string listPath() const { return dir.file("list.xml"); }

    void click(CheckBox& box, bool checked) {
        box.setChecked(checked);
        sendNative(box.handle(), wxEVT_CHECKBOX, checked);
    }
    void start() { sendNative(pane->modePane().startButton().handle(), wxEVT_BUTTON); }
    void key(int keyCode, wxChar ch = 0, bool control = false) {
        pressKey(pane->handle(), keyCode, ch, control);
    }
    void type(std::u16string_view text) {
        for (char16_t c : text) {
            test::typeChar(pane->handle(), c);
        }
    }
    const std::vector<std::u16string>& sentencesSpoken() { return voices.made.at(0)->spoken; }

    test::TempDir dir;
    test::ScopedRecordingUi ui;
    test::ManualClock clock;
    test::CountingKeySound keys;
    test::FakeVoices voices;
    test::HostWindow host{900, 640};
    std::unique_ptr<TypingPane> pane;
    std::unique_ptr<Component> speakerPane;

private:
    std::string m_oldSettings;
};

TEST_F(Pane, EachStateShowsItsControls) {
    const auto shown = [&] {
        std::vector<bool> result;
        for (BaseWindow* control : std::initializer_list<BaseWindow*>{
                 &pane->modePane(), &pane->optionPane(), &pane->tabs(), &pane->descriptionEditor(),
                 &pane->sentenceList(), pane->speakerPane(), &pane->checkBox(),
                 &pane->visibilityBox(), &pane->resultWindow()}) {
            result.push_back(control->isVisible());
        }
        return result;
    };
    using Shown = std::vector<bool>;
    EXPECT_EQ(session().state(), PracticeState::NoFile);
    EXPECT_EQ(shown(), Shown(9, false));
    EXPECT_EQ(host.getText(), u"Phrasewright");

    open({{u"Go.", u"行け", u"", u"<b>Imperative</b>"}, {u"Stay.", u"", u""}});
    EXPECT_EQ(shown(), (Shown{true, true, true, true, true, true, false, false, false}));
    EXPECT_EQ(pane->sentenceList().rowCount(), 2);
    EXPECT_EQ(pane->tabs().pageTitle(0), u"Sentence");
    EXPECT_EQ(pane->tabs().pageTitle(1), u"Word");

    start();
    EXPECT_EQ(session().state(), PracticeState::Typing);
    // The speaker's pane stays, in the strip at the bottom.
    EXPECT_EQ(shown(), (Shown{false, false, false, false, false, true, true, true, false}));
    key(WXK_ESCAPE);  // gives up: the answer with its explanation
    EXPECT_EQ(session().state(), PracticeState::Answer);
    EXPECT_EQ(shown(), (Shown{false, false, false, false, false, true, true, true, true}));
    EXPECT_EQ(pane->resultWindow().getText(), u"Imperative");
    key(WXK_SPACE, ' ');  // a question without explanation
    EXPECT_EQ(session().run().position(), 1);
    key(WXK_ESCAPE);
    EXPECT_FALSE(pane->resultWindow().isVisible());
    key(WXK_ESCAPE);
    EXPECT_EQ(session().state(), PracticeState::Ready);

    pane->closeFile();
    EXPECT_EQ(shown(), Shown(9, false));
}

TEST_F(Pane, OptionsReachTheSessionAndAreKeptInTheSettings) {
    ModeControlPane& modes = pane->modePane();
    ASSERT_EQ(modes.modeCombo().itemCount(), kPracticeModeCount);
    for (int i = 0; i < kPracticeModeCount; ++i) {
        EXPECT_EQ(modes.modeCombo().itemText(i), kPracticeModeNames[i]);
    }
    // The defaults of a first start.
    EXPECT_EQ(modes.modeCombo().selectedIndex(), 1);
    EXPECT_EQ(modes.pointLimitField().value(), 130);
    EXPECT_EQ(modes.pointLimitField().minimum(), 1);
    EXPECT_EQ(modes.pointLimitField().maximum(), 999);

    struct Tip {
        BaseWindow& control;
        const char16_t* text;
        const char16_t* tip;
    };
    for (const Tip& t :
         {Tip{modes.pointLimitBox(), u"Point Limit", practice_texts::kPointLimitTip},
          Tip{modes.onlyCheckedBox(), u"Only Checked Questions", practice_texts::kOnlyCheckedTip},
          Tip{modes.shuffleBox(), u"Shuffle", practice_texts::kShuffleTip},
          Tip{pane->visibilityBox(), u"SentenceVisiblity", practice_texts::kSentenceVisibilityTip},
          Tip{pane->optionPane().useIEBox(), u"Use Internet Explore", practice_texts::kUseIETip}}) {
        EXPECT_EQ(t.control.getText(), t.text);
        ASSERT_NE(t.control.handle()->GetToolTip(), nullptr) << toUtf8(t.text);
        EXPECT_EQ(fromWx(t.control.handle()->GetToolTip()->GetTip()), t.tip);
    }

    modes.modeCombo().select(2);
    sendNative(modes.modeCombo().handle(), wxEVT_COMBOBOX, 2);
    click(modes.pointLimitBox(), true);
    click(modes.shuffleBox(), true);
    modes.pointLimitField().setValue(1500);  // the field keeps to 1 to 999
    sendNative(modes.pointLimitField().handle(), wxEVT_SPINCTRL);
    const PracticeOptions& options = session().options();
    EXPECT_EQ(options.mode, PracticeMode::Writing);
    EXPECT_TRUE(options.usePointLimit);
    EXPECT_FALSE(options.onlyCheckedQuestions);
    EXPECT_TRUE(options.shuffle);
    EXPECT_EQ(options.pointLimit, 999);

    pane->finish();
    makePane();
    EXPECT_EQ(pane->modePane().modeCombo().selectedIndex(), 2);
    EXPECT_TRUE(pane->modePane().pointLimitBox().isChecked());
    EXPECT_FALSE(pane->modePane().onlyCheckedBox().isChecked());
    EXPECT_TRUE(pane->modePane().shuffleBox().isChecked());
    EXPECT_EQ(pane->modePane().pointLimitField().value(), 999);
}

TEST(PaneKeys, KeyCodesBecomePracticeKeys) {
    const std::pair<int, PracticeKey> cases[] = {
        {WXK_RETURN, PracticeKey::Enter},
        {WXK_NUMPAD_ENTER, PracticeKey::Enter},
        {WXK_ESCAPE, PracticeKey::Escape},
        {WXK_SPACE, PracticeKey::Space},
        {WXK_NUMPAD_SPACE, PracticeKey::Space},
        {WXK_LEFT, PracticeKey::Left},
        {WXK_NUMPAD_LEFT, PracticeKey::Left},
        {WXK_RIGHT, PracticeKey::Right},
        {WXK_NUMPAD_RIGHT, PracticeKey::Right},
        {WXK_CONTROL, PracticeKey::Control},
        {'A', PracticeKey::Other},
        {WXK_TAB, PracticeKey::Other},
    };
    for (const auto& [code, key] : cases) {
        EXPECT_EQ(TypingPane::practiceKey(code), key) << code;
    }
}

TEST_F(Pane, KeysDriveTheRun) {
    open({{u"Don't stop.", u"止まるな", u""}, {u"Go on.", u"続けて", u""}});
    start();
    ASSERT_EQ(session().state(), PracticeState::Typing);
    ASSERT_FALSE(sentencesSpoken().empty());
    EXPECT_EQ(sentencesSpoken().back(), u"Don't stop.");

    // Enter speaks again and is not typed as well; Tab keeps the keys here.
    key(WXK_RETURN, '\r');
    EXPECT_EQ(sentencesSpoken().size(), 2u);
    key(WXK_TAB, '\t');
    EXPECT_EQ(session().run().currentStats().typingCount, 0u);

    clock.time += 5000;
    type(u"don");
    EXPECT_EQ(session().state(), PracticeState::Typing);
    type(u"'t stop");
    EXPECT_EQ(session().state(), PracticeState::Answer);
    EXPECT_EQ(session().view().sentenceLines[0], u"Don't stop.");
    EXPECT_EQ(session().view().scoreLabel.rfind(u"HighScore: ", 0), 0u);

    key('/', '/');  // pauses what is being said
    EXPECT_TRUE(voices.made.at(0)->isPaused());

    key(WXK_SPACE, ' ');
    EXPECT_EQ(session().state(), PracticeState::Typing);
    EXPECT_EQ(session().run().position(), 1);
    EXPECT_EQ(session().run().currentStats().typingCount, 0u);  // Space was no character
    key(WXK_LEFT, 0, true);  // Ctrl+Left: back to the first question
    EXPECT_EQ(session().run().position(), 0);
    key(WXK_ESCAPE);
    key(WXK_ESCAPE);
    EXPECT_EQ(session().state(), PracticeState::Ready);
}

TEST_F(Pane, TheCheckBoxesReachTheSessionAndFollowIt) {
    open({{u"Walk", u"歩く", u""}});
    start();
    click(pane->checkBox(), true);
    EXPECT_EQ(session().list().check(0), 1);
    click(pane->checkBox(), false);
    EXPECT_EQ(session().list().check(0), 0);

    type(u"xxxxx");  // five misses set the mark and the box
    EXPECT_TRUE(pane->checkBox().isChecked());
    EXPECT_EQ(session().list().check(0), 1);

    EXPECT_TRUE(session().view().showTranslation);
    click(pane->visibilityBox(), false);
    EXPECT_FALSE(session().view().showTranslation);
}

TEST_F(Pane, SaveReportsWhatCouldNotBeWrittenAndKeepsTheResults) {
    open({{u"Go", u"", u""}});
    start();
    clock.time += 1000;
    type(u"go");
    key(WXK_ESCAPE);
    ASSERT_EQ(session().state(), PracticeState::Ready);
    fs::create_directory(dir.file("Log.xml"));

    ui->answers = {IdYes};
    sendNative(pane->modePane().saveButton().handle(), wxEVT_BUTTON);
    ASSERT_EQ(ui->boxes.size(), 2u);
    EXPECT_EQ(ui->boxes[0].text, PracticeSession::kSaveQuestion);
    EXPECT_NE(ui->boxes[1].text.find(u"could not be saved"), std::u16string::npos);
    EXPECT_EQ(ui->boxes[1].flags & MbIconMask, unsigned(MbIconError));
    EXPECT_TRUE(session().hasUnsavedResults());

    fs::remove(dir.file("Log.xml"));
    ui->answers = {IdYes};
    sendNative(pane->modePane().saveButton().handle(), wxEVT_BUTTON);
    EXPECT_FALSE(session().hasUnsavedResults());
    EXPECT_NE(test::readAll(listPath()).find("trialNumber=\"1\""), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(dir.file("Log.xml")));
}

TEST_F(Pane, TheDescriptionIsSavedWhenTheLearnerEditedIt) {
    open({{u"Go", u"", u""}});
    pane->finish();  // nothing changed: nothing asked
    EXPECT_TRUE(ui->boxes.empty());

    // Typed by the learner (the native control changes and says so), then
    // a run and its end: the note is what Save writes.
    static_cast<wxTextCtrl*>(pane->descriptionEditor().handle())->SetValue("My notes");
    start();
    type(u"go");
    key(WXK_ESCAPE);
    ASSERT_EQ(session().state(), PracticeState::Ready);
    EXPECT_EQ(pane->descriptionEditor().getText(), u"My notes");
    ui->answers = {IdYes};
    sendNative(pane->modePane().saveButton().handle(), wxEVT_BUTTON);
    ASSERT_EQ(ui->boxes.size(), 1u);
    SentenceListModel saved;
    ASSERT_TRUE(saved.open(listPath()));
    EXPECT_EQ(saved.getDescription(), u"My notes");
    EXPECT_EQ(saved.record(0)->getAttribute(u"trialNumber"), u"1");

    // Another file brings its own description.
    test::writeLearningFile(dir.file("other.xml"), {{u"Stay", u"", u""}});
    ASSERT_TRUE(pane->openFile(fromUtf8(dir.file("other.xml"))));
    EXPECT_EQ(pane->descriptionEditor().getText(), u"");
}

// During a question the speaker's pane keeps to the strip the exercise view
// leaves at the bottom; a click there hands the keys back to the sentence.
TEST_F(Pane, TheSpeakerPaneKeepsToTheBottomStripDuringQuestions) {
    open({{u"Go on", u"", u""}});
    const wxRect ready = pane->speakerPane()->handle()->GetRect();
    EXPECT_EQ(ready.GetLeft(), 0);
    EXPECT_EQ(ready.GetBottom() + 1, pane->clientHeight());
    start();
    const wxRect strip = pane->speakerPane()->handle()->GetRect();
    EXPECT_TRUE(pane->speakerPane()->isVisible());
    EXPECT_EQ(strip.GetLeft(), 8);
    EXPECT_EQ(strip.GetBottom() + 1, pane->clientHeight());
    EXPECT_LE(strip.GetHeight(), 24);
    EXPECT_GE(strip.GetTop(), pane->visibilityBox().handle()->GetRect().GetBottom());

    pane->speakerPane()->setFocus();
    runEventsFor(30);
    EXPECT_TRUE(pane->hasFocus());
    type(u"go");
    EXPECT_EQ(session().run().currentStats().typingCount, 2u);
    EXPECT_EQ(session().run().currentStats().missCount, 0u);

    key(WXK_ESCAPE);
    key(WXK_ESCAPE);
    ASSERT_EQ(session().state(), PracticeState::Ready);
    EXPECT_EQ(pane->speakerPane()->handle()->GetRect(), ready);
}

TEST_F(Pane, TheListMenuStartsARunFromTheSelection) {
    open({{u"a", u"", u""}, {u"b", u"", u""}, {u"c", u"", u""}});
    pane->sentenceList().selectOnly(1);
    std::vector<int> enabled;
    std::vector<std::u16string> texts;
    test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
        for (int id : menu.itemIds()) {
            texts.push_back(menu.text(id));
            if (menu.isEnabled(id)) {
                enabled.push_back(id);
            }
        }
        return PracticeSession::kStartFromHereCommand;
    });
    Notify notify;
    notify.code = codes::kContextMenu;
    notify.sender = pane->sentenceList().handle();
    notify.x = notify.y = 10;
    EXPECT_TRUE(pane->onNotify(notify));
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"Start from here", u"選択した問題を出題する",
                                                  u"Open Audio Conversion Dialog...",
                                                  u"Print Sentences..."}));
    EXPECT_EQ(enabled, (std::vector<int>{1, 2}));
    EXPECT_EQ(session().state(), PracticeState::Typing);
    EXPECT_EQ(session().run().questionOrder(), (std::vector<uint32_t>{1, 2}));
}

TEST_F(Pane, TheThemeMenuChangesTheColours) {
    test::writeAll(dir.file("ThemeList.xml"),
                   "<ThemeList><Theme name=\"Dark\" backgroundColor=\"#101010\"/>"
                   "<Theme name=\"\"/>"
                   "<Theme name=\"Light\" author=\"Me\" backgroundColor=\"#f0e0d0\"/>"
                   "</ThemeList>");
    makePane();
    std::vector<std::u16string> texts;
    std::vector<bool> checked;
    test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
        for (int id : menu.itemIds()) {
            texts.push_back(menu.text(id));
            checked.push_back(menu.isChecked(id));
        }
        return TypingStyleManager::kFirstMenuId + 2;
    });
    pane->showThemeMenu();
    // The author follows the name; the toolkit would take a TAB for a shortcut.
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"Dark", u"Light  (Me)"}));
    EXPECT_EQ(checked, (std::vector<bool>{true, false}));
    EXPECT_EQ(session().theme().themeIndex(), 2);
    EXPECT_EQ(pane->backColor(), wxColour(0xf0, 0xe0, 0xd0));

    pane->finish();
    EXPECT_EQ(ProfileSettings::instance().readInt(u"Phrasewright", u"Theme", 0), 2);
}

TEST_F(Pane, TheExplanationWindowHandsPracticeKeysOn) {
    open({{u"Go", u"", u"", u"Note"}, {u"On", u"", u""}});
    start();
    key(WXK_ESCAPE);
    ASSERT_TRUE(pane->resultWindow().isVisible());
    pressKey(pane->resultWindow().handle(), WXK_SPACE, ' ');
    EXPECT_EQ(session().state(), PracticeState::Typing);
    EXPECT_EQ(session().run().position(), 1);
}

TEST_F(Pane, TheAnswersPromptBlinks) {
    open({{u"Go", u"", u""}});
    start();
    type(u"go");
    ASSERT_EQ(session().state(), PracticeState::Answer);
    EXPECT_TRUE(runEventsUntil([&] { return !session().view().prompt.empty(); }, 1500));
    EXPECT_TRUE(runEventsUntil([&] { return session().view().prompt.empty(); }, 1500));
}

// The picture of each state in the theme's colours: the background, the
// sentence in the text colour and the translation in its own.
TEST_F(Pane, ThePaintedViewUsesTheThemesColours) {
    test::writeAll(dir.file("ThemeList.xml"),
                   "<ThemeList><Theme name=\"t\" textColor=\"#00ff00\" "
                   "backgroundColor=\"#000080\" translationTextColor=\"#ff0000\"/></ThemeList>");
    makePane();
    const auto picture = [&] {
        wxBitmap bitmap(pane->clientWidth(), pane->clientHeight(), 24);
        {
            wxMemoryDC dc(bitmap);
            pane->paintView(dc);
        }
        return bitmap.ConvertToImage();
    };
    const wxImage startScreen = picture();
    EXPECT_EQ(startScreen.GetRed(2, startScreen.GetHeight() - 2), 0);
    EXPECT_EQ(startScreen.GetBlue(2, startScreen.GetHeight() - 2), 0x80);
    EXPECT_GT(countColour(startScreen, 0, 0xff, 0), 0);  // the title and totals

    open({{u"Hello", u"こんにちは", u""}});
    start();
    const wxImage typing = picture();
    EXPECT_GT(countColour(typing, 0, 0xff, 0), 0);   // the masked sentence
    EXPECT_GT(countColour(typing, 0xff, 0, 0), 20);  // the translation
    click(pane->visibilityBox(), false);
    EXPECT_EQ(countColour(picture(), 0xff, 0, 0), 0);
}

}  // namespace
}  // namespace pw
