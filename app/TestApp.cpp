// The main window.
#include "app/TestApp.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/toplevel.h>

#include "core/ProfileSettings.h"
#include "gui/WxUi.h"

namespace pw {
namespace {

WindowRect toRect(const wxRect& r) {
    return WindowRect{r.x, r.y, r.x + r.width, r.y + r.height};
}

wxTopLevelWindow* frameOf(wxWindow* window) {
    return dynamic_cast<wxTopLevelWindow*>(window);
}

}  // namespace

TestApp::TestApp() {
    setClassName(u"MainFrame");
}

TestApp::~TestApp() {
    m_content.destroy();
    destroy();
}

bool TestApp::createTopLevel() {
    return BaseWindow::createTopLevel();
}

void TestApp::bindControlEvents() {
    listen(wxEVT_MOVE);
}

bool TestApp::onCreate() {
    setMainWindow(handle());
    m_content.create(*this);
    loadWindowSettings();
    setVisible(true);
    onSize(clientWidth(), clientHeight());
    return true;
}

void TestApp::onSize(int width, int height) {
    m_content.setBounds(0, 0, width, height);
    trackPlacement();
}

bool TestApp::windowProc(wxEvent& event) {
    if (event.GetEventType() == wxEVT_MOVE) {
        trackPlacement();
    }
    return BaseWindow::windowProc(event);
}

bool TestApp::onCommand(const Command& command) {
    return m_content.onCommand(command);
}

bool TestApp::onClose() {
    m_content.close();
    if (m_content.handle()) {
        return false;
    }
    saveWindowSettings();
    return true;
}

void TestApp::onDestroy() {
    if (mainWindow() == handle()) {
        setMainWindow(nullptr);
    }
    // The message loop ends with the main window (a no-op when none runs).
    if (wxTheApp) {
        wxTheApp->ExitMainLoop();
    }
}

WindowRect TestApp::restoredRect() const {
    auto* frame = frameOf(handle());
    return m_restored.restored(frame && frame->IsMaximized(), currentRect());
}

WindowRect TestApp::currentRect() const {
    return handle() ? toRect(handle()->GetRect()) : WindowRect{};
}

void TestApp::trackPlacement() {
    if (auto* frame = frameOf(handle()); frame && frame->IsShown()) {
        m_restored.changed(currentRect(), frame->IsMaximized(), frame->IsIconized());
    }
}

void TestApp::loadWindowSettings() {
    if (!handle()) {
        return;
    }
    std::vector<WindowRect> monitors;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        monitors.push_back(toRect(wxDisplay(i).GetGeometry()));
    }
    // Without stored settings: what shows the whole practice pane, on the
    // primary monitor's work area (panels and docks left free).
    const wxSize frame = handle()->GetSize() - handle()->GetClientSize();
    const wxSize content = TypingNavigationPane::preferredSize() + frame;
    const WindowRect fallback =
        defaultWindowRect(toRect(wxDisplay().GetClientArea()), content.x, content.y);
    WindowRect rect = readWindowRect(ProfileSettings::instance(), fallback);
    if (!monitors.empty()) {
        rect = clampToMonitor(rect, monitors[nearestMonitor(rect, monitors)]);
    }
    handle()->SetSize(rect.left, rect.top, rect.width(), rect.height());
    m_restored.reset(rect);
}

void TestApp::saveWindowSettings() {
    auto* frame = frameOf(handle());
    if (!frame) {
        return;
    }
    trackPlacement();
    const bool zoomed = frame->IsMaximized();
    writeWindowPlacement(ProfileSettings::instance(), m_restored.restored(zoomed, currentRect()),
                         zoomed);
}

}  // namespace pw
