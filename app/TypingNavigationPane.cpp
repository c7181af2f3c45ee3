// The content pane.
#include "app/TypingNavigationPane.h"

#include <algorithm>

#include <wx/toplevel.h>

namespace pw {
namespace {
constexpr int kToolHeight = 28;
}

TypingNavigationPane::TypingNavigationPane() : m_toolWindow(*this) {}

bool TypingNavigationPane::onCreate() {
    m_toolWindow.create(*this);
    m_tabs.create(*this);
    m_dataPage.create(m_tabs);
    m_tabs.addPage(m_dataPage, u"Data");
    m_practice.create(*this);
    loadLibrary();
    openStartFile();
    onSize(clientWidth(), clientHeight());
    return true;
}

void TypingNavigationPane::onSize(int width, int height) {
    const int left = std::clamp(width * 3 / 10, std::min(200, width), 360);
    const int toolHeight = std::max(kToolHeight, m_toolWindow.bestSize().y);
    m_toolWindow.setBounds(0, 0, left, toolHeight);
    m_tabs.setBounds(0, toolHeight, left, std::max(0, height - toolHeight));
    m_practice.setBounds(left, 0, std::max(0, width - left), height);
}

bool TypingNavigationPane::onCommand(const Command& command) {
    switch (command.id) {
        case kWordCounterCommand:
            openWordCounter();
            return true;
        case kAlwaysOnTopCommand:
            setAlwaysOnTop(m_toolWindow.isChecked(kAlwaysOnTopCommand));
            return true;
        case kThemeMenuCommand:
            openThemeMenu();
            return true;
        default:
            return false;
    }
}

bool TypingNavigationPane::onNotify(const Notify&) {
    return false;
}

bool TypingNavigationPane::onClose() {
    saveLibrary();
    return true;
}

bool TypingNavigationPane::onKeyDown(const KeyInput&) {
    return false;
}

bool TypingNavigationPane::onChar(const KeyInput&) {
    return false;
}

bool TypingNavigationPane::onMouse(const MouseInput&) {
    return false;
}

bool TypingNavigationPane::isAlwaysOnTop() const {
    const wxWindow* top = handle() ? wxGetTopLevelParent(handle()) : nullptr;
    return top && (top->GetWindowStyleFlag() & wxSTAY_ON_TOP);
}

void TypingNavigationPane::setAlwaysOnTop(bool onTop) {
    wxWindow* top = handle() ? wxGetTopLevelParent(handle()) : nullptr;
    if (!top) {
        return;
    }
    const long style = top->GetWindowStyleFlag();
    top->SetWindowStyleFlag(onTop ? style | wxSTAY_ON_TOP : style & ~wxSTAY_ON_TOP);
}

void TypingNavigationPane::loadLibrary() {}

void TypingNavigationPane::saveLibrary() {}

void TypingNavigationPane::openStartFile() {}

void TypingNavigationPane::openWordCounter() {}

void TypingNavigationPane::openThemeMenu() {}

}  // namespace pw
