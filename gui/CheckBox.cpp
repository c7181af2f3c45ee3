// Check boxes.
#include "gui/CheckBox.h"

#include <wx/checkbox.h>

#include "gui/WxText.h"

namespace pw {

wxWindow* CheckBox::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    auto* box = new wxCheckBox(parent, wxID_ANY, toWx(getText()), pos, size);
    box->SetValue(StateButton::isChecked());
    return box;
}

void CheckBox::bindControlEvents() {
    bindButtonEvent(wxEVT_CHECKBOX);
}

bool CheckBox::isChecked() const {
    return nativeChecked<wxCheckBox>();
}

void CheckBox::setChecked(bool checked) {
    setNativeChecked<wxCheckBox>(checked);
}

}  // namespace pw
