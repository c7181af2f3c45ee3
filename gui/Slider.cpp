// Sliders.
#include "gui/Slider.h"

#include <wx/slider.h>

namespace pw {

wxWindow* Slider::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxSlider(parent, wxID_ANY, m_value, m_min, m_max, pos, size, wxSL_HORIZONTAL);
}

void Slider::bindControlEvents() {
    listen(wxEVT_SLIDER);
    listen(wxEVT_SCROLL_THUMBRELEASE);
}

bool Slider::translate(wxEvent& event) {
    if (!isOwnEvent(event)) {
        return false;
    }
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SLIDER || type == wxEVT_SCROLL_THUMBRELEASE) {
        userChanged(type == wxEVT_SLIDER ? codes::kValueChanged : codes::kTrackEnd);
        return true;
    }
    return false;
}

}  // namespace pw
