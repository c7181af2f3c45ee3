// The page form of the practice pane with the real web engine, under a
// display: the page's DOM read back after a question starts, after keys and
// after the answer; the markup editor's edits reaching the page and the
// record; the page menu; the option when there is no engine; and the drawn
// view again once the option is cleared.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <wx/textctrl.h>
#include <wx/tooltip.h>

#include "app/tests/WorkingFolder.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/tests/PracticeTestSupport.h"
#include "practice/ui/TypingPane.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using test::runEventsUntil;
using test::sendNative;

class PageForm : public ::testing::Test {
protected:
    void SetUp() override {
        const char* source = std::getenv("PW_SOURCE_DIR");
        ASSERT_NE(source, nullptr) << "PW_SOURCE_DIR names the source tree";
        fs::create_directories("Resources");
        for (const char* file : {"dictation.html", "ThemeList.xml"}) {
            fs::copy_file(fs::path(source) / "Resources" / file, fs::path("Resources") / file);
        }
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        ProfileSettings::instance().writeInt(u"Phrasewright", u"Mode", 0);  // Free
    }
    void TearDown() override {
        pane.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
        WebBrowser::setEngineModulePath("");
    }
    void makePane() {
        pane.reset();
        PracticeSetup setup;
        setup.clock = &clock;
        setup.keySound = &keys;
        setup.logPath = dir.file("Log.xml");
        setup.themePath = "Resources/ThemeList.xml";
        pane = std::make_unique<TypingPane>(setup, std::make_unique<test::FakePlayer>(),
                                            voices.factory());
        ASSERT_TRUE(pane->create(host, 0, 0, 900, 640));
    }
    void open(const std::vector<test::SentenceSpec>& specs) {
        test::writeLearningFile(dir.file("list.xml"), specs);
        ASSERT_TRUE(pane->openFile(fromUtf8(dir.file("list.xml"))));
    }
    void useIE(bool on) {
        CheckBox& box = pane->optionPane().useIEBox();
        box.setChecked(on);
        sendNative(box.handle(), wxEVT_CHECKBOX, on);
    }
    void start() { sendNative(pane->modePane().startButton().handle(), wxEVT_BUTTON); }
    void key(int keyCode, wxChar ch = 0) { test::pressKey(pane->handle(), keyCode, ch); }
    void type(std::u16string_view text) {
        for (char16_t c : text) {
            test::typeChar(pane->handle(), c);
        }
    }

    WebBrowser& page() { return pane->pageForm().browser(); }
    std::u16string eval(const std::u16string& script) {
        bool ok = false;
        const std::u16string value = page().evaluate(script, &ok, 10000);
        EXPECT_TRUE(ok) << toUtf8(script) << ": " << toUtf8(value);
        return value;
    }
    // The element's content as the page holds it.
    std::u16string dom(const std::u16string& id) {
        return eval(u"document.getElementById('" + id + u"').innerHTML");
    }
    // html as the page would hold it.
    std::u16string parsed(const std::u16string& html) {
        return eval(u"(function () { var d = document.createElement('div'); d.innerHTML = " +
                    WebBrowser::scriptString(html) + u"; return d.innerHTML; })()");
    }

    test::TempDir dir;
    test::ScopedWorkingFolder folder{dir.path()};
    test::ScopedRecordingUi ui;
    test::ManualClock clock;
    test::CountingKeySound keys;
    test::FakeVoices voices;
    test::HostWindow host{900, 640};
    std::unique_ptr<TypingPane> pane;

private:
    std::string m_oldSettings;
};

