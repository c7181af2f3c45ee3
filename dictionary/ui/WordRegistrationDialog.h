// The small dialog behind "Open" of the readings pane: a word and its reading,
// both editable, which the word pane adds to its dictionary on "OK".
#pragma once

#include <string>

#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/Label.h"
#include "gui/TextArea.h"

namespace pw {

class WordRegistrationDialog : public Dialog {
public:
    WordRegistrationDialog(std::u16string word, std::u16string reading);

    // The texts as the dialog holds them (as given until it is shown).
    std::u16string word() const;
    std::u16string reading() const;

    TextField& wordField() { return m_wordField; }
    TextField& readingField() { return m_readingField; }
    Button& okButton() { return m_ok; }

    bool onInit() override;
    // An empty word is not registered: the dialog stays.
    bool onOK() override;
    void onSize(int width, int height) override;

private:
    std::u16string m_word;
    std::u16string m_reading;
    Label m_wordLabel;
    TextField m_wordField;
    Label m_readingLabel;
    TextField m_readingField;
    Button m_ok;
    Button m_cancel;
};

}  // namespace pw
