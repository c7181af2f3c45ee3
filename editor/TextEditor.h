// The multi-line text editor of the program (the markup editor, the
// explanation window, the description editor): a native text control over a
// TextDocument. The control gives typing, the clipboard, drag and drop and
// input methods; the document keeps the text and the undo history, which the
// native control lacks here. Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo.
//
// The parent receives the command codes::kTextChanged after every edit (the
// learner's, replaceSelection, undo, redo), never after setText. The text uses
// line feeds for line ends: setText turns CR LF and lone CRs into line feeds.
// Positions count UTF-16 units.
//
// The context menu holds Undo, Redo, Cut, Copy, Paste, Delete and Select All;
// a derived editor adds its own items in buildContextMenu and acts on them in
// onMenuCommand.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "editor/TextDocument.h"
#include "gui/BaseWindow.h"

class wxTextCtrl;

namespace pw {

class PopupMenu;

class TextEditor : public BaseWindow {
public:
    TextEditor();

    void setReadOnly(bool readOnly);  // before or after create
    bool isReadOnly() const { return m_readOnly; }

    std::u16string getText() const override;
    void setText(const std::u16string& text) override;

    void getSelection(size_t& from, size_t& to) const;
    void setSelection(size_t from, size_t to);
    std::u16string selectedText() const;
    bool hasSelection() const;
    // Replaces the selection by text as one step; the caret goes after it.
    void replaceSelection(std::u16string_view text);

    bool canUndo() const { return m_document.canUndo(); }
    bool canRedo() const { return m_document.canRedo(); }
    bool undo();
    bool redo();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();

    // Whether the text changed since setText or the last save.
    bool isModified() const;
    // Writes the text into path in the text encoding code (UTF-8 unless
    // given; xml/TextFile.h), safely; error says why it failed.
    bool saveAs(const std::string& path, int code = 2, std::string* error = nullptr);

    bool onKeyDown(const KeyInput& key) override;
    void onDestroy() override;

protected:
    // Menu ids of the editor's own items.
    enum MenuId {
        kUndoItem = 20001,
        kRedoItem,
        kCutItem,
        kCopyItem,
        kPasteItem,
        kDeleteItem,
        kSelectAllItem
    };
    virtual void buildContextMenu(PopupMenu& menu);
    // A chosen menu item; true when it was one of this editor's.
    virtual bool onMenuCommand(int id);
    // The native control's style; multi-line always.
    virtual long textStyle() const;

    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;
    wxTextCtrl* control() const;

private:
    // The learner's edits reach the document when the toolkit is idle, so
    // that one action (typing over a selection, a paste) is one step; any
    // read takes them in at once.
    void controlChanged();
    void takeEdits() const;
    void reportEdits();
    // Puts a change the document made into the control, and tells the parent.
    void show(const TextDocument::Change& change);
    // Undo or redo: move is the document's.
    bool moveInHistory(std::optional<TextDocument::Change> (TextDocument::*move)());
    void takeSelection() const;
    void showContextMenu(const wxEvent& event);

    // Mutable: reads take in the control's pending edits and selection.
    mutable TextDocument m_document;
    mutable bool m_controlAhead = false;  // the control holds edits not yet taken
    mutable bool m_unreported = false;    // taken edits the parent was not told of
    bool m_takeQueued = false;
    bool m_readOnly = false;
    bool m_applying = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace pw
