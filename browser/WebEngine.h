// What WebBrowser asks of the engine behind it, and what the engine tells it.
// The engine (wxWebView over WebKitGTK) lives in a module of its own,
// phrasewright-webkit, which WebBrowser opens when the first page is made, so
// that the program loads WebKit only when a page is shown. This header is all
// that the two share: keep it free of anything with a body outside the class.
#pragma once

#include <wx/string.h>

class wxWindow;

namespace pw {

// The engine's reports, on the user-interface thread.
class WebEngineEvents {
public:
    virtual ~WebEngineEvents() = default;
    // A document asked for by loadUrl, setPage or reload has finished loading
    // (ok), or failed to.
    virtual void engineLoaded(bool ok) = 0;
    // The answer to runScript(script, request): the script's value as text,
    // or the error when it threw.
    virtual void engineScriptResult(int request, bool ok, const wxString& result) = 0;
    // The learner asked for a context menu at (x, y), in the view's client
    // coordinates; the engine's own menu does not open.
    virtual void engineContextMenu(int x, int y) = 0;
    // The learner followed a link out of the document; the engine stayed.
    virtual void engineLinkClicked(const wxString& url) = 0;
    // printToPdf(path, request) ended; error says why it failed.
    virtual void enginePrinted(int request, bool ok, const wxString& error) = 0;
};

// One HTML view. Its window belongs to its wx parent; deleting the engine
// leaves the window alone.
class WebEngine {
public:
    // Raised whenever this interface changes, so that a stale module is refused.
    static constexpr int kInterfaceVersion = 2;

    virtual ~WebEngine() = default;

    virtual wxWindow* window() const = 0;
    virtual void loadUrl(const wxString& url) = 0;
    // A whole document; relative addresses in it resolve against baseUrl.
    virtual void setPage(const wxString& html, const wxString& baseUrl) = 0;
    virtual void reload() = 0;
    // Runs script in the document; the answer comes as engineScriptResult with
    // request. Scripts run in the order they were given.
    virtual void runScript(const wxString& script, int request) = 0;
    // The document's selection to the clipboard.
    virtual void copySelection() = 0;
    // Prints the document into a PDF file without asking; false when the
    // engine cannot (the answer then never comes).
    virtual bool printToPdf(const wxString& path, int request) = 0;
    // Shows the system's print dialog for the document and prints what the
    // learner chooses there; returns when the dialog has closed.
    virtual void print() = 0;
};

// The module's one entry point, "pwCreateWebEngine": a view inside parent,
// or null with error saying why.
using CreateWebEngineFunction = WebEngine* (*)(int interfaceVersion, wxWindow* parent,
                                               WebEngineEvents* events, wxString* error);
inline constexpr const char* kCreateWebEngineSymbol = "pwCreateWebEngine";
inline constexpr const char* kWebEngineModuleName = "phrasewright-webkit";

}  // namespace pw
