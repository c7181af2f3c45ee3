// A title bar element: the title (the window text) on a coloured bar with a
// close button at its right end. Sends its parent codes::kCaptionClose when the
// close button is pressed.
#pragma once

#include "gui/Button.h"

namespace pw {

class Caption : public Button {
public:
    class CloseButton : public Button {};

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    void onPaint(Graphics& graphics) override;

private:
    CloseButton m_close;
};

}  // namespace pw
