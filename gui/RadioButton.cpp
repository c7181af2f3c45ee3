// Radio buttons.
#include "gui/RadioButton.h"

#include <wx/radiobut.h>

#include "gui/WxText.h"

namespace pw {

wxWindow* RadioButton::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    auto* button = new wxRadioButton(parent, wxID_ANY, toWx(getText()), pos, size,
                                     m_groupStart ? wxRB_GROUP : 0);
    if (StateButton::isChecked()) {
        button->SetValue(true);
    }
    return button;
}

void RadioButton::bindControlEvents() {
    bindButtonEvent(wxEVT_RADIOBUTTON);
}

bool RadioButton::isChecked() const {
    return nativeChecked<wxRadioButton>();
}

void RadioButton::setChecked(bool checked) {
    setNativeChecked<wxRadioButton>(checked);
}

}  // namespace pw
