// The main window for real under a display: placement from the settings file,
// the tool bar's "Always on Top", the word counter and the print dialog
// opened from the window, shutdown order, and the HTML-view key filter.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/timer.h>
#include <wx/toolbar.h>
#include <wx/toplevel.h>

#include "app/HtmlKeyForwarder.h"
#include "app/TestApp.h"
#include "app/tests/WorkingFolder.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/Component.h"
#include "gui/WxText.h"
#include "gui/testsupport/GuiTest.h"

extern char** environ;

namespace pw {
namespace {

using test::runEventsUntil;

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldPath = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
    }
    void TearDown() override { ProfileSettings::instance().setPath(m_oldPath); }

    static WindowRect frameRect(TestApp& app) {
        const wxRect r = app.handle()->GetRect();
        return WindowRect{r.x, r.y, r.x + r.width, r.y + r.height};
    }
    static WindowRect screen() {
        const wxRect r = wxDisplay().GetGeometry();
        return WindowRect{r.x, r.y, r.x + r.width, r.y + r.height};
    }
    static void store(int left, int top, int width, int height) {
        writeWindowPlacement(ProfileSettings::instance(),
                             WindowRect{left, top, left + width, top + height}, false);
    }
    void showAndWait(TestApp& app) {
        ASSERT_TRUE(app.createTopLevel());
        ASSERT_TRUE(runEventsUntil([&] { return app.handle()->IsShownOnScreen(); }));
        test::runEventsFor(50);
    }

    test::ScopedRecordingUi recording;
    test::TempDir dir;
    // The library is saved at close; it goes to the test's own folder.
    test::ScopedWorkingFolder folder{dir.file("program")};

private:
    std::string m_oldPath;
};

// On a screen as large as the program needs (xvfb-run's 1280 x 1024): the
// whole practice pane of a file, with the score columns, and centred.
TEST_F(MainWindow, WithoutSettingsItOpensCentredShowingTheWholePracticePane) {
    TestApp app;
    showAndWait(app);
    EXPECT_EQ(app.handle()->GetName(), "MainFrame");
    EXPECT_EQ(app.contentPane().tabs().pageTitle(0), u"Data");
    const wxRect area = wxDisplay().GetClientArea();
    const WindowRect work{area.x, area.y, area.x + area.width, area.y + area.height};
    const WindowRect frame = frameRect(app);
    EXPECT_LE(std::abs((frame.left - work.left) - (work.right - frame.right)), 1);
    EXPECT_LE(std::abs((frame.top - work.top) - (work.bottom - frame.bottom)), 1);
    const wxSize needed = TypingNavigationPane::preferredSize();
    if (needed.x > work.width() || needed.y > work.height()) {
        GTEST_SKIP() << "the screen is smaller than the practice pane needs";
    }
    EXPECT_GE(app.clientWidth(), needed.x);
    EXPECT_GE(app.clientHeight(), needed.y);

    test::writeAll(dir.file("list.xml"),
                   "<SentenceList><SentenceGroup dictationScore=\"131.2\" "
                   "writingScore=\"99.5\"><sentence>Go.</sentence></SentenceGroup>"
                   "</SentenceList>");
    TypingPane& pane = app.contentPane().typingPane();
    ASSERT_TRUE(app.contentPane().openLearningFile(fromUtf8(dir.file("list.xml"))));
    test::runEventsFor(100);
    const wxRect inside(0, 0, pane.clientWidth(), pane.clientHeight());
    for (BaseWindow* control : std::initializer_list<BaseWindow*>{
             &pane.modePane(), &pane.optionPane(), &pane.tabs(), &pane.descriptionEditor(),
             &pane.sentenceList(), pane.speakerPane()}) {
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->isVisible());
        EXPECT_TRUE(inside.Contains(control->handle()->GetRect())) << toUtf8(control->className());
    }
    auto& speaker = app.contentPane().speakerPane();
    EXPECT_GE(speaker.clientHeight(), speaker.fullHeight(speaker.clientWidth()));
    // The score columns end inside the list, with room for its scroll bar.
    TypingSentenceList& list = pane.sentenceList();
    int right = 0;
    for (int i = 0; i < list.columnCount(); ++i) {
        right += list.columnWidth(i);
    }
    EXPECT_LE(right, list.clientWidth());
    EXPECT_EQ(list.columnTitle(SentenceListModel::kWritingColumn), u"Writing");
}

