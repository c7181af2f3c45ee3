// The base of push buttons, check boxes and radio buttons: a native button
// that sends its parent the command codes::kClicked and tells its action
// listeners, and that may hold a checked state.
#pragma once

#include "gui/Component.h"

namespace pw {

class StateButton : public Component {
public:
    virtual bool isChecked() const { return m_checked; }
    // Changes the state without sending a command.
    virtual void setChecked(bool checked) { m_checked = checked; }

protected:
    // The native event of the button; the click goes to the parent and listeners.
    void bindButtonEvent(wxEventType type);
    bool translate(wxEvent& event) override;

    // The state of a button whose window is a Native (wxCheckBox,
    // wxRadioButton): the window's own once it exists, the stored one before.
    template <typename Native>
    bool nativeChecked() const {
        auto* button = dynamic_cast<Native*>(handle());
        return button ? button->GetValue() : m_checked;
    }
    template <typename Native>
    void setNativeChecked(bool checked) {
        m_checked = checked;
        if (auto* button = dynamic_cast<Native*>(handle())) {
            button->SetValue(checked);
        }
    }

private:
    wxEventType m_clickType = wxEVT_NULL;
    bool m_checked = false;
};

}  // namespace pw