TEST_F(PageForm, TheQuestionAndItsAnswerAreShownInThePage) {
    makePane();
    open({{u"Hello world.", u"こんにちは\r\n世界", u"", u"<b>greeting</b>"}});
    useIE(true);
    ASSERT_TRUE(pane->pageForm().isOpen()) << toUtf8(pane->pageForm().whyNot());
    EXPECT_TRUE(pane->session().options().useIE);
    EXPECT_FALSE(page().isVisible());  // Ready

    start();
    EXPECT_TRUE(page().isVisible());
    EXPECT_FALSE(pane->visibilityBox().isVisible());
    EXPECT_TRUE(pane->checkBox().isVisible());
    EXPECT_EQ(dom(u"sentence"), parsed(u"<span id='cursor'>H</span>ello world."));
    EXPECT_EQ(dom(u"translation"), parsed(u"こんにちは<br />\r\n世界"));
    EXPECT_EQ(dom(u"explanation"), u"");
    EXPECT_EQ(dom(u"results"), u"");
    EXPECT_EQ(eval(u"document.body.className"), u"typing");  // onStartInput ran

    type(u"hel");
    EXPECT_EQ(dom(u"sentence"), parsed(u"Hel<span id='cursor'>l</span>o world."));
    clock.time += 3000;
    type(u"lo world");
    EXPECT_EQ(pane->session().state(), PracticeState::Answer);
    EXPECT_EQ(dom(u"sentence"), u"Hello world.");
    EXPECT_EQ(dom(u"explanation"), u"<b>greeting</b>");
    EXPECT_EQ(dom(u"translation"), parsed(u"こんにちは<br />世界"));  // the editor's rule
    // The prompt blinks meanwhile.
    const std::u16string results = dom(u"results");
    EXPECT_TRUE(results == parsed(pane->session().view().scoreLabel + u"<br />\u3000") ||
                results == parsed(pane->session().view().scoreLabel + u"<br />Press the Space key"))
        << toUtf8(results);
    EXPECT_EQ(eval(u"document.body.className"), u"answer");  // onEndInput ran
    EXPECT_TRUE(pane->pageForm().editor().isVisible());
    EXPECT_FALSE(pane->resultWindow().isVisible());
    // The editor sits below the page, both above the key reminder.
    const Rect& pageBox = Rect{page().x(), page().y(), page().width(), page().height()};
    EXPECT_GE(pageBox.y, 48);  // and below the "&Check" box
    EXPECT_GE(pageBox.y, pane->checkBox().y() + pane->checkBox().height());
    EXPECT_EQ(pane->pageForm().editor().y(), pageBox.y + pageBox.height);
    EXPECT_EQ(pane->pageForm().editor().y() + pane->pageForm().editor().height(),
              pane->clientHeight() - 26);

    key(WXK_ESCAPE);
    EXPECT_EQ(pane->session().state(), PracticeState::Ready);
    EXPECT_FALSE(page().isVisible());
    EXPECT_FALSE(pane->pageForm().editor().isVisible());
}

TEST_F(PageForm, ClearingTheOptionInReadyMakesTheNextQuestionDrawn) {
    ProfileSettings::instance().writeInt(u"Phrasewright", u"UseIE", 1);
    makePane();
    ASSERT_TRUE(pane->pageForm().isOpen());  // from the settings
    EXPECT_TRUE(pane->optionPane().useIEBox().isChecked());
    open({{u"Go", u"行け", u""}});
    useIE(false);
    EXPECT_FALSE(pane->pageForm().isOpen());
    EXPECT_EQ(page().handle(), nullptr);
    start();
    EXPECT_TRUE(pane->visibilityBox().isVisible());
    type(u"go");
    EXPECT_EQ(pane->session().state(), PracticeState::Answer);
    pane->finish();
    EXPECT_EQ(ProfileSettings::instance().readInt(u"Phrasewright", u"UseIE", -1), 0);
}

TEST_F(PageForm, AMarkedRoleReachesThePageAndTheRecord) {
    makePane();
    open({{u"the cat sat", u"猫が座った", u""}});
    useIE(true);
    start();
    key(WXK_ESCAPE);  // the answer
    HtmlEditor& editor = pane->pageForm().editor();
    ASSERT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.textEditor().getText(), u"the cat sat");
    sendNative(editor.editButton().handle(), wxEVT_BUTTON);
    ASSERT_TRUE(editor.textEditor().isEnabled());

    editor.textEditor().setSelection(4, 7);
    test::pressKey(editor.textEditor().handle(), WXK_F3);
    const std::u16string marked = u"the <span class='object'>cat</span> sat";
    EXPECT_EQ(dom(u"sentence"), parsed(marked));
    ASSERT_TRUE(runEventsUntil(
        [&] { return pane->session().list().text(0, TextKind::Sentence) == marked; }, 5000));
    EXPECT_TRUE(pane->session().hasUnsavedResults());
    EXPECT_EQ(pane->session().list().cellText(0, SentenceListModel::kSentenceColumn), marked);

    // The translation, chosen in the strip, is edited the same way.
    editor.elementChooser().select(1);
    sendNative(editor.elementChooser().handle(), wxEVT_COMBOBOX);
    EXPECT_EQ(editor.textEditor().getText(), u"猫が座った");
    static_cast<wxTextCtrl*>(editor.textEditor().handle())->SetValue(toWx(u"猫が\n座った"));
    ASSERT_TRUE(runEventsUntil(
        [&] { return pane->session().list().text(0, TextKind::Translation) == u"猫が\n座った"; },
        5000));
    EXPECT_EQ(dom(u"translation"), parsed(u"猫が<br />座った"));
}

