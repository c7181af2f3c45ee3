// The web engine module: WebEngine over wxWebView and WebKitGTK. Built as the
// module phrasewright-webkit and opened by WebBrowser when the first page is
// made; it shares nothing with the program but browser/WebEngine.h.
#include <dlfcn.h>

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/app.h>

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/webview.h>

#include "browser/WebEngine.h"

namespace pw {
namespace {

// Tells the program of context menus the learner asks for, instead of the
// engine's own menu, as a navigation to an address of our own that the view
// turns down. (wxWebView's script message handlers would be the obvious way,
// but registering one runs a script synchronously, handling every pending
// event, the closing of the window included, inside the view's creation.)
// Runs in every document the view loads.
constexpr const char* kHostScheme = "pwhost:";
constexpr const char* kContextMenuScript =
    "document.addEventListener('contextmenu', function (e) {"
    "  e.preventDefault();"
    "  window.location.href = 'pwhost:contextmenu/' + Math.round(e.clientX) + '/' +"
    "                         Math.round(e.clientY);"
    "}, true);";

// WebKit prints into a file through GTK's "Print to File" printer. wxWebView
// offers only the print dialog, so the few C functions this takes are looked
// up in the WebKit and GTK libraries the web view has loaded.
class PdfPrinter {
public:
    static PdfPrinter& instance() {
        static PdfPrinter printer;
        return printer;
    }
    bool available() const {
        return m_newOperation && m_newSettings && m_setSetting && m_setSettings && m_print &&
               m_connect && m_unref;
    }
    // Starts printing the view; done(ok, error) comes when WebKit is finished.
    bool print(void* webView, const wxString& path, void (*finished)(void*, void*),
               void (*failed)(void*, void*, void*), void* data) const {
        if (!available() || !webView) {
            return false;
        }
        void* settings = m_newSettings();
        m_setSetting(settings, "printer", "Print to File");
        m_setSetting(settings, "output-file-format", "pdf");
        const wxString uri = wxFileSystem::FileNameToURL(wxFileName(path));
        m_setSetting(settings, "output-uri", uri.utf8_str());
        void* operation = m_newOperation(webView);
        m_setSettings(operation, settings);
        m_unref(settings);
        m_connect(operation, "finished", reinterpret_cast<void (*)()>(finished), data, nullptr, 0);
        m_connect(operation, "failed", reinterpret_cast<void (*)()>(failed), data, nullptr, 0);
        m_print(operation);
        return true;
    }
    void release(void* operation) const { m_unref(operation); }

private:
    // The web view library loaded WebKit privately to this module, so its
    // functions are found through the library itself.
    template <typename Function>
    static void find(Function& function, const char* name) {
        void* address = dlsym(RTLD_DEFAULT, name);
        for (const char* library : {"libwebkit2gtk-4.0.so.37", "libwebkit2gtk-4.1.so.0"}) {
            if (address) {
                break;
            }
            if (void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD)) {
                address = dlsym(handle, name);
                dlclose(handle);  // only the reference taken here
            }
        }
        function = reinterpret_cast<Function>(address);
    }
    PdfPrinter() {
        find(m_newOperation, "webkit_print_operation_new");
        find(m_newSettings, "gtk_print_settings_new");
        find(m_setSetting, "gtk_print_settings_set");
        find(m_setSettings, "webkit_print_operation_set_print_settings");
        find(m_print, "webkit_print_operation_print");
        find(m_connect, "g_signal_connect_data");
        find(m_unref, "g_object_unref");
    }

