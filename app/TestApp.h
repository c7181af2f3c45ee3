// The program's main window ("MainFrame"), not a test: it holds the content
// pane, restores its placement from the settings file and stores it again
// when closed.
#pragma once

#include "app/App.h"
#include "app/TypingNavigationPane.h"
#include "app/WindowPlacement.h"

namespace pw {

class TestApp : public App {
public:
    TestApp();
    // Destroys the content pane, then the main window.
    ~TestApp() override;

    TypingNavigationPane& contentPane() { return m_content; }

    // A top-level "MainFrame" window with an empty title at the default place.
    bool createTopLevel() override;
    // Commands go on unchanged to the content pane.
    bool onCommand(const Command& command) override;
    // Closes the content pane first; refuses when it stays open, else stores
    // the placement and lets the window go.
    bool onClose() override;
    bool onCreate() override;
    void onSize(int width, int height) override;
    void onDestroy() override;
    bool windowProc(wxEvent& event) override;

    void loadWindowSettings() override;
    void saveWindowSettings() override;

    // The rectangle the window has when not maximised.
    WindowRect restoredRect() const;

protected:
    void bindControlEvents() override;

private:
    WindowRect currentRect() const;
    void trackPlacement();

    TypingNavigationPane m_content;
    RestoredPlacement m_restored;
};

}  // namespace pw
