// The dictionary dialog.
#include "dictionary/ui/DictionaryDialog.h"

#include <algorithm>

#include <wx/defs.h>

#include "core/UiServices.h"
#include "dictionary/DictionaryWindow.h"

namespace pw {
namespace {

int s_lastTab = 0;

}  // namespace

int DictionaryDialog::lastTab() {
    return s_lastTab;
}

bool DictionaryDialog::onInit() {
    setTitle(u"DictionaryManager");
    m_window.create(handle(), 0, 0, 550, 290);
    m_ok.setId(wxID_OK);
    m_ok.setText(u"OK");
    m_ok.create(handle(), 0, 0, 10, 10);
    m_cancel.setId(wxID_CANCEL);
    m_cancel.setText(u"Cancel");
    m_cancel.create(handle(), 0, 0, 10, 10);
    m_window.tabs().select(s_lastTab);
    setSizeCentred(550, 330);
    onSize(clientWidth(), clientHeight());
    return true;
}

void DictionaryDialog::onSize(int width, int height) {
    if (!m_window.handle()) {
        return;
    }
    m_window.setBounds(0, 0, width, std::max(height - kButtonStrip, 40));
    const int y = std::max(height - kButtonStrip + 5, 0);
    m_cancel.setBounds(width - 8 - 90, y, 90, 28);
    m_ok.setBounds(width - 16 - 180, y, 90, 28);
}

bool DictionaryDialog::onOK() {
    // A dictionary that could not be written keeps its changes in memory and
    // its old file on disk; closing as if all were saved would lose them at
    // the end of the program.
    if (!DictionaryWindow::confirm()) {
        messageBox(kSaveFailedText, MbOk | MbIconError);
        return false;
    }
    s_lastTab = std::max(m_window.tabs().selectedIndex(), 0);
    return true;
}

bool DictionaryDialog::onCancel() {
    DictionaryWindow::cancel();
    m_window.refresh();
    return true;
}

}  // namespace pw
