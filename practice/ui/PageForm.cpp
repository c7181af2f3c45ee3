// The page form of the practice pane.
#include "practice/ui/PageForm.h"

#include <wx/filename.h>

#include "core/AppFiles.h"
#include "core/Utf.h"
#include "practice/ui/MenuTracking.h"

namespace pw {

PageForm::PageForm(PracticeSession& session, IPracticeSpeaker& speaker) : m_page(session, speaker) {
    m_browser.setListener(this);
    m_editor.setPage(this);
    m_editor.setCommandTarget(this);
}

PageForm::~PageForm() {
    close();
}

bool PageForm::open(BaseWindow& parent, const std::u16string& fontFamily) {
    if (isOpen()) {
        return true;
    }
    m_whyNot.clear();
    const std::string pagePath = shippedFile(page_elements::kPagePath);
    if (!wxFileName::FileExists(wxString::FromUTF8(pagePath))) {
        m_whyNot = u"The exercise page is missing (" + fromUtf8(pagePath) + u").";
        return false;
    }
    if (!m_browser.create(parent, 0, ExercisePage::kPageTop, 1, 1)) {
        m_whyNot = m_browser.lastError();
        return false;
    }
    m_browser.setVisible(false);
    m_browser.navigate(pagePath);
    m_editor.create(parent);
    m_editor.setVisible(false);
    m_page.setFontFamily(fontFamily);
    m_page.attach(this);  // waits in the browser until the page has loaded
    place(parent.clientWidth(), parent.clientHeight());
    return true;
}

void PageForm::close() {
    m_page.attach(nullptr);
    m_editor.destroy();
    m_browser.destroy();
    m_reloading = false;
}

void PageForm::sessionChanged(unsigned changes) {
    m_page.sessionChanged(changes);
}

void PageForm::place(int width, int height, int top) {
    if (!isOpen()) {
        return;
    }
    const ExercisePage::Placement placement =
        m_page.placement({width, height}, m_editor.preferredHeight(), top);
    const Rect& page = placement.page;
    m_browser.setBounds(page.x, page.y, page.width, page.height);
    if (placement.editorShown) {
        const Rect& editor = placement.editor;
        m_editor.setBounds(editor.x, editor.y, editor.width, editor.height);
    }
    m_keyReminder = placement.keyReminder;
    m_page.resized();
}

bool PageForm::onCommand(const Command& command) {
    if (command.sender != m_editor.handle() || command.code != HtmlEditor::kEditedCode) {
        return false;
    }
    m_page.storeEditedMarkup(m_editor.editedHtml(page_elements::kSentence),
                             m_editor.editedHtml(page_elements::kTranslation),
                             m_editor.editedHtml(page_elements::kExplanation));
    return true;
}

// ---- The page and the editor, for the logic

void PageForm::setElementHtml(const std::u16string& id, const std::u16string& html) {
    m_browser.setElementHtml(id, html);
}

void PageForm::setElementHtml(const std::u16string& id, const std::u16string& html,
                              std::function<void(bool)> done) {
    m_browser.setElementHtml(id, html, std::move(done));
}

void PageForm::setEditedHtml(const std::u16string& id, const std::u16string& html) {
    m_editor.setEditedHtml(id, html);
}

void PageForm::callFunction(const std::u16string& name) {
    m_browser.callFunction(name);
}

void PageForm::showPage(bool show) {
    m_browser.setVisible(show);
}

void PageForm::showEditor(bool show) {
    m_editor.showEditor(show);
}

void PageForm::setStyleVariables(const Variables& variables) {
    std::u16string script = u"(function (style) {";
    for (const auto& [name, value] : variables) {
        script += u" style.setProperty(" + WebBrowser::scriptString(name) + u", " +
                  WebBrowser::scriptString(value) + u");";
    }
    script += u" return 'set'; })(document.documentElement.style)";
    m_browser.runScript(script);
}

void PageForm::reload() {
    m_reloading = true;
    m_browser.reload();
}

void PageForm::copySelection() {
    m_browser.copySelection();
}

void PageForm::requestPageText(std::function<void(const std::u16string&)> done) {
    m_browser.requestPageText([done = std::move(done)](bool ok, const std::u16string& text) {
        if (ok) {
            done(text);
        }
    });
}

// ---- What the browser tells

void PageForm::pageLoaded(WebBrowser&, bool) {
    // The first load found the page's content waiting; a reload empties it.
    if (m_reloading) {
        m_reloading = false;
        m_page.pageLoaded();
    }
}

void PageForm::pageContextMenu(WebBrowser& browser, int x, int y) {
    // The selection decides whether Copy is offered, so the menu waits for it.
    browser.requestSelectedText([this, x, y](bool, const std::u16string& selection) {
        const int id = trackMenu(m_browser, m_page.pageMenu(!selection.empty()), x, y, true);
        if (id != 0) {
            m_page.onPageMenuCommand(id, selection);
        }
    });
}

}  // namespace pw
