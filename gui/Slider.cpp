// Sliders.
#include "gui/Slider.h"

#include <algorithm>

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
        m_value = value();
        const int code = type == wxEVT_SLIDER ? codes::kValueChanged : codes::kTrackEnd;
        commandParent(code);
        fireAction(code);
        return true;
    }
    return false;
}

wxSlider* Slider::slider() const {
    return dynamic_cast<wxSlider*>(handle());
}

void Slider::setRange(int minimum, int maximum) {
    m_min = std::min(minimum, maximum);
    m_max = std::max(minimum, maximum);
    m_value = std::clamp(m_value, m_min, m_max);
    if (auto* s = slider()) {
        s->SetRange(m_min, m_max);
    }
}

int Slider::value() const {
    auto* s = slider();
    return s ? s->GetValue() : m_value;
}

void Slider::setValue(int value) {
    m_value = std::clamp(value, m_min, m_max);
    if (auto* s = slider()) {
        s->SetValue(m_value);
    }
}

}  // namespace pw
