// A horizontal slider (wxSlider). Sends codes::kValueChanged while the user
// moves it and codes::kTrackEnd when the user lets go of the thumb.
#pragma once

#include "gui/RangeControl.h"

namespace pw {

class Slider : public RangeControl<wxSlider> {
protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;
};

}  // namespace pw
