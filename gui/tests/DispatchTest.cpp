// The dispatch rules every pane relies on: creation, close, commands and
// notifications to the parent, focus movement, timers, destruction.
#include <stdexcept>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/notebook.h>
#include <wx/window.h>

#include "core/testsupport/RecordingUi.h"
#include "gui/Button.h"
#include "gui/Component.h"
#include "gui/TabbedPane.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {

using test::HostWindow;
using test::runEventsUntil;

class Pane : public Component {
public:
    explicit Pane(bool handlesCreate) : m_handlesCreate(handlesCreate) {}
    bool onCreate() override {
        ++creates;
        return m_handlesCreate;
    }
    void onSize(int width, int height) override { sizes.push_back({width, height}); }
    bool onClose() override {
        ++closes;
        return agreeToClose;
    }
    void onDestroy() override { ++destroys; }

    int creates = 0;
    int closes = 0;
    int destroys = 0;
    bool agreeToClose = true;
    std::vector<wxSize> sizes;

private:
    bool m_handlesCreate;
};

TEST(Dispatch, OnCreateReturningFalseLetsTheDefaultLayOutTheWindow) {
    HostWindow host;
    Pane lays(false);
    Pane handles(true);
    ASSERT_TRUE(lays.create(host, 0, 0, 120, 80));
    ASSERT_TRUE(handles.create(host, 0, 0, 120, 80));
    EXPECT_EQ(lays.creates, 1);
    ASSERT_FALSE(lays.sizes.empty());
    EXPECT_EQ(lays.sizes.front(), wxSize(120, 80));
    EXPECT_EQ(handles.creates, 1);
    EXPECT_TRUE(handles.sizes.empty());
    // A window is created once.
    EXPECT_FALSE(lays.create(host, 0, 0, 10, 10));
}

TEST(Dispatch, CloseDestroysOnlyWhenOnCloseAgrees) {
    HostWindow host;
    Pane pane(false);
    pane.create(host, 0, 0, 50, 50);
    pane.agreeToClose = false;
    EXPECT_FALSE(pane.close());
    EXPECT_NE(pane.handle(), nullptr);
    EXPECT_EQ(pane.destroys, 0);
    pane.agreeToClose = true;
    EXPECT_TRUE(pane.close());
    EXPECT_EQ(pane.handle(), nullptr);
    EXPECT_EQ(pane.closes, 2);
    EXPECT_EQ(pane.destroys, 1);
}

class Frame : public BaseWindow {
public:
    bool onClose() override { return agree; }
    void onDestroy() override { destroyed = true; }
    bool agree = false;
    bool destroyed = false;
};

TEST(Dispatch, TheWindowManagersCloseIsVetoedWhenOnCloseRefuses) {
    Frame frame;
    frame.createTopLevel();
    frame.setVisible(true);
    EXPECT_FALSE(frame.handle()->Close(false));
    EXPECT_NE(frame.handle(), nullptr);
    frame.agree = true;
    EXPECT_TRUE(frame.handle()->Close(false));
    EXPECT_TRUE(frame.destroyed);
    EXPECT_EQ(frame.handle(), nullptr);
    runEventsUntil([] { return wxTopLevelWindows.IsEmpty(); }, 2000);
}

void click(Button& button) {
    wxCommandEvent event(wxEVT_BUTTON, button.handle()->GetId());
    event.SetEventObject(button.handle());
    button.handle()->ProcessWindowEvent(event);
}

TEST(Dispatch, AParentTellsItsChildrensCommandsApartByTheirWindow) {
    HostWindow host;
    Button first, second;
    first.setId(41);
    first.create(host, 0, 0, 80, 30);
    second.create(host, 0, 40, 80, 30);
    click(second);
    click(first);
    ASSERT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(host.commands[0].sender, second.handle());
    EXPECT_EQ(host.commands[0].code, codes::kClicked);
    EXPECT_EQ(host.commands[1].sender, first.handle());
    EXPECT_EQ(host.commands[1].id, 41);
    EXPECT_EQ(host.handle(41), first.handle());
}

// A pane between the host and the button: the button's command goes to its
// own parent only, as with native windows.
class Middle : public BaseWindow {
public:
    bool onCreate() override {
        button.create(*this, 0, 0, 60, 20);
        return true;
    }
    bool onCommand(const Command& command) override {
        received.push_back(command);
        return true;
    }
    Button button;
    std::vector<Command> received;
};

TEST(Dispatch, CommandsGoToTheNearestParentOnly) {
    HostWindow host;
    Middle middle;
    middle.create(host, 0, 0, 100, 100);
    click(middle.button);
    EXPECT_EQ(middle.received.size(), 1u);
    EXPECT_TRUE(host.commands.empty());
}

