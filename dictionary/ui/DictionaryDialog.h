// "DictionaryManager": the dictionary window in a dialog of its own, opened
// beside the practice (modeless). "OK" saves every dictionary and the
// readings settings; "Cancel" reads the changed dictionaries back from
// their files.
#pragma once

#include "dictionary/ui/DictionaryWindowPane.h"
#include "gui/Button.h"
#include "gui/Dialog.h"

namespace pw {

class DictionaryDialog : public Dialog {
public:
    static constexpr int kButtonStrip = 38;
    static constexpr const char16_t* kSaveFailedText =
        u"Not every dictionary could be saved. Your changes are kept: make sure the "
        u"dictionary files can be written and press OK again, or Cancel to discard them.";

    DictionaryWindowPane& window() { return m_window; }
    Button& okButton() { return m_ok; }
    Button& cancelButton() { return m_cancel; }

    // The tab shown when the dialog was last confirmed, for the next opening.
    static int lastTab();

    bool onInit() override;
    bool onOK() override;
    bool onCancel() override;
    void onSize(int width, int height) override;

private:
    DictionaryWindowPane m_window;
    Button m_ok;
    Button m_cancel;
};

}  // namespace pw
