// A drop-down list (wxComboBox), read-only unless setEditable(true) before
// create. Sends codes::kSelectionChanged when the user picks an item,
// codes::kTextChanged when the user edits an editable one, codes::kDropDown
// before the list opens. Changing it from code sends nothing.
#pragma once

#include <string>

#include "gui/Component.h"

class wxComboBox;

namespace pw {

class ComboBox : public Component {
public:
    void setEditable(bool editable) { m_editable = editable; }

    int addItem(const std::u16string& text);  // returns its index
    void insertItem(int index, const std::u16string& text);
    void removeItem(int index);
    void clear();
    int itemCount() const;
    std::u16string itemText(int index) const;
    int selectedIndex() const;  // -1 when none
    void select(int index);     // -1 clears the selection

    std::u16string getText() const override;
    void setText(const std::u16string& text) override;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    wxComboBox* combo() const;
    bool m_editable = false;
};

}  // namespace pw
