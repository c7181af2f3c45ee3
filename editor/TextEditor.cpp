// The text editor over the native text control.
#include "editor/TextEditor.h"

#include <wx/textctrl.h>

#include "gui/Menu.h"
#include "gui/WxText.h"

namespace pw {
namespace {

// The control counts characters, the document UTF-16 units; they differ
// where a character lies beyond the first 65536 (two units).
bool countsUnits() {
    return sizeof(wchar_t) == sizeof(char16_t);
}

long controlPosition(const std::u16string& text, size_t units) {
    if (countsUnits()) {
        return static_cast<long>(units);
    }
    long characters = 0;
    for (size_t i = 0; i < units && i < text.size(); ++i) {
        characters += text[i] < 0xDC00 || text[i] > 0xDFFF;
    }
    return characters;
}

size_t documentPosition(const std::u16string& text, long characters) {
    if (countsUnits()) {
        return static_cast<size_t>(std::max(characters, 0L));
    }
    size_t i = 0;
    for (long n = 0; i < text.size() && n < characters; ++n) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size();
        i += pair ? 2 : 1;
    }
    return i;
}

std::u16string withLineFeeds(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

TextEditor::TextEditor() {
    setClassName(u"TextEditor");
}

long TextEditor::textStyle() const {
    return wxTE_MULTILINE;
}

wxWindow* TextEditor::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    auto* text = new wxTextCtrl(parent, wxID_ANY, toWx(m_document.text()), pos, size,
                                textStyle() | wxTE_MULTILINE | (m_readOnly ? wxTE_READONLY : 0));
    return text;
}

void TextEditor::bindControlEvents() {
    listen(wxEVT_TEXT);
    listen(wxEVT_CONTEXT_MENU);
}

wxTextCtrl* TextEditor::control() const {
    return dynamic_cast<wxTextCtrl*>(handle());
}

bool TextEditor::translate(wxEvent& event) {
    if (!isOwnEvent(event)) {
        return false;
    }
    if (event.GetEventType() == wxEVT_TEXT) {
        if (!m_applying) {
            controlChanged();
        }
        return true;
    }
    if (event.GetEventType() == wxEVT_CONTEXT_MENU) {
        showContextMenu(event);
        return true;  // the native menu would bypass the history
    }
    return false;
}

void TextEditor::controlChanged() {
    m_controlAhead = true;
    if (m_takeQueued || !control()) {
        return;
    }
    m_takeQueued = true;
    control()->CallAfter([this, alive = std::weak_ptr<bool>(m_alive)] {
        if (alive.lock()) {
            m_takeQueued = false;
            takeEdits();
            reportEdits();
        }
    });
}

void TextEditor::takeEdits() const {
    if (!m_controlAhead || !control()) {
        return;
    }
    m_controlAhead = false;
    if (m_document.edited(fromWx(control()->GetValue()))) {
        m_unreported = true;
    }
}

void TextEditor::reportEdits() {
    if (m_unreported) {
        m_unreported = false;
        commandParent(codes::kTextChanged);
    }
}

void TextEditor::onDestroy() {
    takeEdits();  // the text stays readable after the window
}

void TextEditor::takeSelection() const {
    takeEdits();
    if (auto* text = control()) {
        long from = 0;
        long to = 0;
        text->GetSelection(&from, &to);
        const std::u16string& value = m_document.text();
        m_document.setSelection(documentPosition(value, from), documentPosition(value, to));
    }
}

void TextEditor::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (auto* text = control()) {
        text->SetEditable(!readOnly);
    }
}

std::u16string TextEditor::getText() const {
    takeEdits();
    return m_document.text();
}

void TextEditor::setText(const std::u16string& text) {
    m_controlAhead = false;
    m_unreported = false;
    m_document.setText(withLineFeeds(text));
    if (auto* control = this->control()) {
        m_applying = true;
        control->ChangeValue(toWx(m_document.text()));
        m_applying = false;
    }
}

bool TextEditor::isModified() const {
    takeEdits();
    return m_document.isModified();
}

void TextEditor::getSelection(size_t& from, size_t& to) const {
    takeSelection();
    from = std::min(m_document.selectionStart(), m_document.selectionEnd());
    to = std::max(m_document.selectionStart(), m_document.selectionEnd());
}

void TextEditor::setSelection(size_t from, size_t to) {
    takeEdits();
    m_document.setSelection(from, to);
    if (auto* text = control()) {
        const std::u16string& value = m_document.text();
        text->SetSelection(controlPosition(value, m_document.selectionStart()),
                           controlPosition(value, m_document.selectionEnd()));
    }
}

std::u16string TextEditor::selectedText() const {
    takeSelection();
    return m_document.selectedText();
}

