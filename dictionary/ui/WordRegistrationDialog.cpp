// The word registration dialog.
#include "dictionary/ui/WordRegistrationDialog.h"

#include <algorithm>

#include <wx/defs.h>
#include <wx/window.h>

#include "gui/ChildControl.h"

namespace pw {

WordRegistrationDialog::WordRegistrationDialog(std::u16string word, std::u16string reading)
    : m_word(std::move(word)), m_reading(std::move(reading)) {}

std::u16string WordRegistrationDialog::word() const {
    return m_wordField.handle() ? m_wordField.getText() : m_word;
}

std::u16string WordRegistrationDialog::reading() const {
    return m_readingField.handle() ? m_readingField.getText() : m_reading;
}

bool WordRegistrationDialog::onInit() {
    setTitle(u"Register a Word");
    createChildControl(m_wordLabel, handle(), u"Word:");
    createChildControl(m_wordField, handle(), m_word);
    createChildControl(m_readingLabel, handle(), u"Reading:");
    createChildControl(m_readingField, handle(), m_reading);
    m_ok.setId(wxID_OK);
    createChildControl(m_ok, handle(), u"OK");
    m_cancel.setId(wxID_CANCEL);
    createChildControl(m_cancel, handle(), u"Cancel");
    setSizeCentred(360, 130);
    onSize(clientWidth(), clientHeight());
    m_wordField.setFocus();
    return true;
}

bool WordRegistrationDialog::onOK() {
    return !word().empty();
}

void WordRegistrationDialog::onSize(int width, int) {
    constexpr int kMargin = 8;
    constexpr int kRow = 24;
    constexpr int kLabel = 64;
    const int field = std::max(width - kLabel - 2 * kMargin, 60);
    m_wordLabel.setBounds(kMargin, kMargin, kLabel, kRow);
    m_wordField.setBounds(kMargin + kLabel, kMargin, field, kRow);
    m_readingLabel.setBounds(kMargin, 2 * kMargin + kRow, kLabel, kRow);
    m_readingField.setBounds(kMargin + kLabel, 2 * kMargin + kRow, field, kRow);
    const int buttons = 3 * kMargin + 2 * kRow + 4;
    m_cancel.setBounds(width - kMargin - 90, buttons, 90, 30);
    m_ok.setBounds(width - 2 * kMargin - 180, buttons, 90, 30);
}

}  // namespace pw
