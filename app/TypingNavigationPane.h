// The content pane of the main window: the "Data" tab with the library of
// learning files, the practice area and the tool window. It receives the
// tool bar's commands and, through the application's event filter, the keys
// typed into the HTML view.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/PracticeArea.h"
#include "app/ToolWindow.h"
#include "app/TypingPaneArea.h"
#include "app/XmlTreePane.h"
#include "gui/TabbedPane.h"
#include "speech/ui/SentenceSpeaker.h"

namespace pw {

class DictionaryDialog;

class TypingNavigationPane : public BaseWindow, public LibraryListener {
public:
    // Commands the pane carries out; 10 comes from other panes and the tool
    // bar (and Ctrl+Shift+W), 11 and 13 from the tool bar.
    static constexpr int kWordCounterCommand = ToolWindow::kWordCounter;
    static constexpr int kAlwaysOnTopCommand = ToolWindow::kAlwaysOnTop;
    static constexpr int kThemeMenuCommand = ToolWindow::kThemeMenu;

    TypingNavigationPane();
    ~TypingNavigationPane() override;

    // The learning file named on the command line; opened once the library
    // is loaded. Set before create.
    void setStartFile(std::u16string path) { m_startFile = std::move(path); }
    const std::u16string& startFile() const { return m_startFile; }

    // Opens path in the practice area, or else "Data/" + path, and titles the
    // main window "<label> - Phrasewright" after the file's library entry.
    // When neither opens, the practice area is left without a file; no
    // message is shown. Results of the open file that have not been saved
    // are offered for saving first; when that fails the open file stays.
    bool openLearningFile(const std::u16string& path) override;
    // Removing the open file's entry leaves the practice without a file
    // (after the offer to save its results).
    void learningFilesRemoved(const std::vector<std::u16string>& paths) override;
    // The path the open learning file was opened by; empty when none is open.
    const std::u16string& openFilePath() const { return m_openFile; }

    // The practice area files are opened in: the pane's own, or another one
    // set here (null restores the own). Set before create to catch the
    // command-line file.
    PracticeArea& practiceArea() { return m_practiceArea ? *m_practiceArea : m_typingArea; }
    void setPracticeArea(PracticeArea* area) { m_practiceArea = area; }
    TypingPane& typingPane() { return m_typing; }
    SentenceSpeaker& speakerPane() { return m_speakerPane; }
    // The dictionary window the speaker's "辞書" opens (beside the practice);
    // null before the first opening.
    DictionaryDialog* dictionaryDialog() { return m_dictionary.get(); }

    // The client size at which the library and every control of the
    // practice pane, with the sentence list's columns, show.
    static wxSize preferredSize();
    // The library's width in a pane width wide.
    static int libraryWidth(int width);

    bool isAlwaysOnTop() const;
    TabbedPane& tabs() { return m_tabs; }
    XmlTreePane& library() { return m_library; }
    ToolWindow& toolWindow() { return m_toolWindow; }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;
    // Saves the library's state and lets the practice finish; refuses when
    // results could not be saved and the learner keeps the program open.
    bool onClose() override;
    // Keys (also those typed into the HTML view) and the right button go to
    // the practice area.
    bool onKeyDown(const KeyInput& key) override;
    bool onKeyUp(const KeyInput& key) override;
    bool onChar(const KeyInput& key) override;
    bool onMouse(const MouseInput& mouse) override;
    // Ctrl+Shift+W opens the word counter wherever the focus is in the window.
    bool windowProc(wxEvent& event) override;
    static bool isWordCounterKey(const KeyInput& key);

protected:
    void bindControlEvents() override;

private:
    void setAlwaysOnTop(bool onTop);
    // The library of learning files fills the "Data" page and opens files
    // in the practice area.
    void loadLibrary();
    void saveLibrary();
    void openStartFile();
    void closeLearningFile();
    void setWindowTitle(const std::u16string& title);
    // Commands whose dialogs and menus belong to the word counter and to the
    // practice pane's theme manager.
    void openWordCounter();
    void openThemeMenu();
    // The audio conversion dialog for rows of the sentence list.
    void openAudioConversion(const std::vector<int>& rows);
    // The print dialog for rows of the sentence list.
    void openPrinter(const std::vector<int>& rows);
    // Opens the dictionary window, or brings it to the front.
    void openDictionary();

    TabbedPane m_tabs;
    XmlTreePane m_library;
    TypingPane m_typing;
    // The speaker's settings, shown inside the practice pane.
    SentenceSpeaker m_speakerPane{m_typing.speaker()};
    TypingPaneArea m_typingArea{m_typing};
    PracticeArea* m_practiceArea = nullptr;
    ToolWindow m_toolWindow;
    std::u16string m_startFile;
    std::u16string m_openFile;
    std::unique_ptr<DictionaryDialog> m_dictionary;
};

}  // namespace pw
