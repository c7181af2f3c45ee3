// Event-loop helpers for GUI tests.
#include "gui/testsupport/GuiTest.h"

#include <chrono>
#include <memory>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace pw::test {

bool runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    std::unique_ptr<wxEventLoop> own;
    std::unique_ptr<wxEventLoopActivator> activator;
    if (!loop) {
        own = std::make_unique<wxEventLoop>();
        activator = std::make_unique<wxEventLoopActivator>(own.get());
        loop = own.get();
    }
    for (;;) {
        while (loop->Pending()) {
            loop->Dispatch();
        }
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        wxMilliSleep(2);
    }
}

void runEventsFor(int ms) {
    runEventsUntil([] { return false; }, ms);
}

HostWindow::HostWindow(int width, int height) {
    createTopLevel();
    setBounds(50, 50, width, height);
    setVisible(true);
    runEventsUntil([this] { return handle()->IsShownOnScreen(); }, 2000);
}

bool HostWindow::onCommand(const Command& command) {
    commands.push_back(command);
    return true;
}

bool HostWindow::onNotify(const Notify& notify) {
    notifications.push_back(notify);
    return true;
}

ScopedMenuChooser::ScopedMenuChooser(std::function<int(const PopupMenu&)> chooser) {
    PopupMenu::setChooserForTesting(std::move(chooser));
}

ScopedMenuChooser::~ScopedMenuChooser() {
    PopupMenu::setChooserForTesting({});
}

}  // namespace pw::test