    void* (*m_newOperation)(void*) = nullptr;
    void* (*m_newSettings)() = nullptr;
    void (*m_setSetting)(void*, const char*, const char*) = nullptr;
    void (*m_setSettings)(void*, void*) = nullptr;
    void (*m_print)(void*) = nullptr;
    unsigned long (*m_connect)(void*, const char*, void (*)(), void*, void (*)(void*, void*),
                               int) = nullptr;
    void (*m_unref)(void*) = nullptr;
};

// GLib's error record, as "failed" hands it over.
struct GErrorRecord {
    uint32_t domain;
    int code;
    char* message;
};

class WebKitEngine;

// One print job; it outlives the engine when the view goes first.
struct PrintJob {
    WebKitEngine* engine;
    int request;
    bool reported = false;
};

// A view whose window went while answers to its scripts were still out: wx
// would hand them to the deleted view, so it waits for them hidden and goes
// after the last. When the whole window is going (the program closing), it
// waits in a hidden frame of its own, which also keeps the event loop running
// until the answers are in, for two seconds at most.
void park(wxWebView* view, int outstanding) {
    wxWindow* top = wxGetTopLevelParent(view);
    wxFrame* shelter = nullptr;
    if (!top || top == view || top->IsBeingDeleted()) {
        shelter = new wxFrame(nullptr, wxID_ANY, wxString());
        top = shelter;
    }
    view->Hide();
    view->Reparent(top);
    wxWindow* doomed = shelter ? static_cast<wxWindow*>(shelter) : view;
    auto left = std::make_shared<int>(outstanding);
    view->Bind(wxEVT_WEBVIEW_SCRIPT_RESULT, [doomed, left](wxWebViewEvent&) {
        if (--*left == 0 && wxTheApp) {
            wxTheApp->ScheduleForDestruction(doomed);
        }
    });
    if (shelter) {
        // The timer is not the frame's child: it goes with the frame by hand.
        auto* timer = new wxTimer(shelter);
        shelter->Bind(wxEVT_TIMER, [shelter](wxTimerEvent&) {
            if (wxTheApp) {
                wxTheApp->ScheduleForDestruction(shelter);
            }
        });
        shelter->Bind(wxEVT_DESTROY, [shelter, timer](wxWindowDestroyEvent& event) {
            event.Skip();
            if (event.GetEventObject() == shelter) {
                timer->Stop();
                delete timer;
            }
        });
        timer->StartOnce(2000);
    }
}

// The view sits in a plain window of its own, which is what the program holds
// and destroys: that leaves the view free to wait when it must (park).
class WebKitEngine : public WebEngine {
public:
    WebKitEngine(wxWindow* box, wxWebView* view, WebEngineEvents* events)
        : m_box(box), m_view(view), m_events(events) {
        m_box->Bind(wxEVT_SIZE, &WebKitEngine::onBoxSize, this);
        m_box->Bind(wxEVT_SET_FOCUS, &WebKitEngine::onBoxFocus, this);
        m_view->EnableContextMenu(false);
        m_view->AddUserScript(kContextMenuScript, wxWEBVIEW_INJECT_AT_DOCUMENT_START);
        m_view->Bind(wxEVT_WEBVIEW_NAVIGATING, &WebKitEngine::onNavigating, this);
        m_view->Bind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitEngine::onNewWindow, this);
        m_view->Bind(wxEVT_WEBVIEW_LOADED, &WebKitEngine::onLoaded, this);
        m_view->Bind(wxEVT_WEBVIEW_ERROR, &WebKitEngine::onError, this);
        m_view->Bind(wxEVT_WEBVIEW_SCRIPT_RESULT, &WebKitEngine::onScriptResult, this);
        m_view->Bind(wxEVT_DESTROY, &WebKitEngine::onViewDestroyed, this);
    }

    ~WebKitEngine() override {
        for (PrintJob* job : m_printJobs) {
            job->engine = nullptr;
        }
        m_box->Unbind(wxEVT_SIZE, &WebKitEngine::onBoxSize, this);
        m_box->Unbind(wxEVT_SET_FOCUS, &WebKitEngine::onBoxFocus, this);
        if (!m_view) {
            return;
        }
        m_view->Unbind(wxEVT_WEBVIEW_NAVIGATING, &WebKitEngine::onNavigating, this);
        m_view->Unbind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitEngine::onNewWindow, this);
        m_view->Unbind(wxEVT_WEBVIEW_LOADED, &WebKitEngine::onLoaded, this);
        m_view->Unbind(wxEVT_WEBVIEW_ERROR, &WebKitEngine::onError, this);
        m_view->Unbind(wxEVT_WEBVIEW_SCRIPT_RESULT, &WebKitEngine::onScriptResult, this);
        m_view->Unbind(wxEVT_DESTROY, &WebKitEngine::onViewDestroyed, this);
        if (m_outstanding > 0) {
            park(m_view, m_outstanding);
        }
    }

    wxWindow* window() const override { return m_box; }

    void loadUrl(const wxString& url) override {
        if (m_view) {
            startLoad(url == wxWebViewDefaultURLStr);
            m_view->LoadURL(url);
        }
    }

    void setPage(const wxString& html, const wxString& baseUrl) override {
        if (m_view) {
            startLoad();
            m_view->SetPage(html, baseUrl);
        }
    }

    void reload() override {
        if (m_view) {
            startLoad();
            m_view->Reload();
        }
    }

    void runScript(const wxString& script, int request) override {
        if (m_view) {
            ++m_outstanding;
            m_view->RunScriptAsync(script, reinterpret_cast<void*>(static_cast<intptr_t>(request)));
        }
    }

    void copySelection() override {
        if (m_view) {
            m_view->Copy();
        }
    }

    bool printToPdf(const wxString& path, int request) override {
        if (!m_view) {
            return false;
        }
        auto* job = new PrintJob{this, request};
        if (!PdfPrinter::instance().print(m_view->GetNativeBackend(), path, &printFinished,
                                          &printFailed, job)) {
            delete job;
            return false;
        }
        m_printJobs.push_back(job);
        return true;
    }

    void print() override {
        if (m_view) {
            m_view->Print();
        }
    }

