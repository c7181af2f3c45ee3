// A line of text beside other controls (wxStaticText); its text is the
// window text.
#pragma once

#include "gui/BaseWindow.h"

namespace pw {

class Label : public BaseWindow {
protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
};

}  // namespace pw
