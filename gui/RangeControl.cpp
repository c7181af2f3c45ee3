// Sliders' and number fields' range and value.
#include "gui/RangeControl.h"

#include <algorithm>

#include <wx/slider.h>
#include <wx/spinctrl.h>

namespace pw {

template <typename Native>
Native* RangeControl<Native>::native() const {
    return dynamic_cast<Native*>(handle());
}

template <typename Native>
void RangeControl<Native>::setRange(int minimum, int maximum) {
    m_min = std::min(minimum, maximum);
    m_max = std::max(minimum, maximum);
    m_value = std::clamp(m_value, m_min, m_max);
    if (auto* control = native()) {
        control->SetRange(m_min, m_max);
    }
}

template <typename Native>
int RangeControl<Native>::value() const {
    auto* control = native();
    return control ? control->GetValue() : m_value;
}

template <typename Native>
void RangeControl<Native>::setValue(int value) {
    m_value = std::clamp(value, m_min, m_max);
    if (auto* control = native()) {
        control->SetValue(m_value);
    }
}

template <typename Native>
void RangeControl<Native>::userChanged(int code) {
    m_value = value();
    commandParent(code);
    fireAction(code);
}

template class RangeControl<wxSlider>;
template class RangeControl<wxSpinCtrl>;

}  // namespace pw
