// The embedded HTML view and the opening of its engine module.
#include "browser/WebBrowser.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/dynlib.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "core/Utf.h"
#include "gui/WxText.h"

#ifndef PW_INSTALLED_MODULE_DIR
#define PW_INSTALLED_MODULE_DIR "../lib/phrasewright"
#endif

namespace pw {
namespace {

// The engine module, opened once per process and never closed: WebKit's
// threads run on until the process ends, and the toolkit keeps the web view
// library's type registrations as long.
struct EngineModule {
    std::string path;  // set for tests; empty for the default places
    bool tried = false;
    CreateWebEngineFunction create = nullptr;
    std::u16string error;
};

EngineModule& engineModule() {
    static EngineModule module;
    return module;
}

// Beside the executable; a test program or tool of the build finds it in
// the build's bin/ folder, an installed program in its module folder.
std::vector<wxString> candidatePaths() {
    EngineModule& module = engineModule();
    if (!module.path.empty()) {
        return {wxString::FromUTF8(module.path)};
    }
    if (const char* variable = std::getenv("PW_WEB_ENGINE"); variable && *variable) {
        return {wxString::FromUTF8(variable)};
    }
    const wxString name = wxDynamicLibrary::CanonicalizeName(kWebEngineModuleName, wxDL_MODULE);
    const wxString folder = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
    std::vector<wxString> paths;
    for (const char* relative : {"", "/../bin", "/" PW_INSTALLED_MODULE_DIR}) {
        wxFileName file(folder + relative, name);
        file.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        paths.push_back(file.GetFullPath());
    }
    return paths;
}

bool openEngineModule() {
    EngineModule& module = engineModule();
    if (module.tried) {
        return module.create != nullptr;
    }
    module.tried = true;
    module.create = nullptr;
    const std::vector<wxString> paths = candidatePaths();
    wxString failure;
    for (const wxString& path : paths) {
        if (!wxFileName::FileExists(path)) {
            continue;
        }
        wxLogNull quiet;  // the reason goes to the learner below, not to a log box
        wxDynamicLibrary library;
        if (!library.Load(path, wxDL_NOW | wxDL_VERBATIM | wxDL_QUIET)) {
            const char* reason = dlerror();
            failure = path + ": " + (reason ? wxString::FromUTF8(reason) : "cannot be opened");
            continue;
        }
        auto create =
            reinterpret_cast<CreateWebEngineFunction>(library.GetSymbol(kCreateWebEngineSymbol));
        if (!create) {
            failure = path + ": not a web engine module of Phrasewright";
            continue;  // unloaded again: nothing of it runs
        }
        library.Detach();
        module.create = create;
        module.error.clear();
        return true;
    }
    if (failure.empty()) {
        failure = "there is no " + paths.front();
    }
    module.error = u"The web engine is missing (" + fromWx(failure) + u").";
    return false;
}

std::string fileUrl(const std::string& path) {
    wxFileName file(wxString::FromUTF8(path));
    file.MakeAbsolute();
    return wxFileSystem::FileNameToURL(file).utf8_string();
}

}  // namespace

WebBrowser::WebBrowser() {
    setClassName(u"WebBrowser");
}

WebBrowser::~WebBrowser() {
    destroy();
}

bool WebBrowser::isEngineAvailable(std::u16string* why) {
    const bool available = openEngineModule();
    if (why) {
        *why = available ? std::u16string() : engineModule().error;
    }
    return available;
}

void WebBrowser::setEngineModulePath(std::string path) {
    EngineModule& module = engineModule();
    module.path = std::move(path);
    module.tried = false;
    module.create = nullptr;
}

bool WebBrowser::isBrowserWindow(const wxWindow* window) {
    for (const wxWindow* w = window; w; w = w->GetParent()) {
        if (dynamic_cast<const WebBrowser*>(BaseWindow::fromHandle(w))) {
            return true;
        }
        if (w->IsTopLevel()) {
            break;
        }
    }
    return false;
}

wxWindow* WebBrowser::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    m_lastError.clear();
    if (!parent) {
        m_lastError = u"A page needs a window to live in.";
        return nullptr;
    }
    if (!openEngineModule()) {
        m_lastError = engineModule().error;
        return nullptr;
    }
    wxString error;
    std::unique_ptr<WebEngine> engine(
        engineModule().create(WebEngine::kInterfaceVersion, parent, this, &error));
    if (!engine || !engine->window()) {
        m_lastError = u"The web engine could not show a page: " + fromWx(error) + u".";
        return nullptr;
    }
    wxWindow* window = engine->window();
    window->SetSize(pos.x, pos.y, size.x, size.y, wxSIZE_ALLOW_MINUS_ONE);
    m_engine = std::move(engine);
    return window;
}

void WebBrowser::onDestroy() {
    dropPending();
    m_engine.reset();
    m_loading = false;
}

void WebBrowser::dropPending() {
    m_waiting.clear();
    m_answers.clear();
}

// ---- Documents

void WebBrowser::startLoading() {
    m_loading = true;
}

bool WebBrowser::navigate(const std::string& path) {
    if (!m_engine || !wxFileName::FileExists(wxString::FromUTF8(path))) {
        return false;
    }
    navigateUrl(fromUtf8(fileUrl(path)));
    return true;
}

void WebBrowser::navigateUrl(const std::u16string& url) {
    if (m_engine) {
        startLoading();
        m_engine->loadUrl(toWx(url));
    }
}

void WebBrowser::setDocument(const std::u16string& html, const std::string& baseFolder) {
    if (!m_engine) {
        return;
    }
    // A folder's address ends in "/", so that names in the document are inside it.
    std::string base = fileUrl(baseFolder.empty() ? std::string(".") : baseFolder);
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    startLoading();
    m_engine->setPage(toWx(html), wxString::FromUTF8(base));
}

