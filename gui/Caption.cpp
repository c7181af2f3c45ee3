// Captions.
#include "gui/Caption.h"

#include <wx/settings.h>
#include <wx/window.h>

namespace pw {

wxWindow* Caption::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    // Painted, not a native button.
    return Component::createWindow(parent, pos, size);
}

void Caption::bindControlEvents() {
    Component::bindControlEvents();
}

bool Caption::onCreate() {
    m_close.setText(u"\u00D7");
    m_close.create(*this);
    m_close.setToolTip(u"Close");
    onSize(clientWidth(), clientHeight());
    return true;
}

void Caption::onSize(int width, int height) {
    const int side = height > 2 ? height - 2 : height;
    m_close.setBounds(width - side - 1, 1, side, side);
}

bool Caption::onCommand(const Command& command) {
    if (command.sender == m_close.handle() && command.code == codes::kClicked) {
        commandParent(codes::kCaptionClose);
        fireAction(codes::kCaptionClose);
        return true;
    }
    return false;
}

void Caption::onPaint(Graphics& graphics) {
    // Drawn in the selection colours, as an active title bar is.
    const wxColour back = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    graphics.fillRect(wxRect(0, 0, clientWidth(), clientHeight()), back);
    graphics.setTextColor(text);
    graphics.drawText(getText(), wxRect(4, 0, clientWidth() - clientHeight() - 8, clientHeight()));
}

}  // namespace pw
