// Helpers for tests that need the real toolkit: running the event loop for a
// while, and a test's own main that starts wxWidgets (link pw_gui_testsupport).
#pragma once

#include <functional>
#include <vector>

#include "gui/BaseWindow.h"
#include "gui/Menu.h"

namespace pw::test {

// Handles wx events until done() is true or timeoutMs passed; returns done().
bool runEventsUntil(const std::function<bool()>& done, int timeoutMs = 3000);
void runEventsFor(int ms);

// A shown top-level window that records the commands and notifications of
// the children created in it.
class HostWindow : public BaseWindow {
public:
    HostWindow(int width = 400, int height = 300);
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;

    std::vector<Command> commands;
    std::vector<Notify> notifications;
};

// Answers every popup menu with chooser(menu) while it lives.
class ScopedMenuChooser {
public:
    explicit ScopedMenuChooser(std::function<int(const PopupMenu&)> chooser);
    ~ScopedMenuChooser();
};

}  // namespace pw::test