TEST_F(MainWindow, AStoredPlacementPartlyOffTheScreenIsPulledBack) {
    const WindowRect s = screen();
    store(s.right - 100, s.bottom - 50, 300, 200);
    {
        TestApp app;
        showAndWait(app);
        EXPECT_EQ(frameRect(app), (WindowRect{s.right - 300, s.bottom - 200, s.right, s.bottom}));
    }
    store(s.left + 30, s.top + 10, s.width() + 200, 200);
    TestApp wide;
    showAndWait(wide);
    EXPECT_EQ(frameRect(wide).left, s.left);
    EXPECT_EQ(frameRect(wide).width(), s.width() + 200);
    EXPECT_EQ(frameRect(wide).top, s.top + 10);
}

TEST_F(MainWindow, ClosingStoresThePlacementAfterTheContentPaneIsGone) {
    store(20, 30, 400, 300);
    TestApp app;
    showAndWait(app);
    app.handle()->SetSize(25, 35, 410, 310);
    test::runEventsFor(50);
    EXPECT_TRUE(app.handle()->Close());
    EXPECT_EQ(app.contentPane().handle(), nullptr);
    EXPECT_EQ(app.handle(), nullptr);
    ProfileSettings reread;
    reread.setPath(dir.file("phrasewright.ini"));
    EXPECT_EQ(readWindowRect(reread, WindowRect{}), (WindowRect{25, 35, 435, 345}));
    EXPECT_EQ(reread.readString(u"Window", u"Zoomed", u""), u"0");
}

TEST_F(MainWindow, AlwaysOnTopFollowsTheToolButtonAndKeepsThePlace) {
    TestApp app;
    showAndWait(app);
    auto* bar = static_cast<wxToolBar*>(app.contentPane().toolWindow().toolBar().handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(app.contentPane().toolWindow().toolBar().buttonCount(), 3);
    const WindowRect before = frameRect(app);
    for (bool checked : {true, false}) {
        bar->ToggleTool(TypingNavigationPane::kAlwaysOnTopCommand, checked);
        wxCommandEvent click(wxEVT_TOOL, TypingNavigationPane::kAlwaysOnTopCommand);
        click.SetEventObject(bar);
        bar->ProcessWindowEvent(click);
        EXPECT_EQ((app.handle()->GetWindowStyleFlag() & wxSTAY_ON_TOP) != 0, checked);
        EXPECT_EQ(app.contentPane().isAlwaysOnTop(), checked);
        test::runEventsFor(30);
        EXPECT_EQ(frameRect(app), before);
    }
    // The main window hands commands on to the content pane unchanged: 13
    // opens the practice pane's theme menu.
    std::vector<std::u16string> themes;
    test::ScopedMenuChooser chooser([&](const PopupMenu& menu) {
        for (int id : menu.itemIds()) {
            themes.push_back(menu.text(id));
        }
        return 0;
    });
    EXPECT_TRUE(app.onCommand(Command{TypingNavigationPane::kThemeMenuCommand, 0, nullptr}));
    EXPECT_EQ(themes, std::vector<std::u16string>{u"default"});
    EXPECT_FALSE(app.onCommand(Command{999, 0, nullptr}));
}

// Ends the next modal dialog once it is up, remembering its title.
class ModalCloser {
public:
    ModalCloser() {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            for (wxWindow* window : wxTopLevelWindows) {
                auto* dialog = dynamic_cast<wxDialog*>(window);
                if (dialog && dialog->IsModal()) {
                    titles.push_back(fromWx(dialog->GetTitle()));
                    dialog->EndModal(wxID_CANCEL);
                }
            }
        });
        m_timer.Start(50);
    }
    std::vector<std::u16string> titles;

private:
    wxTimer m_timer;
};

TEST_F(MainWindow, TheWordCounterOpensFromItsToolButtonAndCtrlShiftW) {
    TestApp app;
    showAndWait(app);
    auto* bar = static_cast<wxToolBar*>(app.contentPane().toolWindow().toolBar().handle());
    const wxToolBarToolBase* tool = bar->FindById(TypingNavigationPane::kWordCounterCommand);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(fromWx(tool->GetShortHelp()), ToolWindow::kWordCounterTip);

    ModalCloser closer;
    wxCommandEvent click(wxEVT_TOOL, TypingNavigationPane::kWordCounterCommand);
    click.SetEventObject(bar);
    bar->ProcessWindowEvent(click);
    EXPECT_EQ(closer.titles, std::vector<std::u16string>{u"WordCounter"});

    // The key comes from whichever control has the focus.
    wxWindow* focused = app.contentPane().library().handle();
    const auto press = [&](int keyCode, bool control, bool shift) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.m_controlDown = control;
        key.m_shiftDown = shift;
        key.SetEventObject(focused);
        focused->ProcessWindowEvent(key);
        test::runEventsFor(200);
    };
    press('W', true, true);
    EXPECT_EQ(closer.titles.size(), 2u);
    press('W', true, false);
    press('W', false, true);
    press('Q', true, true);
    EXPECT_EQ(closer.titles.size(), 2u);
}

