// Number fields.
#include "gui/UpDownTextField.h"

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
    userChanged(codes::kValueChanged);
    return true;
}

}  // namespace pw
