// Clicks of native buttons.
#include "gui/StateButton.h"

namespace pw {

void StateButton::bindButtonEvent(wxEventType type) {
    m_clickType = type;
    listen(type);
}

bool StateButton::translate(wxEvent& event) {
    if (event.GetEventType() != m_clickType || !isOwnEvent(event)) {
        return false;
    }
    commandParent(codes::kClicked);
    fireAction(codes::kClicked);
    return true;
}

}  // namespace pw
