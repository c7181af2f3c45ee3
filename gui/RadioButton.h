// A radio button (wxRadioButton). Buttons created one after another in the same
// parent form a group; setGroupStart(true) before create begins a new group.
// Sends codes::kClicked when the user selects it.
#pragma once

#include "gui/StateButton.h"

namespace pw {

class RadioButton : public StateButton {
public:
    void setGroupStart(bool start) { m_groupStart = start; }
    bool isChecked() const override;
    void setChecked(bool checked) override;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;

private:
    bool m_groupStart = false;
};

}  // namespace pw
