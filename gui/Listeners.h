// Listener interfaces through which components report to any object, not only
// to their parent window.
#pragma once

#include "gui/Events.h"

namespace pw {

class Component;

class EventListener {
public:
    virtual ~EventListener() = default;
};

class MouseListener : public EventListener {
public:
    // Every mouse input the component receives, after its own hover tracking.
    virtual void mouseEvent(Component& source, const MouseInput& mouse) = 0;
};

class ActionListener : public EventListener {
public:
    // The component's action (a click, a chosen item); command is a codes::k... value.
    virtual void actionPerformed(Component& source, int command) = 0;
};

}  // namespace pw
