// Push buttons.
#include "gui/Button.h"

#include <wx/button.h>

#include "gui/WxText.h"

namespace pw {

wxWindow* Button::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxButton(parent, id() != 0 ? id() : wxID_ANY, toWx(getText()), pos, size);
}

void Button::bindControlEvents() {
    bindButtonEvent(wxEVT_BUTTON);
}

}  // namespace pw
