// The options panel.
#include "practice/ui/TypingOptionPane.h"

#include <wx/settings.h>

#include "practice/PracticeOptions.h"

namespace pw {

bool TypingOptionPane::onCreate() {
    setBackColor(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    setText(practice_texts::kOptionsTitle);
    m_useIE.setText(practice_texts::kUseIE);
    m_useIE.create(*this);
    m_useIE.setToolTip(practice_texts::kUseIETip);
    return false;
}

void TypingOptionPane::onSize(int, int) {
    const wxRect area = clientArea();
    m_useIE.setBounds(area.x + 4, area.y + 4, area.width - 8, 28);
}

void TypingOptionPane::setPageUnavailable(const std::u16string& why) {
    if (!why.empty()) {
        m_useIE.setChecked(false);
    }
    m_useIE.setToolTip(why.empty() ? std::u16string(practice_texts::kUseIETip)
                                   : std::u16string(practice_texts::kUseIETip) + u"\n\n" + why);
}

bool TypingOptionPane::onCommand(const Command& command) {
    routeCommand(command);
    return true;
}

}  // namespace pw
