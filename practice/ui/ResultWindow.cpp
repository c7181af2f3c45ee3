// The explanation window.
#include "practice/ui/ResultWindow.h"

#include <wx/textctrl.h>
#include <wx/window.h>

namespace pw {

long ResultWindow::textStyle() const {
    return TextEditor::textStyle() | wxBORDER_NONE;
}

BaseWindow* ResultWindow::keyTarget() const {
    return handle() ? BaseWindow::fromHandle(handle()->GetParent()) : nullptr;
}

bool ResultWindow::onKeyDown(const KeyInput& key) {
    BaseWindow* target = keyTarget();
    return target && target->onKeyDown(key);
}

bool ResultWindow::onKeyUp(const KeyInput& key) {
    BaseWindow* target = keyTarget();
    return target && target->onKeyUp(key);
}

bool ResultWindow::onChar(const KeyInput& key) {
    BaseWindow* target = keyTarget();
    return target && target->onChar(key);
}

}  // namespace pw
