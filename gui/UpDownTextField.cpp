// Number fields.
#include "gui/UpDownTextField.h"

#include <algorithm>

#include <wx/spinctrl.h>

namespace pw {

wxWindow* UpDownTextField::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxSpinCtrl(parent, wxID_ANY, wxEmptyString, pos, size,
                          wxSP_ARROW_KEYS | wxTE_PROCESS_ENTER, m_min, m_max, m_value);
}

void UpDownTextField::bindControlEvents() {
    listen(wxEVT_SPINCTRL);
}

bool UpDownTextField::translate(wxEvent& event) {
    if (event.GetEventType() != wxEVT_SPINCTRL || !isOwnEvent(event)) {
        return false;
    }
    m_value = value();
    commandParent(codes::kValueChanged);
    fireAction(codes::kValueChanged);
    return true;
}

wxSpinCtrl* UpDownTextField::spin() const {
    return dynamic_cast<wxSpinCtrl*>(handle());
}

void UpDownTextField::setRange(int minimum, int maximum) {
    m_min = std::min(minimum, maximum);
    m_max = std::max(minimum, maximum);
    m_value = std::clamp(m_value, m_min, m_max);
    if (auto* s = spin()) {
        s->SetRange(m_min, m_max);
    }
}

int UpDownTextField::value() const {
    auto* s = spin();
    return s ? s->GetValue() : m_value;
}

void UpDownTextField::setValue(int value) {
    m_value = std::clamp(value, m_min, m_max);
    if (auto* s = spin()) {
        s->SetValue(m_value);
    }
}

}  // namespace pw
