// The titled frame of a group.
#include "gui/GroupComponent.h"

#include <wx/settings.h>
#include <wx/window.h>

namespace pw {
namespace {
constexpr int kMargin = 6;
}

wxRect GroupComponent::clientArea() const {
    const int captionHeight = handle() ? handle()->GetCharHeight() : 0;
    wxRect area(0, 0, clientWidth(), clientHeight());
    area.x += kMargin;
    area.width -= 2 * kMargin;
    area.y += captionHeight + kMargin / 2;
    area.height -= captionHeight + kMargin / 2 + kMargin;
    if (area.width < 0) {
        area.width = 0;
    }
    if (area.height < 0) {
        area.height = 0;
    }
    return area;
}

void GroupComponent::onPaint(Graphics& graphics) {
    const std::u16string caption = getText();
    const wxSize text = graphics.textExtent(caption.empty() ? u" " : caption);
    const int top = text.y / 2;
    const wxColour line = wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW);
    graphics.drawRect(wxRect(0, top, clientWidth(), clientHeight() - top), line);
    if (!caption.empty()) {
        const wxRect label(kMargin, 0, text.x + 4, text.y);
        graphics.fillRect(label, handle()->GetBackgroundColour());
        graphics.drawText(caption, label.x + 2, 0);
    }
}

}  // namespace pw
