// A progress bar (wxGauge) from 0 to its range.
#pragma once

#include "gui/BaseWindow.h"

class wxGauge;

namespace pw {

class ProgressBar : public BaseWindow {
public:
    // Range and value may be set before or after create.
    void setRange(int range);
    int range() const { return m_range; }
    void setValue(int value);  // clamped to 0..range
    int value() const { return m_value; }

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;

private:
    wxGauge* gauge() const;
    int m_range = 100;
    int m_value = 0;
};

}  // namespace pw
