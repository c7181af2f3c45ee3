// Anything that receives the commands and notifications of child controls: the
// windows of the toolkit and dialogs. Keeps the map from wx windows to receivers.
#pragma once

#include "gui/Events.h"

class wxWindow;

namespace pw {

class CommandReceiver {
public:
    virtual ~CommandReceiver();

    // A child's command; returning false lets the default handling (none) run.
    virtual bool onCommand(const Command& command);
    // A child's notification; false lets the default handling run.
    virtual bool onNotify(const Notify& notify);

    // The receiver that owns window, or null.
    static CommandReceiver* forWindow(const wxWindow* window);
    // The receiver of the nearest ancestor of window (the window itself excluded).
    static CommandReceiver* parentOf(const wxWindow* window);

protected:
    void registerWindow(wxWindow* window);
    void unregisterWindow(wxWindow* window);
};

}  // namespace pw
