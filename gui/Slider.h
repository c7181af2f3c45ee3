// A horizontal slider (wxSlider). Sends codes::kValueChanged while the user
// moves it and codes::kTrackEnd when the user lets go of the thumb.
#pragma once

#include "gui/Component.h"

class wxSlider;

namespace pw {

class Slider : public Component {
public:
    // Range and value may be set before or after create.
    void setRange(int minimum, int maximum);
    int value() const;
    void setValue(int value);  // clamped; sends nothing
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    wxSlider* slider() const;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
};

}  // namespace pw
