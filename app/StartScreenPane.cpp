// The start screen.
#include "app/StartScreenPane.h"

#include <wx/settings.h>
#include <wx/window.h>

namespace pw {

bool StartScreenPane::onCreate() {
    setBackColor(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    setTextColor(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    return false;
}

void StartScreenPane::onPaint(Graphics& graphics) {
    const int width = clientWidth();
    const int height = clientHeight();
    const wxFont base = handle()->GetFont();

    wxFont title = base;
    title.SetPointSize(base.GetPointSize() * 2 + 4);
    title.SetWeight(wxFONTWEIGHT_BOLD);
    graphics.setFont(title);
    const std::u16string name = u"Phrasewright";
    const wxSize nameSize = graphics.textExtent(name);
    const int top = height / 2 - nameSize.y;
    graphics.drawText(name, (width - nameSize.x) / 2, top);

    graphics.setFont(base);
    graphics.setTextColor(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    const std::u16string lines[] = {
        u"Open a learning file from the Data tab to start practising.",
        u"Double-click a file there, or use its context menu to add your own.",
    };
    int y = top + nameSize.y + nameSize.y / 2;
    for (const auto& line : lines) {
        const wxSize size = graphics.textExtent(line);
        graphics.drawText(line, (width - size.x) / 2, y);
        y += size.y + 4;
    }
}

}  // namespace pw
