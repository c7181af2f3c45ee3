// The markup editor shown under the exercise page: the HTML of one of the
// page's elements ("sentence", "translation", "explanation") in a text
// editor, applied to the page as the learner edits it. Its strip holds the
// Edit/Close button, the element chooser and "Replace Linefeed to <br>"; its
// editor wraps the selection in role spans with F1 to F5 (subject, verb,
// object, complement, modifier) and in a memo span with Ctrl+M.
//
// After an edit has reached the page, the parent (or the command target)
// receives the command kEditedCode from the editor's window; it then reads
// editedHtml for the three ids. An edit for an element the page does not
// have is kept, but not reported.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "editor/TextEditor.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Component.h"

namespace pw {

class HtmlEditor : public Component {
public:
    static constexpr int kEditedCode = codes::kTextChanged;

    // The elements the learner chooses from, in the chooser's order.
    static constexpr const char16_t* kElementIds[] = {u"sentence", u"translation", u"explanation"};

    // What the editor needs of the page it edits.
    class Page {
    public:
        virtual ~Page() = default;
        // Replaces the inner HTML of element id; done(true) once it is set,
        // done(false) when the page has no such element.
        virtual void setElementHtml(const std::u16string& id, const std::u16string& html,
                                    std::function<void(bool)> done) = 0;
    };

    // The editor of the markup: the role and memo surrounds on their keys
    // and at the end of the context menu.
    class HtmlTextEditor : public TextEditor {
    public:
        // Menu ids (and the role of each).
        enum Role { kSubject = 1, kVerb, kObject, kComplement, kModifier, kMemo = 100 };
        static std::u16string openingTag(int role);
        static constexpr const char16_t* kClosingTag = u"</span>";

        // Wraps the selection in the role's span as one editing step;
        // nothing happens without a selection.
        void surround(int role);

        bool onKeyDown(const KeyInput& key) override;

    protected:
        void buildContextMenu(PopupMenu& menu) override;
        bool onMenuCommand(int id) override;
    };

    HtmlEditor();
    ~HtmlEditor() override;

    // The page whose elements are updated; not owned, null for none.
    void setPage(Page* page) { m_page = page; }

    // Keeps html for id and applies it to the page (no command follows).
    void setEditedHtml(const std::u16string& id, const std::u16string& html);
    // What was kept for id; empty when nothing was.
    std::u16string editedHtml(const std::u16string& id) const;
    // Shows or hides the editor; shown, its editor holds the chosen element's text.
    void showEditor(bool show);

    // Whether the learner opened the editor for editing (the button reads "Close").
    bool isEditing() const { return m_editing; }
    // The height the editor wants: the strip, and more room while editing.
    int preferredHeight() const;
    int stripHeight() const { return m_stripHeight; }
    std::u16string selectedId() const;

    // line breaks as "<br />" (CR LF, a lone LF or a lone CR each one).
    static std::u16string lineBreaksToBr(const std::u16string& html);

    // The controls, for tests.
    Button& editButton() { return m_edit; }
    ComboBox& elementChooser() { return m_chooser; }
    CheckBox& lineFeedBox() { return m_lineFeeds; }
    HtmlTextEditor& textEditor() { return m_text; }

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

protected:
    void onPaint(Graphics& graphics) override;

private:
    // Applies the kept text of id to the page; notify: tell the parent once
    // the page has it.
    void updatePage(const std::u16string& id, bool notify);
    void toggleEditing();
    void showSelectedText();

    Button m_edit;
    ComboBox m_chooser;
    CheckBox m_lineFeeds;
    HtmlTextEditor m_text;
    Page* m_page = nullptr;
    std::map<std::u16string, std::u16string> m_texts;
    bool m_editing = false;
    int m_stripHeight = 20;
    int m_labelX = 70;
    int m_labelWidth = 60;
    // Answers from the page that come after the editor is gone are dropped.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace pw
