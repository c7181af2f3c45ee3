// The windowed user-interface services.
#include "gui/WxUi.h"

#include <future>

#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/thread.h>
#include <wx/timer.h>

#include "core/HeadlessUi.h"
#include "gui/WxText.h"

namespace pw {
namespace {

wxWindow* g_mainWindow = nullptr;

class CallbackTimer : public wxTimer {
public:
    explicit CallbackTimer(std::function<void()> tick) : m_tick(std::move(tick)) {}
    void Notify() override {
        if (m_tick) {
            m_tick();
        }
    }

private:
    std::function<void()> m_tick;
};

// The owner of dialogs: the main window while it is on screen.
wxWindow* dialogOwner() {
    return g_mainWindow && g_mainWindow->IsShown() ? g_mainWindow : nullptr;
}

}  // namespace

wxWindow* mainWindow() {
    return g_mainWindow;
}

void setMainWindow(wxWindow* window) {
    g_mainWindow = window;
}

WxUi::WxUi() = default;

WxUi::~WxUi() = default;

long WxUi::messageDialogStyle(unsigned flags) {
    long style = wxSTAY_ON_TOP | wxCENTRE;
    const unsigned buttons = flags & MbButtonMask;
    switch (buttons) {
        case MbOkCancel:
            style |= wxOK | wxCANCEL;
            if (flags & MbDefButton2) {
                style |= wxCANCEL_DEFAULT;
            }
            break;
        case MbYesNoCancel:
            style |= wxYES_NO | wxCANCEL;
            if (flags & MbDefButton3) {
                style |= wxCANCEL_DEFAULT;
            } else if (flags & MbDefButton2) {
                style |= wxNO_DEFAULT;
            }
            break;
        case MbYesNo:
            style |= wxYES_NO;
            if (flags & MbDefButton2) {
                style |= wxNO_DEFAULT;
            }
            break;
        default:
            style |= wxOK;
            break;
    }
    switch (flags & MbIconMask) {
        case MbIconError:
            style |= wxICON_ERROR;
            break;
        case MbIconQuestion:
            style |= wxICON_QUESTION;
            break;
        case MbIconWarning:
            style |= wxICON_WARNING;
            break;
        case MbIconInformation:
            style |= wxICON_INFORMATION;
            break;
        default:
            break;
    }
    return style;
}

int WxUi::answerFor(int wxResult, unsigned flags) {
    const unsigned buttons = flags & MbButtonMask;
    switch (wxResult) {
        case wxID_YES:
            return IdYes;
        case wxID_NO:
            return IdNo;
        case wxID_OK:
            return IdOk;
        default:
            // Closing the box: a box without Cancel answers its safe choice.
            if (buttons == MbYesNo) {
                return IdNo;
            }
            if (buttons == MbOk) {
                return IdOk;
            }
            return IdCancel;
    }
}

wxString WxUi::fileWildcard(const FileChooserRequest& request) {
    if (request.patterns.empty()) {
        return wxString::FromUTF8("All files (*)|*");
    }
    const wxString patterns = toWx(request.patterns);
    const wxString label = request.filterLabel.empty() ? patterns : toWx(request.filterLabel);
    return label + "|" + patterns;
}

long WxUi::fileDialogStyle(const FileChooserRequest& request) {
    if (request.save) {
        return wxFD_SAVE | wxFD_OVERWRITE_PROMPT;
    }
    return wxFD_OPEN | (request.mustExist ? wxFD_FILE_MUST_EXIST : 0);
}

int WxUi::showBox(const std::u16string& text, const std::u16string& caption, unsigned flags) {
    wxMessageDialog box(dialogOwner(), toWx(text),
                        toWx(caption.empty() ? std::u16string(kDefaultCaption) : caption),
                        messageDialogStyle(flags));
    return answerFor(box.ShowModal(), flags);
}

int WxUi::messageBox(const std::u16string& text, const std::u16string& caption, unsigned flags) {
    if (!wxTheApp) {
        return HeadlessUi().messageBox(text, caption, flags);
    }
    if (isUiThread()) {
        return showBox(text, caption, flags);
    }
    auto answer = std::make_shared<std::promise<int>>();
    auto result = answer->get_future();
    post(
        [this, answer, text, caption, flags] { answer->set_value(showBox(text, caption, flags)); });
    return result.get();
}

std::optional<std::u16string> WxUi::chooseFile(const FileChooserRequest& request) {
    wxFileDialog dialog(dialogOwner(), toWx(request.title), toWx(request.initialDirectory),
                        toWx(request.defaultName), fileWildcard(request), fileDialogStyle(request));
    if (dialog.ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    return fromWx(dialog.GetPath());
}

std::optional<std::u16string> WxUi::chooseFolder(const std::u16string& title,
                                                 const std::u16string& initial) {
    wxDirDialog dialog(dialogOwner(), toWx(title), toWx(initial),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    return fromWx(dialog.GetPath());
}

void WxUi::post(std::function<void()> task) {
    if (wxTheApp) {
        wxTheApp->CallAfter(std::move(task));
    }
}

int WxUi::startTimer(int intervalMs, std::function<void()> tick) {
    const int id = m_nextTimerId++;
    auto timer = std::make_unique<CallbackTimer>(std::move(tick));
    timer->Start(intervalMs > 0 ? intervalMs : 1);
    m_timers[id] = std::move(timer);
    return id;
}

void WxUi::stopTimer(int id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end()) {
        return;
    }
    it->second->Stop();
    // The tick now running may be this timer's own: delete it later.
    std::shared_ptr<wxTimer> stopped(it->second.release());
    m_timers.erase(it);
    if (wxTheApp) {
        wxTheApp->CallAfter([stopped] {});
    }
}

void WxUi::pumpPendingEvents() {
    if (!wxTheApp) {
        return;
    }
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
        loop->Yield(true);
    }
    wxTheApp->ProcessPendingEvents();
}

bool WxUi::isUiThread() const {
    return wxThread::IsMain();
}

}  // namespace pw
