// A number field with up and down arrows (wxSpinCtrl). Sends
// codes::kValueChanged when the user changes the number.
#pragma once

#include "gui/Component.h"

class wxSpinCtrl;

namespace pw {

class UpDownTextField : public Component {
public:
    // Range and value may be set before or after create.
    void setRange(int minimum, int maximum);
    int value() const;
    void setValue(int value);  // clamped to the range; sends nothing
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    wxSpinCtrl* spin() const;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
};

}  // namespace pw
