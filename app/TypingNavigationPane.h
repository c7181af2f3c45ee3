// The content pane of the main window: the "Data" tab with the library of
// learning files, the practice area and the tool window. It receives the
// tool bar's commands and, through the application's event filter, the keys
// typed into the HTML view.
#pragma once

#include <string>

#include "app/StartScreenPane.h"
#include "app/ToolWindow.h"
#include "gui/TabbedPane.h"

namespace pw {

class TypingNavigationPane : public BaseWindow {
public:
    // Commands the pane carries out; 10 comes from other panes, 11 and 13
    // from the tool bar.
    static constexpr int kWordCounterCommand = 10;
    static constexpr int kAlwaysOnTopCommand = ToolWindow::kAlwaysOnTop;
    static constexpr int kThemeMenuCommand = ToolWindow::kThemeMenu;

    TypingNavigationPane();

    // The learning file named on the command line; opened once the library
    // is loaded. Set before create.
    void setStartFile(std::u16string path) { m_startFile = std::move(path); }
    const std::u16string& startFile() const { return m_startFile; }

    bool isAlwaysOnTop() const;
    TabbedPane& tabs() { return m_tabs; }
    ToolWindow& toolWindow() { return m_toolWindow; }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;
    // Saves the library's state and lets the practice finish; always agrees.
    bool onClose() override;
    // Keys (also those typed into the HTML view) and the right button go to
    // the practice area.
    bool onKeyDown(const KeyInput& key) override;
    bool onChar(const KeyInput& key) override;
    bool onMouse(const MouseInput& mouse) override;

private:
    void setAlwaysOnTop(bool onTop);
    // The library of learning files fills the "Data" page and opens files
    // in the practice area.
    void loadLibrary();
    void saveLibrary();
    void openStartFile();
    // Commands whose dialogs and menus belong to the word counter and to the
    // practice pane's theme manager.
    void openWordCounter();
    void openThemeMenu();

    TabbedPane m_tabs;
    BaseWindow m_dataPage;
    StartScreenPane m_practice;
    ToolWindow m_toolWindow;
    std::u16string m_startFile;
};

}  // namespace pw