private:
    void startLoad(bool blank = false) {
        m_loadRequested = true;
        m_loadFailed = false;
        m_blankRequested = blank;
    }

    void onNavigating(wxWebViewEvent& event) {
        // Documents the program asks for load; a link followed inside the
        // page would take the exercise away, so it goes to the program.
        const wxString url = event.GetURL();
        wxString message;
        if (url.StartsWith(kHostScheme, &message)) {
            event.Veto();
            hostMessage(message);
            return;
        }
        if (m_loadRequested || !event.GetTarget().empty() || url == wxWebViewDefaultURLStr ||
            url.StartsWith(m_view->GetCurrentURL().BeforeFirst('#') + "#")) {
            return;
        }
        event.Veto();
        m_events->engineLinkClicked(url);
    }

    void onNewWindow(wxWebViewEvent& event) { m_events->engineLinkClicked(event.GetURL()); }

    void onError(wxWebViewEvent&) { m_loadFailed = true; }

    void onLoaded(wxWebViewEvent& event) {
        // WebKit reports the end of every load, also of one replaced by a
        // later request (the empty document the view starts with): only the
        // last one counts.
        if (!m_loadRequested || m_view->IsBusy() ||
            (event.GetURL() == wxWebViewDefaultURLStr && !m_blankRequested)) {
            return;
        }
        m_loadRequested = false;
        m_events->engineLoaded(!m_loadFailed);
    }

    void onScriptResult(wxWebViewEvent& event) {
        --m_outstanding;
        const auto request = static_cast<int>(reinterpret_cast<intptr_t>(event.GetClientData()));
        m_events->engineScriptResult(request, !event.IsError(), event.GetString());
    }

    // "contextmenu/x/y"
    void hostMessage(const wxString& message) {
        long x = 0;
        long y = 0;
        wxString rest;
        if (message.StartsWith("contextmenu/", &rest) && rest.BeforeFirst('/').ToLong(&x) &&
            rest.AfterFirst('/').ToLong(&y)) {
            m_events->engineContextMenu(static_cast<int>(x), static_cast<int>(y));
        }
    }

    void onBoxSize(wxSizeEvent& event) {
        event.Skip();
        if (m_view) {
            m_view->SetSize(m_box->GetClientSize());
        }
    }

    void onBoxFocus(wxFocusEvent& event) {
        event.Skip();
        if (m_view) {
            m_view->SetFocus();
        }
    }

    void onViewDestroyed(wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() == m_view) {
            m_view = nullptr;
        }
    }

    static void printEnded(void* data, bool ok, const wxString& error) {
        auto* job = static_cast<PrintJob*>(data);
        if (job->reported) {
            return;  // "failed" comes before "finished"
        }
        job->reported = true;
        if (WebKitEngine* engine = job->engine) {
            std::erase(engine->m_printJobs, job);
            engine->m_events->enginePrinted(job->request, ok, error);
        }
    }
    static void printFinished(void* operation, void* data) {
        printEnded(data, true, wxString());
        PdfPrinter::instance().release(operation);
        delete static_cast<PrintJob*>(data);
    }
    static void printFailed(void*, void* error, void* data) {
        const auto* record = static_cast<const GErrorRecord*>(error);
        printEnded(data, false,
                   record && record->message ? wxString::FromUTF8(record->message) : wxString());
    }

    wxWindow* m_box;
    wxWebView* m_view;
    WebEngineEvents* m_events;
    int m_outstanding = 0;  // scripts whose answers have not come
    bool m_loadRequested = false;
    bool m_loadFailed = false;
    bool m_blankRequested = false;
    std::vector<PrintJob*> m_printJobs;
};

}  // namespace
}  // namespace pw

extern "C" __attribute__((visibility("default"))) pw::WebEngine* pwCreateWebEngine(
    int interfaceVersion, wxWindow* parent, pw::WebEngineEvents* events, wxString* error) {
    const auto fail = [error](const wxString& why) -> pw::WebEngine* {
        if (error) {
            *error = why;
        }
        return nullptr;
    };
    if (interfaceVersion != pw::WebEngine::kInterfaceVersion) {
        return fail("the web engine module belongs to another version of Phrasewright");
    }
    if (!parent || !events) {
        return fail("the page has no window to live in");
    }
    if (!wxWebView::IsBackendAvailable(wxWebViewBackendWebKit)) {
        return fail("this wxWidgets has no WebKit web view");
    }
    auto* box = new wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE);
    wxWebView* view = wxWebView::New(box, wxID_ANY, wxWebViewDefaultURLStr, wxPoint(0, 0),
                                     box->GetClientSize(), wxWebViewBackendWebKit);
    if (!view) {
        box->Destroy();
        return fail("WebKit could not make a web view");
    }
    return new pw::WebKitEngine(box, view, events);
}