bool TextEditor::hasSelection() const {
    takeSelection();
    return m_document.hasSelection();
}

void TextEditor::show(const TextDocument::Change& change) {
    if (auto* text = control()) {
        // The positions of the text the control still shows.
        const std::u16string before = fromWx(text->GetValue());
        m_applying = true;
        text->Replace(controlPosition(before, change.from),
                      controlPosition(before, change.from + change.removed), toWx(change.inserted));
        if (fromWx(text->GetValue()) != m_document.text()) {
            text->ChangeValue(toWx(m_document.text()));
        }
        m_applying = false;
        const std::u16string& value = m_document.text();
        text->SetSelection(controlPosition(value, change.selectFrom),
                           controlPosition(value, change.selectTo));
    }
    commandParent(codes::kTextChanged);
}

void TextEditor::replaceSelection(std::u16string_view text) {
    takeSelection();
    reportEdits();
    show(m_document.replaceSelection(text));
}

bool TextEditor::undo() {
    return moveInHistory(&TextDocument::undo);
}

bool TextEditor::redo() {
    return moveInHistory(&TextDocument::redo);
}

bool TextEditor::moveInHistory(std::optional<TextDocument::Change> (TextDocument::*move)()) {
    takeEdits();
    reportEdits();
    const auto change = (m_document.*move)();
    if (change) {
        show(*change);
    }
    return change.has_value();
}

void TextEditor::cut() {
    if (auto* text = control(); text && !m_readOnly) {
        text->Cut();
    }
}

void TextEditor::copy() {
    if (auto* text = control()) {
        text->Copy();
    }
}

void TextEditor::paste() {
    if (auto* text = control(); text && !m_readOnly) {
        text->Paste();
    }
}

void TextEditor::deleteSelection() {
    if (!m_readOnly && hasSelection()) {
        replaceSelection(u"");
    }
}

void TextEditor::selectAll() {
    setSelection(0, m_document.text().size());
}

bool TextEditor::saveAs(const std::string& path, int code, std::string* error) {
    takeEdits();
    return m_document.saveAs(path, code, error);
}

bool TextEditor::onKeyDown(const KeyInput& key) {
    if (!key.control || key.alt) {
        return false;
    }
    if (key.keyCode == 'Z' && !key.shift) {
        if (!m_readOnly) {
            undo();
        }
        return true;
    }
    if (key.keyCode == 'Y' || (key.keyCode == 'Z' && key.shift)) {
        if (!m_readOnly) {
            redo();
        }
        return true;
    }
    return false;
}

void TextEditor::buildContextMenu(PopupMenu& menu) {
    const bool editable = !m_readOnly;
    const bool selection = hasSelection();
    const auto item = [&menu](int id, const char16_t* text, bool enabled) {
        menu.append(id, text);
        menu.setEnabled(id, enabled);
    };
    item(kUndoItem, u"&Undo\tCtrl+Z", editable && canUndo());
    item(kRedoItem, u"&Redo\tCtrl+Y", editable && canRedo());
    menu.appendSeparator();
    item(kCutItem, u"Cu&t\tCtrl+X", editable && selection);
    item(kCopyItem, u"&Copy\tCtrl+C", selection);
    item(kPasteItem, u"&Paste\tCtrl+V", editable && control() && control()->CanPaste());
    item(kDeleteItem, u"&Delete", editable && selection);
    menu.appendSeparator();
    item(kSelectAllItem, u"Select &All\tCtrl+A", !m_document.text().empty());
}

bool TextEditor::onMenuCommand(int id) {
    switch (id) {
        case kUndoItem:
            undo();
            return true;
        case kRedoItem:
            redo();
            return true;
        case kCutItem:
            cut();
            return true;
        case kCopyItem:
            copy();
            return true;
        case kPasteItem:
            paste();
            return true;
        case kDeleteItem:
            deleteSelection();
            return true;
        case kSelectAllItem:
            selectAll();
            return true;
        default:
            return false;
    }
}

void TextEditor::showContextMenu(const wxEvent& event) {
    wxTextCtrl* text = control();
    if (!text) {
        return;
    }
    const auto& menuEvent = static_cast<const wxContextMenuEvent&>(event);
    // From the keyboard the menu opens at the caret.
    wxPoint point = menuEvent.GetPosition() == wxDefaultPosition
                        ? text->PositionToCoords(text->GetInsertionPoint())
                        : text->ScreenToClient(menuEvent.GetPosition());
    if (point == wxDefaultPosition) {
        point = wxPoint(0, 0);
    }
    PopupMenu menu;
    buildContextMenu(menu);
    if (const int id = menu.track(*this, point.x, point.y); id != 0) {
        onMenuCommand(id);
    }
}

}  // namespace pw
