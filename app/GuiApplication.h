// The wx application object of the windowed program: start-up steps that need
// the toolkit, the main window, the HTML-view key filter, and shutdown.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>

#include "app/HtmlKeyForwarder.h"

namespace pw {

class TestApp;

class GuiApplication : public wxApp {
public:
    // The learning file named on the command line (may be empty).
    explicit GuiApplication(std::u16string startFile);
    ~GuiApplication() override;

    bool OnInit() override;
    int OnExit() override;
    int FilterEvent(wxEvent& event) override;

private:
    // Runs what waits for the window: at the first idle time after it has
    // been mapped and drawn.
    void whenShown(std::function<void()> step);
    void runShownSteps(wxIdleEvent& event);

    // Test and benchmark hooks, off unless their environment variables are set:
    // PW_SHOWN_MARKER prints two lines once the window is on screen (the
    // time since the start, and the window title), and
    // PW_AUTOCLOSE_MS closes the window that many milliseconds later, and
    // PW_SCREENSHOT writes a PNG picture of the window to that path once it
    // has settled (half a second after it is shown).
    void startTestHooks();
    void startScreenshotTimer(const std::string& path);

    std::u16string m_startFile;
    std::unique_ptr<TestApp> m_mainWindow;
    HtmlKeyForwarder m_keyForwarder;
    std::vector<std::function<void()>> m_shownSteps;
};

// Runs the windowed program; returns the process exit status.
int runWindowed(int argc, char** argv, std::u16string startFile);

}  // namespace pw
