// A check box (wxCheckBox). Sends codes::kClicked when the user changes it.
#pragma once

#include "gui/StateButton.h"

namespace pw {

class CheckBox : public StateButton {
public:
    bool isChecked() const override;
    void setChecked(bool checked) override;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
};

}  // namespace pw
