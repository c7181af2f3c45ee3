// A push button (wxButton). Sends codes::kClicked. Give it the id wxID_OK or
// wxID_CANCEL to make it a dialog's confirm or cancel button.
#pragma once

#include "gui/StateButton.h"

namespace pw {

class Button : public StateButton {
protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
};

}  // namespace pw
