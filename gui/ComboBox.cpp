// Drop-down lists.
#include "gui/ComboBox.h"

#include <wx/combobox.h>

#include "gui/WxText.h"

namespace pw {

wxWindow* ComboBox::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxComboBox(parent, wxID_ANY, wxEmptyString, pos, size, 0, nullptr,
                          m_editable ? 0 : wxCB_READONLY);
}

void ComboBox::bindControlEvents() {
    listen(wxEVT_COMBOBOX);
    listen(wxEVT_TEXT);
    listen(wxEVT_COMBOBOX_DROPDOWN);
}

bool ComboBox::translate(wxEvent& event) {
    if (!isOwnEvent(event)) {
        return false;
    }
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_COMBOBOX) {
        commandParent(codes::kSelectionChanged);
        fireAction(codes::kSelectionChanged);
        return true;
    }
    if (type == wxEVT_TEXT) {
        if (m_editable) {
            commandParent(codes::kTextChanged);
        }
        return true;
    }
    if (type == wxEVT_COMBOBOX_DROPDOWN) {
        commandParent(codes::kDropDown);
        return true;
    }
    return false;
}

wxComboBox* ComboBox::combo() const {
    return dynamic_cast<wxComboBox*>(handle());
}

int ComboBox::addItem(const std::u16string& text) {
    auto* c = combo();
    return c ? c->Append(toWx(text)) : -1;
}

void ComboBox::insertItem(int index, const std::u16string& text) {
    if (auto* c = combo(); c && index >= 0 && index <= static_cast<int>(c->GetCount())) {
        c->Insert(toWx(text), static_cast<unsigned>(index));
    }
}

void ComboBox::removeItem(int index) {
    if (auto* c = combo(); c && index >= 0 && index < static_cast<int>(c->GetCount())) {
        c->Delete(static_cast<unsigned>(index));
    }
}

void ComboBox::clear() {
    if (auto* c = combo()) {
        c->Clear();
    }
}

int ComboBox::itemCount() const {
    auto* c = combo();
    return c ? static_cast<int>(c->GetCount()) : 0;
}

std::u16string ComboBox::itemText(int index) const {
    auto* c = combo();
    if (!c || index < 0 || index >= static_cast<int>(c->GetCount())) {
        return {};
    }
    return fromWx(c->GetString(static_cast<unsigned>(index)));
}

int ComboBox::selectedIndex() const {
    auto* c = combo();
    return c ? c->GetSelection() : -1;
}

void ComboBox::select(int index) {
    if (auto* c = combo(); c && index < static_cast<int>(c->GetCount())) {
        c->SetSelection(index < 0 ? wxNOT_FOUND : index);
    }
}

std::u16string ComboBox::getText() const {
    auto* c = combo();
    return c ? fromWx(c->GetValue()) : Component::getText();
}

void ComboBox::setText(const std::u16string& text) {
    if (auto* c = combo()) {
        c->ChangeValue(toWx(text));
    } else {
        Component::setText(text);
    }
}

}  // namespace pw