TEST(Dispatch, NotificationsReachOnNotify) {
    HostWindow host;
    TabbedPane tabs;
    tabs.create(host, 0, 0, 300, 200);
    BaseWindow first, second;
    first.create(tabs);
    second.create(tabs);
    EXPECT_EQ(tabs.addPage(first, u"Data"), 0);
    EXPECT_EQ(tabs.addPage(second, u"More"), 1);
    EXPECT_EQ(tabs.pageTitle(0), u"Data");
    // A page must be the pane's child.
    BaseWindow stray;
    stray.create(host);
    EXPECT_EQ(tabs.addPage(stray, u"Stray"), -1);

    auto* book = tabs.handle();
    wxBookCtrlEvent event(wxEVT_NOTEBOOK_PAGE_CHANGED, book->GetId(), 1, 0);
    event.SetEventObject(book);
    book->ProcessWindowEvent(event);
    ASSERT_EQ(host.notifications.size(), 1u);
    EXPECT_EQ(host.notifications[0].code, codes::kTabChanged);
    EXPECT_EQ(host.notifications[0].row, 1);
    EXPECT_EQ(host.notifications[0].sender, tabs.handle());
}

void pressKey(wxWindow* window, int keyCode, bool shift) {
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = keyCode;
    key.m_shiftDown = shift;
    key.SetEventObject(window);
    window->ProcessWindowEvent(key);
}

TEST(Dispatch, TabAndShiftTabMoveTheFocusBetweenComponents) {
    HostWindow host;
    Component a, b, c;
    a.create(host, 0, 0, 50, 20);
    b.create(host, 0, 30, 50, 20);
    c.create(host, 0, 60, 50, 20);
    host.handle()->Raise();
    a.setFocus();
    ASSERT_TRUE(runEventsUntil([&] { return a.hasFocus(); }));
    pressKey(a.handle(), WXK_TAB, false);
    EXPECT_TRUE(runEventsUntil([&] { return b.hasFocus(); }));
    pressKey(b.handle(), WXK_TAB, false);
    EXPECT_TRUE(runEventsUntil([&] { return c.hasFocus(); }));
    pressKey(c.handle(), WXK_TAB, true);
    EXPECT_TRUE(runEventsUntil([&] { return b.hasFocus(); }));
}

// Win32 lets a handler destroy the control whose message it handles; wx may
// still touch the window afterwards, so it must outlive the handler.
class SelfRemoving : public BaseWindow {
public:
    bool onCreate() override {
        button.create(*this, 0, 0, 60, 20);
        return true;
    }
    bool onCommand(const Command&) override {
        button.destroy();
        destroy();
        return true;
    }
    Button button;
};

TEST(Dispatch, AHandlerMayDestroyTheSenderAndItsOwnWindow) {
    HostWindow host;
    SelfRemoving pane;
    pane.create(host, 0, 0, 100, 100);
    click(pane.button);
    EXPECT_EQ(pane.button.handle(), nullptr);
    EXPECT_EQ(pane.handle(), nullptr);
    test::runEventsFor(50);
    EXPECT_EQ(host.handle()->GetChildren().size(), 0u);
}

TEST(Dispatch, DestroyingAParentClearsTheChildrensHandles) {
    auto host = std::make_unique<HostWindow>();
    Pane child(false);
    child.create(*host, 0, 0, 20, 20);
    ASSERT_NE(child.handle(), nullptr);
    host->handle()->GetChildren().front()->GetParent()->DestroyChildren();
    EXPECT_EQ(child.handle(), nullptr);
    EXPECT_EQ(child.destroys, 1);
    host.reset();
    // The child object outliving its window is harmless.
    child.setText(u"still here");
}

class Ticker : public BaseWindow {
public:
    void onTimer(int id) override {
        if (id == 7 && ++ticks == 3) {
            killTimer(7);
        }
    }
    int ticks = 0;
};

TEST(Dispatch, TimersTickUntilKilledFromTheirOwnTick) {
    HostWindow host;
    Ticker ticker;
    ticker.create(host);
    ticker.setTimer(7, 5);
    EXPECT_TRUE(runEventsUntil([&] { return ticker.ticks >= 3; }));
    test::runEventsFor(60);
    EXPECT_EQ(ticker.ticks, 3);
}

class Throwing : public Component {
public:
    bool onKeyDown(const KeyInput& key) override {
        if (key.keyCode == 'X') {
            throw std::runtime_error("The file is locked.");
        }
        lastKey = key.keyCode;
        return true;
    }
    int lastKey = 0;
};

TEST(Dispatch, AFailingHandlerIsShownNotThrownIntoTheToolkit) {
    test::ScopedRecordingUi recording;
    HostWindow host;
    Throwing pane;
    pane.create(host, 0, 0, 50, 50);
    pressKey(pane.handle(), 'X', false);
    ASSERT_EQ(recording->boxes.size(), 1u);
    EXPECT_EQ(recording->boxes[0].text, u"The file is locked.");
    EXPECT_EQ(recording->boxes[0].caption, u"Korvant");
}

TEST(Dispatch, AForeignKeyReachesTheTargetsHandlers) {
    HostWindow host;
    Throwing target;
    target.create(host, 0, 0, 50, 50);
    Component other;
    other.create(host, 0, 60, 50, 50);
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = 'A';
    key.SetEventObject(other.handle());
    target.deliverForeign(key);
    EXPECT_EQ(target.lastKey, 'A');
}

}  // namespace
}  // namespace pw