TEST_F(MainWindow, TheSentenceListsPrintCommandOpensThePrintDialog) {
    TestApp app;
    showAndWait(app);
    TypingNavigationPane& pane = app.contentPane();
    ASSERT_TRUE(pane.openLearningFile(fromUtf8(test::runtimeDir() + "/Data/EverydayEnglish.xml")));
    ModalCloser closer;
    EXPECT_TRUE(
        pane.typingPane().session().onListMenuCommand(PracticeSession::kPrintCommand, {0, 2}));
    ASSERT_TRUE(runEventsUntil([&] { return !closer.titles.empty(); }, 10000));
    EXPECT_EQ(closer.titles, std::vector<std::u16string>{u"PrintManager"});
}

// Maximising needs a window manager; the test starts one for itself.
class WindowManager {
public:
    WindowManager() {
        const char* argv[] = {"openbox", "--sm-disable", nullptr};
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&m_pid, "openbox", &quiet, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            m_pid = 0;
        }
        posix_spawn_file_actions_destroy(&quiet);
    }
    ~WindowManager() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = 0;
};

TEST_F(MainWindow, AMaximisedWindowStoresItsRestoredRectangleAndZoomed) {
    WindowManager manager;
    if (!manager.running()) {
        GTEST_SKIP() << "openbox is not installed (scripts/install-deps.sh installs it)";
    }
    test::runEventsFor(700);  // let the window manager take over the display
    store(40, 50, 320, 240);
    TestApp app;
    showAndWait(app);
    runEventsUntil([] { return false; }, 300);
    const WindowRect restored = app.restoredRect();
    EXPECT_EQ(restored.width(), 320);
    EXPECT_EQ(restored.height(), 240);

    auto* frame = static_cast<wxTopLevelWindow*>(app.handle());
    frame->Maximize();
    ASSERT_TRUE(runEventsUntil([&] { return frame->IsMaximized(); }, 3000));
    test::runEventsFor(300);
    EXPECT_NE(frameRect(app).width(), 320);
    EXPECT_TRUE(frame->Close());

    ProfileSettings reread;
    reread.setPath(dir.file("phrasewright.ini"));
    EXPECT_EQ(readWindowRect(reread, WindowRect{}), restored);
    EXPECT_EQ(reread.readString(u"Window", u"Zoomed", u""), u"1");
}

class KeyTarget : public Component {
public:
    bool onKeyDown(const KeyInput& key) override {
        keys.push_back(key.keyCode);
        return true;
    }
    bool onMouse(const MouseInput& mouse) override {
        if (mouse.action == MouseInput::Down) {
            buttons.push_back(mouse.button);
        }
        return false;
    }
    std::vector<int> keys;
    std::vector<MouseInput::Button> buttons;
};

TEST(HtmlKeyForwarder, KeysAndTheRightButtonAimedAtTheHtmlViewReachTheContentPaneFirst) {
    test::HostWindow host;
    KeyTarget pane;
    pane.create(host, 0, 0, 100, 100);
    BaseWindow html, other;
    html.setClassName(u"HtmlView");
    html.create(pane, 0, 0, 50, 50);
    other.create(host, 0, 120, 50, 50);

    HtmlKeyForwarder forwarder([](const wxWindow* w) { return w && w->GetName() == "HtmlView"; });
    forwarder.setTarget(&pane);

    auto key = [](wxWindow* to, int code) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.SetEventObject(to);
        return event;
    };
    auto mouse = [](wxWindow* to, wxEventType type) {
        wxMouseEvent event(type);
        event.SetEventObject(to);
        return event;
    };
    wxKeyEvent a = key(html.handle(), 'A');
    wxKeyEvent b = key(other.handle(), 'B');
    wxMouseEvent right = mouse(html.handle(), wxEVT_RIGHT_DOWN);
    wxMouseEvent left = mouse(html.handle(), wxEVT_LEFT_DOWN);
    for (wxEvent* event : std::initializer_list<wxEvent*>{&a, &b, &right, &left}) {
        forwarder.filter(*event);
    }
    EXPECT_EQ(pane.keys, std::vector<int>{'A'});
    EXPECT_EQ(pane.buttons, std::vector<MouseInput::Button>{MouseInput::Right});

    // Without the content pane nothing is forwarded.
    pane.destroy();
    forwarder.filter(a);
    EXPECT_EQ(pane.keys.size(), 1u);
    EXPECT_FALSE(HtmlKeyForwarder::isInsideWebView(other.handle()));
}

}  // namespace
}  // namespace pw