TEST_F(PageForm, OrderWritingListsTheChoicesInThePageAndADigitChoosesOne) {
    seedRandom(3);
    makePane();
    open({{u"Birds sing songs", u"鳥が歌を歌う", u""}});
    useIE(true);
    ASSERT_TRUE(pane->pageForm().isOpen()) << toUtf8(pane->pageForm().whyNot());
    PracticeOptions options = pane->session().options();
    options.mode = PracticeMode::OrderWriting;
    pane->session().setOptions(options);
    pane->modePane().setOptions(options);
    start();
    const WordOrderBoard& board = pane->session().run().board();
    ASSERT_EQ(board.choices().size(), 3u);
    EXPECT_EQ(dom(u"order_writing"), parsed(board.choicesHtml()));
    EXPECT_EQ(eval(u"document.querySelectorAll('#order_writing li').length"), u"3");

    // The digit of the slot holding "Birds".
    const std::vector<std::u16string> texts = board.choiceTexts();
    const auto birds = std::find(texts.begin(), texts.end(), u"Birds") - texts.begin();
    test::typeChar(pane->handle(), static_cast<char16_t>(u'1' + birds));
    EXPECT_EQ(board.next(), 1u);
    EXPECT_EQ(dom(u"order_writing"), parsed(board.choicesHtml()));
    EXPECT_EQ(eval(u"document.querySelectorAll('#order_writing li:empty').length"), u"1")
        << "the chosen word's slot stays, empty";
    EXPECT_EQ(dom(u"sentence"), parsed(u"Birds <span id='cursor'>*</span>*** *****"));

    for (const std::u16string word : {u"sing", u"songs"}) {
        const std::vector<std::u16string> now = board.choiceTexts();
        const auto slot = std::find(now.begin(), now.end(), word) - now.begin();
        test::typeChar(pane->handle(), static_cast<char16_t>(u'1' + slot));
    }
    EXPECT_EQ(pane->session().state(), PracticeState::Answer);
    EXPECT_EQ(dom(u"order_writing"), u"");
    EXPECT_EQ(dom(u"sentence"), u"Birds sing songs");
}

TEST_F(PageForm, ThePageMenuCopiesRefreshesAndSpeaks) {
    makePane();
    open({{u"Good morning", u"おはよう", u""}});
    useIE(true);
    start();
    std::vector<bool> copyOffered;
    int choose = 0;
    test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
        copyOffered.push_back(menu.isEnabled(ExercisePage::kCopyCommand));
        EXPECT_EQ(menu.itemIds(), (std::vector<int>{1, 2, 3}));
        return choose;
    });
    const auto rightClick = [&] {
        eval(
            u"document.getElementById('translation').dispatchEvent(new MouseEvent("
            u"'contextmenu', {clientX: 20, clientY: 20, bubbles: true, cancelable: true})) ? "
            u"'shown' : 'kept'");
        return runEventsUntil([&] { return !copyOffered.empty(); }, 5000);
    };
    ASSERT_TRUE(rightClick());
    EXPECT_EQ(copyOffered, std::vector<bool>{false});

    // Speak with a selection says what is selected; without, the page's text
    // less its Japanese and its short pieces.
    choose = ExercisePage::kSpeakCommand;
    copyOffered.clear();
    eval(u"window.getSelection().selectAllChildren(document.getElementById('translation')); ''");
    ASSERT_TRUE(rightClick());
    EXPECT_EQ(copyOffered, std::vector<bool>{true});
    ASSERT_FALSE(voices.made.empty());
    EXPECT_EQ(voices.made.at(0)->spoken.back(), u"おはよう");  // ten or fewer: as selected
    copyOffered.clear();
    eval(u"window.getSelection().removeAllRanges(); ''");
    ASSERT_TRUE(rightClick());
    ASSERT_TRUE(runEventsUntil([&] { return voices.made.at(0)->spoken.size() >= 3; }, 5000));
    const std::u16string spoken = voices.made.at(0)->spoken.back();
    EXPECT_EQ(spoken.find(u"おはよう"), std::u16string::npos);
    EXPECT_NE(spoken.find(u"Good morning"), std::u16string::npos) << toUtf8(spoken);

    // Refresh loads the page again, and the question goes back in.
    choose = ExercisePage::kRefreshCommand;
    copyOffered.clear();
    type(u"go");
    ASSERT_TRUE(rightClick());
    ASSERT_TRUE(runEventsUntil([&] { return !page().isLoading(); }, 10000));
    EXPECT_EQ(dom(u"sentence"), parsed(u"Go<span id='cursor'>o</span>d morning"));
    EXPECT_EQ(dom(u"translation"), u"おはよう");
}

