// The user-interface services of the windowed program: message boxes and file
// and folder choosers as wx dialogs, work posted to the wx event loop, wx
// timers. Installed at start-up with pw::installUi; headless runs and tests
// keep their own services.
#pragma once

#include <map>
#include <memory>

#include <wx/string.h>

#include "core/UiServices.h"

class wxTimer;
class wxWindow;

namespace pw {

// The main window, owner of boxes and dialogs; null until it exists.
wxWindow* mainWindow();
void setMainWindow(wxWindow* window);

class WxUi : public UiServices {
public:
    WxUi();
    ~WxUi() override;

    // Callable from any thread: a worker's box is shown on the UI thread.
    int messageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned flags) override;
    std::optional<std::u16string> chooseFile(const FileChooserRequest& request) override;
    std::optional<std::u16string> chooseFolder(const std::u16string& title,
                                               const std::u16string& initial) override;
    void post(std::function<void()> task) override;
    int startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(int id) override;
    void pumpPendingEvents() override;
    bool isUiThread() const override;

    // The wx style of a box with these flags: buttons, icon, default button, on top.
    static long messageDialogStyle(unsigned flags);
    // The answer for what the wx box returned (wxID_...), given the box's flags.
    static int answerFor(int wxResult, unsigned flags);
    // "Label|*.a;*.b" for the chooser; every file when the request names no pattern.
    static wxString fileWildcard(const FileChooserRequest& request);
    static long fileDialogStyle(const FileChooserRequest& request);

private:
    int showBox(const std::u16string& text, const std::u16string& caption, unsigned flags);

    std::map<int, std::unique_ptr<wxTimer>> m_timers;
    int m_nextTimerId = 1;
};

}  // namespace pw
