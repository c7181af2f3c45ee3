// Edit fields.
#include "gui/TextArea.h"

#include <wx/textctrl.h>

#include "gui/WxText.h"

namespace pw {

long TextArea::textStyle() const {
    return wxTE_MULTILINE;
}

long TextField::textStyle() const {
    return wxTE_PROCESS_ENTER;
}

wxWindow* TextArea::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxTextCtrl(parent, wxID_ANY, wxEmptyString, pos, size,
                          textStyle() | (m_readOnly ? wxTE_READONLY : 0));
}

void TextArea::bindControlEvents() {
    listen(wxEVT_TEXT);
    if (textStyle() & wxTE_PROCESS_ENTER) {
        listen(wxEVT_TEXT_ENTER);
    }
}

bool TextArea::translate(wxEvent& event) {
    if (!isOwnEvent(event)) {
        return false;
    }
    if (event.GetEventType() == wxEVT_TEXT) {
        commandParent(codes::kTextChanged);
        return true;
    }
    if (event.GetEventType() == wxEVT_TEXT_ENTER) {
        commandParent(codes::kEnter);
        return true;
    }
    return false;
}

wxTextCtrl* TextArea::text() const {
    return dynamic_cast<wxTextCtrl*>(handle());
}

void TextArea::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (auto* t = text()) {
        t->SetEditable(!readOnly);
    }
}

std::u16string TextArea::getText() const {
    auto* t = text();
    return t ? fromWx(t->GetValue()) : BaseWindow::getText();
}

void TextArea::setText(const std::u16string& value) {
    if (auto* t = text()) {
        t->ChangeValue(toWx(value));
    } else {
        BaseWindow::setText(value);
    }
}

void TextArea::appendText(const std::u16string& value) {
    if (auto* t = text()) {
        t->AppendText(toWx(value));
    }
}

void TextArea::getSelection(long& from, long& to) const {
    from = to = 0;
    if (auto* t = text()) {
        t->GetSelection(&from, &to);
    }
}

void TextArea::setSelection(long from, long to) {
    if (auto* t = text()) {
        t->SetSelection(from, to);
    }
}

std::u16string TextArea::selectedText() const {
    auto* t = text();
    return t ? fromWx(t->GetStringSelection()) : std::u16string();
}

}  // namespace pw