TEST_F(PageForm, WithoutTheEngineTheDrawnViewIsUsedAndTheOptionSaysWhy) {
    WebBrowser::setEngineModulePath(dir.file("no-engine.so"));
    ProfileSettings::instance().writeInt(u"Phrasewright", u"UseIE", 1);
    makePane();
    CheckBox& box = pane->optionPane().useIEBox();
    EXPECT_FALSE(pane->pageForm().isOpen());
    EXPECT_FALSE(box.isChecked());
    ASSERT_NE(box.handle()->GetToolTip(), nullptr);
    const std::u16string tip = fromWx(box.handle()->GetToolTip()->GetTip());
    EXPECT_EQ(tip.rfind(practice_texts::kUseIETip, 0), 0u);
    EXPECT_NE(tip.find(fromUtf8(dir.file("no-engine.so"))), std::u16string::npos) << toUtf8(tip);
    EXPECT_TRUE(ui->boxes.empty());  // not at start-up

    open({{u"Go", u"", u""}});
    useIE(true);  // the learner asks for it: told why not
    EXPECT_FALSE(box.isChecked());
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_NE(ui->boxes[0].text.find(fromUtf8(dir.file("no-engine.so"))), std::u16string::npos);
    EXPECT_FALSE(pane->session().options().useIE);
    start();
    EXPECT_TRUE(pane->visibilityBox().isVisible());

    // Without the page file, likewise.
    WebBrowser::setEngineModulePath("");
    fs::remove("Resources/dictation.html");
    key(WXK_ESCAPE);
    key(WXK_ESCAPE);
    useIE(true);
    EXPECT_FALSE(pane->pageForm().isOpen());
    EXPECT_NE(pane->pageForm().whyNot().find(u"Resources/dictation.html"), std::u16string::npos);
}

TEST_F(PageForm, ThePageTakesTheThemesColoursAndFont) {
    makePane();
    open({{u"Go", u"", u""}});
    useIE(true);
    start();
    const auto variable = [&](const char16_t* name) {
        return eval(u"getComputedStyle(document.documentElement).getPropertyValue('" +
                    std::u16string(name) + u"').trim()");
    };
    EXPECT_EQ(variable(u"--pw-backgroundColor"), u"#202020");
    EXPECT_EQ(eval(u"getComputedStyle(document.body).backgroundColor"), u"rgb(32, 32, 32)");
    EXPECT_EQ(variable(u"--pw-font-family"),
              u"\"" + fromWx(pane->sentenceFont().font().GetFaceName()) + u"\"");
    for (const MenuItem& item : pane->session().themeMenu()) {
        if (item.text.rfind(u"Paper", 0) == 0) {
            pane->session().onThemeMenuCommand(item.id);
        }
    }
    EXPECT_EQ(variable(u"--pw-backgroundColor"), u"#fbf8f1");
    EXPECT_EQ(variable(u"--pw-frame-radius"), u"0px");
}

}  // namespace
}  // namespace pw
