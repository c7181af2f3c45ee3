// The small tool window of the content pane: its tool bar (images from
// "Resources/MainTool.bmp", pure green see-through) sends its commands to the
// content pane.
#pragma once

#include "gui/ToolBar.h"

namespace pw {

class ToolWindow : public BaseWindow {
public:
    // Command ids of the buttons.
    static constexpr int kWordCounter = 10;
    static constexpr int kAlwaysOnTop = 11;
    static constexpr int kThemeMenu = 13;
    static constexpr const char16_t* kWordCounterTip = u"Word Counter (Ctrl+Shift+W)";

    // target receives the buttons' commands; it must outlive the window.
    explicit ToolWindow(CommandReceiver& target) : m_target(target) {}

    bool isChecked(int id) const { return m_bar.isChecked(id); }
    // The size that shows every button.
    wxSize bestSize() const { return m_bar.bestSize(); }
    ToolBar& toolBar() { return m_bar; }

    bool onCreate() override;
    void onSize(int width, int height) override;

private:
    CommandReceiver& m_target;
    ToolBar m_bar;
};

}  // namespace pw
