// Progress bars.
#include "gui/ProgressBar.h"

#include <algorithm>

#include <wx/gauge.h>

namespace pw {

wxWindow* ProgressBar::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    auto* gauge = new wxGauge(parent, wxID_ANY, m_range, pos, size, wxGA_HORIZONTAL);
    gauge->SetValue(m_value);
    return gauge;
}

wxGauge* ProgressBar::gauge() const {
    return dynamic_cast<wxGauge*>(handle());
}

void ProgressBar::setRange(int range) {
    m_range = std::max(range, 1);
    m_value = std::min(m_value, m_range);
    if (wxGauge* g = gauge()) {
        g->SetRange(m_range);
        g->SetValue(m_value);
    }
}

void ProgressBar::setValue(int value) {
    m_value = std::clamp(value, 0, m_range);
    if (wxGauge* g = gauge()) {
        g->SetValue(m_value);
    }
}

}  // namespace pw
