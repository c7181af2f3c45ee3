// The exercise page in the real main window with the real web engine: a
// sentence typed on the keyboard while the page has the focus (the keys reach
// the practice through the program's filter, as in the program), and markup
// edited under the page, saved, opened again and listed by --list.
#include <filesystem>
#include <memory>
#include <sstream>

#include <wx/eventfilter.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include "app/HtmlKeyForwarder.h"
#include "app/TestApp.h"
#include "app/cli/tests/RunCommand.h"
#include "app/tests/WorkingFolder.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/CharacterClasses.h"
#include "practice/Scoring.h"
#include "practice/ui/testsupport/KeyPresses.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using test::runEventsFor;
using test::runEventsUntil;

// What GuiApplication::FilterEvent does for the program.
class ForwardingFilter : public wxEventFilter {
public:
    explicit ForwardingFilter(BaseWindow& contentPane) {
        m_forwarder.setTarget(&contentPane);
        wxEvtHandler::AddFilter(this);
    }
    ~ForwardingFilter() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        m_forwarder.filter(event);
        return Event_Skip;
    }

private:
    HtmlKeyForwarder m_forwarder;
};

class PageEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories("Data");
        fs::create_directories("Resources");
        fs::copy_file(test::sourceDir() + "/Data/EverydayEnglish.xml", "Data/EverydayEnglish.xml");
        fs::copy_file(test::sourceDir() + "/Resources/dictation.html", "Resources/dictation.html");
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings& settings = ProfileSettings::instance();
        settings.setPath(program + "/phrasewright.ini");
        settings.writeInt(u"Window", u"MainLeft", 0);
        settings.writeInt(u"Window", u"MainTop", 0);
        settings.writeInt(u"Window", u"MainWidth", 1000);
        settings.writeInt(u"Window", u"MainHeight", 700);
        settings.writeInt(u"Phrasewright", u"UseIE", 1);
        // Silent voices: audio tests may be listening to the sound server.
        settings.writeInt(u"Speaker", u"Enable1", 0);
        settings.writeInt(u"Speaker", u"Enable2", 0);
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->createTopLevel());
        ASSERT_TRUE(runEventsUntil([&] { return app->handle()->IsShownOnScreen(); }));
        filter = std::make_unique<ForwardingFilter>(app->contentPane());
        ASSERT_TRUE(pane().pageForm().isOpen()) << toUtf8(pane().pageForm().whyNot());
        ASSERT_TRUE(app->contentPane().openLearningFile(u"Data/EverydayEnglish.xml"));
    }
    void TearDown() override {
        filter.reset();
        app.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
    }
    TypingPane& pane() { return app->contentPane().typingPane(); }
    PracticeSession& session() { return pane().session(); }
    WebBrowser& page() { return pane().pageForm().browser(); }
    std::u16string dom(const char16_t* id) {
        return page().evaluate(u"document.getElementById('" + std::u16string(id) + u"').innerHTML");
    }

    test::TempDir dir;
    const std::string program = dir.file("program");
    test::ScopedWorkingFolder folder{program};
    test::ScopedRecordingUi recording;
    std::unique_ptr<TestApp> app;
    std::unique_ptr<ForwardingFilter> filter;

private:
    std::string m_oldSettings;
};

