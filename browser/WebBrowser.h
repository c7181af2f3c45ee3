// The embedded HTML view: a window showing one document, which the program
// fills by element id and drives through the document's script functions.
// The engine (WebKit through wxWebView) sits in the module phrasewright-webkit
// beside the executable, opened when the first WebBrowser is created; a
// program that never shows a page never loads it.
//
//   WebBrowser page;
//   page.setListener(this);                       // loads, menus, links
//   if (!page.create(parent, 0, 48, 600, 400)) {
//       report(page.lastError());                 // no engine: why
//   }
//   page.navigate("Resources/dictation.html");
//   page.setElementHtml(u"sentence", u"<b>Hello</b>");
//   page.callFunction(u"onStartInput");
//   page.requestSelectedText([](bool ok, const std::u16string& text) { ... });
//
// Every call into the document is asynchronous and they run in the order
// they were made; calls made while a document loads wait until it has
// loaded. An answer, when asked for, comes through its callback on the
// user-interface thread, never after the browser is destroyed. Move, resize, show, hide and destroy
// it as any window (setBounds, setSize, setVisible, destroy).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "browser/WebEngine.h"
#include "gui/BaseWindow.h"

namespace pw {

class WebBrowser;

// What the browser tells its owner; every handler is optional.
class WebBrowserListener {
public:
    virtual ~WebBrowserListener() = default;
    // The document asked for has loaded (ok) or could not be loaded.
    virtual void pageLoaded(WebBrowser&, bool /*ok*/) {}
    // A right click or the menu key in the document, at (x, y) in the
    // browser's client coordinates. The engine's own menu never opens.
    virtual void pageContextMenu(WebBrowser&, int /*x*/, int /*y*/) {}
    // A link in the document was followed; the document stays. True when
    // handled; otherwise the system's browser opens the address.
    virtual bool pageLinkClicked(WebBrowser&, const std::u16string& /*url*/) { return false; }
};

class WebBrowser : public BaseWindow, private WebEngineEvents {
public:
    // ok false: the script threw (text is then the error).
    using TextCallback = std::function<void(bool ok, const std::u16string& text)>;
    using DoneCallback = std::function<void(bool done)>;

    WebBrowser();
    ~WebBrowser() override;

    // Opens the engine module if that has not been tried yet; false, with
    // why, when there is no engine to show pages with.
    static bool isEngineAvailable(std::u16string* why = nullptr);
    // Where the engine module is looked for: the given file instead of the
    // folder of the executable (and the PW_WEB_ENGINE variable); empty
    // restores the default. The next create tries again.
    static void setEngineModulePath(std::string path);
    // True for a browser's window or a window inside one; the program hands
    // the keys typed there to the practice.
    static bool isBrowserWindow(const wxWindow* window);

    // Why the last create failed; empty after a success.
    const std::u16string& lastError() const { return m_lastError; }
    void setListener(WebBrowserListener* listener) { m_listener = listener; }

    // ---- Documents
    // A file, relative to the working folder or absolute (UTF-8); false when
    // there is no view or no such file.
    bool navigate(const std::string& path);
    void navigateUrl(const std::u16string& url);
    // A whole document; relative addresses in it are taken from baseFolder
    // (the working folder when empty).
    void setDocument(const std::u16string& html, const std::string& baseFolder = {});
    void reload();
    // Between a navigate, setDocument or reload and the end of its loading.
    bool isLoading() const { return m_loading; }

    // ---- Calls into the document
    // Replaces the inner HTML of the element with that id; done(false) when
    // the document has no such element.
    void setElementHtml(const std::u16string& id, const std::u16string& html,
                        DoneCallback done = {});
    // Calls the document's global function name without arguments, its
    // result ignored; done(false) when there is no such function or it threw.
    void callFunction(const std::u16string& name, DoneCallback done = {});
    // Runs script; done receives its value as text.
    void runScript(const std::u16string& script, TextCallback done = {});
    // The selected text, and the text of the whole document as shown.
    void requestSelectedText(TextCallback done);
    void requestPageText(TextCallback done);
    // Runs script and waits for its value, handling events meanwhile (tests,
    // and one-off reads right after a user's action). ok false on an error,
    // or when timeoutMs passed.
    std::u16string evaluate(const std::u16string& script, bool* ok = nullptr, int timeoutMs = 5000);

    // The selection to the clipboard.
    void copySelection();
    // Prints the document into a PDF file without a dialog; done(false, why)
    // when that fails. False at once when the engine cannot print to files.
    bool printToFile(const std::string& path, TextCallback done);
    // Shows the system's print dialog for the document (printers, paper,
    // pages, or a file) and returns once it has closed; false when there is
    // no document to print.
    bool print();

    // A JavaScript string literal of text, for scripts built by callers.
    static std::u16string scriptString(std::u16string_view text);

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void onDestroy() override;

private:
    void startLoading();
    void send(const std::u16string& script, TextCallback done);
    void dropPending();
    // Hands the answer to request to its callback.
    void answer(int request, bool ok, const wxString& text);

    void engineLoaded(bool ok) override;
    void engineScriptResult(int request, bool ok, const wxString& result) override;
    void engineContextMenu(int x, int y) override;
    void engineLinkClicked(const wxString& url) override;
    void enginePrinted(int request, bool ok, const wxString& error) override;

    std::unique_ptr<WebEngine> m_engine;
    WebBrowserListener* m_listener = nullptr;
    std::u16string m_lastError;
    bool m_loading = false;
    // Scripts waiting for the document, and answers (of scripts and prints)
    // not yet come.
    std::deque<std::pair<std::u16string, TextCallback>> m_waiting;
    std::map<int, TextCallback> m_answers;
    int m_nextRequest = 1;
};

}  // namespace pw
