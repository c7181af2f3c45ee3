// Keys and right-button presses aimed at the HTML view also go to the content
// pane first, so practice works while the focus is inside the exercise page.
// The application calls filter() for every event before wx handles it.
#pragma once

#include <functional>

#include <wx/event.h>

class wxWindow;

namespace pw {

class BaseWindow;

class HtmlKeyForwarder {
public:
    using IsHtmlView = std::function<bool(const wxWindow*)>;

    explicit HtmlKeyForwarder(IsHtmlView isHtmlView = &isInsideWebView);

    // The window that gets the events; null stops forwarding.
    void setTarget(BaseWindow* target) { m_target = target; }

    // Hands a copy of a key or right-button event aimed at an HTML view to the
    // target; the event then goes on to its own window as usual.
    void filter(wxEvent& event);

    static bool isForwardedType(wxEventType type);
    // True for the window of a WebBrowser or a window inside one.
    static bool isInsideWebView(const wxWindow* window);

private:
    IsHtmlView m_isHtmlView;
    BaseWindow* m_target = nullptr;
};

}  // namespace pw
