// The base of the slider and the number field: a native control that holds a
// whole number within a range. Range and value may be set before or after
// create; the value is always kept within the range.
#pragma once

#include "gui/Component.h"

class wxSlider;
class wxSpinCtrl;

namespace pw {

// Native is the wx control (wxSlider, wxSpinCtrl), which has SetRange,
// GetValue and SetValue of its own.
template <typename Native>
class RangeControl : public Component {
public:
    void setRange(int minimum, int maximum);
    int value() const;
    void setValue(int value);  // clamped; sends nothing
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

protected:
    Native* native() const;
    // The user changed the number: it is kept, and code goes to the parent
    // and the listeners.
    void userChanged(int code);

    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
};

extern template class RangeControl<wxSlider>;
extern template class RangeControl<wxSpinCtrl>;

}  // namespace pw