TEST_F(PageEndToEnd, ASentenceTypedWithThePageFocusedIsScoredAsInTheDrawnView) {
    test::sendNative(pane().modePane().startButton().handle(), wxEVT_BUTTON);
    ASSERT_EQ(session().state(), PracticeState::Typing);
    ASSERT_TRUE(page().isVisible());
    const std::u16string target = session().sentence().targetText();
    ASSERT_EQ(target, u"Good morning. How did you sleep?");
    EXPECT_EQ(dom(u"sentence"), u"<span id=\"cursor\">*</span>*** *******. *** *** *** *****?");

    // The learner clicks into the page and types there; the page sees the
    // keys as well as the practice.
    page().evaluate(
        u"window.keysSeen = 0; document.addEventListener('keydown', function () { "
        u"++window.keysSeen; }); 'listening'");
    wxUIActionSimulator keyboard;
    keyboard.MouseMove(page().handle()->ClientToScreen(wxPoint(40, 40)));
    keyboard.MouseClick();
    runEventsFor(300);  // the toolkit does not follow the engine's own focus
    uint32_t typed = 0;
    for (char16_t c : target) {
        if (typing::isWordChar(c)) {
            runEventsFor(15);
            keyboard.Char(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
            ++typed;
        }
    }
    ASSERT_TRUE(runEventsUntil([&] { return session().state() == PracticeState::Answer; }, 5000))
        << "typed so far: " << session().sentence().cursor();
    const SentenceStats stats = session().run().currentStats();
    EXPECT_EQ(stats.typingCount, typed);
    EXPECT_EQ(stats.missCount, 0u);
    ASSERT_GT(stats.elapsed, 0u);
    const double score = typed * 60.0 / (stats.elapsed / 1000.0);
    EXPECT_NEAR(session().run().score(), score, 1e-6);
    EXPECT_EQ(session().view().scoreLabel, u"HighScore: " + formatScore(score));
    EXPECT_EQ(page().evaluate(u"String(window.keysSeen)"), fromUtf8(std::to_string(typed)));
    EXPECT_EQ(dom(u"sentence"), target);
    EXPECT_EQ(dom(u"results").rfind(u"HighScore: " + formatScore(score) + u"<br>", 0), 0u);

    // A right click in the page opens the page menu, not the engine's.
    std::vector<std::u16string> offered;
    test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
        for (int id : menu.itemIds()) {
            offered.push_back(menu.text(id));
        }
        return 0;
    });
    keyboard.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(runEventsUntil([&] { return !offered.empty(); }, 5000));
    EXPECT_EQ(offered, (std::vector<std::u16string>{u"Copy", u"Refresh", u"Speak"}));
}

TEST_F(PageEndToEnd, EditedMarkupIsSavedOpenedAgainAndListed) {
    test::sendNative(pane().modePane().startButton().handle(), wxEVT_BUTTON);
    test::pressKey(pane().handle(), WXK_ESCAPE);  // the answer, given up
    ASSERT_EQ(session().state(), PracticeState::Answer);
    HtmlEditor& editor = pane().pageForm().editor();
    test::sendNative(editor.editButton().handle(), wxEVT_BUTTON);
    const std::u16string sentence = editor.textEditor().getText();
    ASSERT_EQ(sentence, u"Good morning. How did you sleep?");
    editor.textEditor().setSelection(5, 12);
    test::pressKey(editor.textEditor().handle(), WXK_F3);
    const std::u16string marked = u"Good <span class='object'>morning</span>. How did you sleep?";
    ASSERT_TRUE(runEventsUntil(
        [&] { return session().list().text(0, TextKind::Sentence) == marked; }, 5000));
    EXPECT_EQ(dom(u"sentence"), u"Good <span class=\"object\">morning</span>. How did you sleep?");

    test::pressKey(pane().handle(), WXK_ESCAPE);  // Ready, where Save is
    recording->answers = {IdYes};
    test::sendNative(pane().modePane().saveButton().handle(), wxEVT_BUTTON);
    EXPECT_FALSE(session().hasUnsavedResults());

    ASSERT_TRUE(app->contentPane().openLearningFile(u"Data/EverydayEnglish.xml"));
    EXPECT_EQ(session().list().text(0, TextKind::Sentence), marked);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(test::runCommand({"--list", program + "/Data/EverydayEnglish.xml"}, out, err), 0)
        << err.str();
    const std::string listing = out.str();
    EXPECT_EQ(listing.substr(0, listing.find('\n')).find(toUtf8(marked)) != std::string::npos, true)
        << listing.substr(0, listing.find('\n'));
}

}  // namespace
}  // namespace pw
