// Native edit fields (wxTextCtrl): TextArea is multi-line, TextField one line.
// They send codes::kTextChanged when the user edits the text and a TextField
// sends codes::kEnter when Enter is pressed. Setting the text from code sends
// nothing. Positions count characters as the toolkit does.
#pragma once

#include <string>

#include "gui/BaseWindow.h"

class wxTextCtrl;

namespace pw {

class TextArea : public BaseWindow {
public:
    void setReadOnly(bool readOnly);  // before or after create

    std::u16string getText() const override;
    void setText(const std::u16string& text) override;
    void appendText(const std::u16string& text);
    void getSelection(long& from, long& to) const;
    void setSelection(long from, long to);  // -1, -1 selects everything
    std::u16string selectedText() const;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;
    virtual long textStyle() const;

    wxTextCtrl* text() const;

private:
    bool m_readOnly = false;
};

class TextField : public TextArea {
protected:
    long textStyle() const override;
};

}  // namespace pw