void WebBrowser::reload() {
    if (m_engine) {
        startLoading();
        m_engine->reload();
    }
}

// ---- Scripts

std::u16string WebBrowser::scriptString(std::u16string_view text) {
    std::u16string literal = u"'";
    for (char16_t c : text) {
        switch (c) {
            case u'\\':
                literal += u"\\\\";
                break;
            case u'\'':
                literal += u"\\'";
                break;
            case u'\n':
                literal += u"\\n";
                break;
            case u'\r':
                literal += u"\\r";
                break;
            default:
                // Control characters, the two line separators that end a
                // line in JavaScript, and "<" (no "</script>" in a literal).
                if (c < 0x20 || c == 0x2028 || c == 0x2029 || c == u'<') {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    literal += fromUtf8(escape);
                } else {
                    literal += c;
                }
        }
    }
    literal += u"'";
    return literal;
}

void WebBrowser::send(const std::u16string& script, TextCallback done) {
    if (!m_engine) {
        return;
    }
    if (m_loading) {
        m_waiting.emplace_back(script, std::move(done));
        return;
    }
    const int request = m_nextRequest++;
    if (done) {
        m_answers[request] = std::move(done);
    }
    m_engine->runScript(toWx(script), request);
}

void WebBrowser::runScript(const std::u16string& script, TextCallback done) {
    send(script, std::move(done));
}

void WebBrowser::setElementHtml(const std::u16string& id, const std::u16string& html,
                                DoneCallback done) {
    // The answer is text, so that an element's absence is not taken for an error.
    send(u"(function () { var e = document.getElementById(" + scriptString(id) +
             u"); if (!e) return 'missing'; e.innerHTML = " + scriptString(html) +
             u"; return 'set'; })()",
         done ? TextCallback(
                    [done](bool ok, const std::u16string& text) { done(ok && text == u"set"); })
              : TextCallback());
}

void WebBrowser::callFunction(const std::u16string& name, DoneCallback done) {
    send(u"(function () { var f = window[" + scriptString(name) +
             u"]; if (typeof f !== 'function') return 'missing'; f(); return 'called'; })()",
         done ? TextCallback(
                    [done](bool ok, const std::u16string& text) { done(ok && text == u"called"); })
              : TextCallback());
}

void WebBrowser::requestSelectedText(TextCallback done) {
    send(u"String(window.getSelection ? window.getSelection() : '')", std::move(done));
}

void WebBrowser::requestPageText(TextCallback done) {
    send(u"document.body ? document.body.innerText : ''", std::move(done));
}

std::u16string WebBrowser::evaluate(const std::u16string& script, bool* ok, int timeoutMs) {
    struct Answer {
        bool came = false;
        bool ok = false;
        std::u16string text;
    };
    auto answer = std::make_shared<Answer>();
    send(script, [answer](bool success, const std::u16string& text) {
        answer->came = true;
        answer->ok = success;
        answer->text = text;
    });
    // The engine answers from the toolkit's own loop, so one runs here.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    std::unique_ptr<wxEventLoopBase> own;
    std::unique_ptr<wxEventLoopActivator> active;
    if (!loop && wxTheApp) {
        own.reset(wxTheApp->GetTraits()->CreateEventLoop());
        active = std::make_unique<wxEventLoopActivator>(own.get());
        loop = own.get();
    }
    while (loop && m_engine && !answer->came && std::chrono::steady_clock::now() < deadline) {
        if (loop->Pending()) {
            loop->Dispatch();
        } else {
            wxTheApp->ProcessPendingEvents();
            wxMilliSleep(1);
        }
    }
    if (ok) {
        *ok = answer->came && answer->ok;
    }
    return answer->came ? answer->text : std::u16string();
}

void WebBrowser::copySelection() {
    if (m_engine) {
        m_engine->copySelection();
    }
}

bool WebBrowser::printToFile(const std::string& path, TextCallback done) {
    if (!m_engine) {
        return false;
    }
    const int request = m_nextRequest++;
    wxFileName file(wxString::FromUTF8(path));
    file.MakeAbsolute();
    if (!m_engine->printToPdf(file.GetFullPath(), request)) {
        return false;
    }
    if (done) {
        m_answers[request] = std::move(done);
    }
    return true;
}

bool WebBrowser::print() {
    if (!m_engine) {
        return false;
    }
    m_engine->print();
    return true;
}

// ---- What the engine tells

void WebBrowser::engineLoaded(bool ok) {
    m_loading = false;
    // Scripts that waited for the document run now, still in order; one of
    // them may start another load, which the rest then wait for.
    while (!m_waiting.empty() && !m_loading && m_engine) {
        auto [script, done] = std::move(m_waiting.front());
        m_waiting.pop_front();
        send(script, std::move(done));
    }
    if (m_listener) {
        m_listener->pageLoaded(*this, ok);
    }
}

void WebBrowser::answer(int request, bool ok, const wxString& text) {
    auto it = m_answers.find(request);
    if (it == m_answers.end()) {
        return;
    }
    TextCallback done = std::move(it->second);
    m_answers.erase(it);
    done(ok, fromWx(text));
}

void WebBrowser::engineScriptResult(int request, bool ok, const wxString& result) {
    answer(request, ok, result);
}

void WebBrowser::engineContextMenu(int x, int y) {
    if (m_listener) {
        m_listener->pageContextMenu(*this, x, y);
    }
}

void WebBrowser::engineLinkClicked(const wxString& url) {
    if (!m_listener || !m_listener->pageLinkClicked(*this, fromWx(url))) {
        wxLaunchDefaultBrowser(url);
    }
}

void WebBrowser::enginePrinted(int request, bool ok, const wxString& error) {
    answer(request, ok, error);
}

}  // namespace pw
