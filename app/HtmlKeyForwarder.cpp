// Forwarding of the HTML view's keys.
#include "app/HtmlKeyForwarder.h"

#include <wx/window.h>

#include "browser/WebBrowser.h"
#include "gui/BaseWindow.h"

namespace pw {

HtmlKeyForwarder::HtmlKeyForwarder(IsHtmlView isHtmlView) : m_isHtmlView(std::move(isHtmlView)) {}

bool HtmlKeyForwarder::isForwardedType(wxEventType type) {
    return type == wxEVT_KEY_DOWN || type == wxEVT_KEY_UP || type == wxEVT_CHAR ||
           type == wxEVT_RIGHT_DOWN;
}

bool HtmlKeyForwarder::isInsideWebView(const wxWindow* window) {
    return WebBrowser::isBrowserWindow(window);
}

void HtmlKeyForwarder::filter(wxEvent& event) {
    if (!m_target || !m_target->handle() || !isForwardedType(event.GetEventType())) {
        return;
    }
    const auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!window || window == m_target->handle() || !m_isHtmlView(window)) {
        return;
    }
    m_target->deliverForeign(event);
}

}  // namespace pw
