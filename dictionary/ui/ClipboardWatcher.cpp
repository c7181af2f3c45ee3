// Watching the clipboard's text.
#include "dictionary/ui/ClipboardWatcher.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/timer.h>

#include "gui/WxText.h"

namespace pw {

ClipboardWatcher::ClipboardWatcher(Listener listener) : m_listener(std::move(listener)) {}

ClipboardWatcher::~ClipboardWatcher() {
    stop();
}

void ClipboardWatcher::start() {
    if (isRunning()) {
        return;
    }
    m_last = currentText();
    m_timer = std::make_unique<wxTimer>();
    m_timer->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { check(); });
    m_timer->Start(kIntervalMs);
}

void ClipboardWatcher::stop() {
    if (m_timer) {
        m_timer->Stop();
        m_timer.reset();
    }
}

bool ClipboardWatcher::isRunning() const {
    return m_timer != nullptr;
}

std::u16string ClipboardWatcher::currentText() {
    wxClipboard* clipboard = wxTheClipboard;
    if (!clipboard || !clipboard->Open()) {
        return {};
    }
    std::u16string text;
    if (clipboard->IsSupported(wxDF_UNICODETEXT)) {
        wxTextDataObject data;
        if (clipboard->GetData(data)) {
            text = fromWx(data.GetText());
        }
    }
    clipboard->Close();
    return text;
}

void ClipboardWatcher::check() {
    std::u16string text = currentText();
    if (text == m_last) {
        return;
    }
    m_last = std::move(text);
    if (!m_last.empty() && m_listener) {
        m_listener(m_last);
    }
}

}  // namespace pw
