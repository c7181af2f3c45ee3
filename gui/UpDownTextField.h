// A number field with up and down arrows (wxSpinCtrl). Sends
// codes::kValueChanged when the user changes the number.
#pragma once

#include "gui/RangeControl.h"

namespace pw {

class UpDownTextField : public RangeControl<wxSpinCtrl> {
protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;
};

}  // namespace pw
