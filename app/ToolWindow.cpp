// The tool window.
#include "app/ToolWindow.h"

#include "core/AppFiles.h"

namespace pw {

bool ToolWindow::onCreate() {
    m_bar.create(*this);
    m_bar.setCommandTarget(&m_target);
    m_bar.loadImages(shippedFile("Resources/MainTool.bmp"), 16, wxColour(0, 255, 0));
    m_bar.addButton(kAlwaysOnTop, 1, u"Always on Top", ToolBar::Kind::Check);
    m_bar.addButton(kThemeMenu, 3, u"Theme");
    m_bar.addButton(kWordCounter, 0, kWordCounterTip);
    onSize(clientWidth(), clientHeight());
    return true;
}

void ToolWindow::onSize(int width, int height) {
    m_bar.setBounds(0, 0, width, height);
}

}  // namespace pw
