// The page form of the practice pane: the exercise page in a WebBrowser, the
// markup editor under it, and the page menu, over the ExercisePage logic.
// The pane opens it when "Use Internet Explore" is checked and closes it when
// the box is cleared; it hands it the session's changes and its size.
#pragma once

#include <string>

#include "browser/WebBrowser.h"
#include "editor/HtmlEditor.h"
#include "practice/ExercisePage.h"

namespace pw {

class PageForm : public CommandReceiver,
                 private ExercisePageHost,
                 private WebBrowserListener,
                 private HtmlEditor::Page {
public:
    PageForm(PracticeSession& session, IPracticeSpeaker& speaker);
    ~PageForm() override;
    PageForm(const PageForm&) = delete;
    PageForm& operator=(const PageForm&) = delete;

    // Makes the page and the editor inside parent (the practice pane) and
    // loads the page; fontFamily is the one the page is to use. False, with
    // whyNot() saying why, when there is no web engine or no page file:
    // the drawn view goes on.
    bool open(BaseWindow& parent, const std::u16string& fontFamily);
    // Destroys the page and the editor: the drawn view again.
    void close();
    bool isOpen() const { return m_browser.handle() != nullptr; }
    const std::u16string& whyNot() const { return m_whyNot; }

    void sessionChanged(unsigned changes);
    // Places the page and the editor in the pane's client area, the page no
    // higher than top.
    void place(int width, int height, int top = ExercisePage::kPageTop);
    // Where the pane draws the key reminder, below the page and the editor.
    Point keyReminder() const { return m_keyReminder; }

    ExercisePage& logic() { return m_page; }
    WebBrowser& browser() { return m_browser; }
    HtmlEditor& editor() { return m_editor; }

    // The editor's report of an edit.
    bool onCommand(const Command& command) override;

private:
    // ExercisePageHost
    void setElementHtml(const std::u16string& id, const std::u16string& html) override;
    void setEditedHtml(const std::u16string& id, const std::u16string& html) override;
    void callFunction(const std::u16string& name) override;
    void showPage(bool show) override;
    void showEditor(bool show) override;
    void setStyleVariables(const Variables& variables) override;
    void reload() override;
    void copySelection() override;
    void requestPageText(std::function<void(const std::u16string&)> done) override;
    // WebBrowserListener
    void pageLoaded(WebBrowser& browser, bool ok) override;
    void pageContextMenu(WebBrowser& browser, int x, int y) override;
    // HtmlEditor::Page
    void setElementHtml(const std::u16string& id, const std::u16string& html,
                        std::function<void(bool)> done) override;

    // The logic first: the browser's answers must not outlive what they call.
    ExercisePage m_page;
    WebBrowser m_browser;
    HtmlEditor m_editor;
    std::u16string m_whyNot;
    bool m_reloading = false;
    Point m_keyReminder;
};

}  // namespace pw
