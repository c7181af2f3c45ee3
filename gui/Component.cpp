// Components: listeners, hover, focus movement and painting.
#include "gui/Component.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/panel.h>

namespace pw {

void Component::addListener(EventListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end()) {
        m_listeners.push_back(listener);
    }
}

void Component::removeListener(EventListener* listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                      m_listeners.end());
}

void Component::fireAction(int command) {
    // A copy, since a listener may remove itself.
    const auto listeners = m_listeners;
    for (auto* listener : listeners) {
        if (auto* action = dynamic_cast<ActionListener*>(listener)) {
            action->actionPerformed(*this, command);
        }
    }
}

void Component::fireMouse(const MouseInput& mouse) {
    const auto listeners = m_listeners;
    for (auto* listener : listeners) {
        if (auto* mouseListener = dynamic_cast<MouseListener*>(listener)) {
            mouseListener->mouseEvent(*this, mouse);
        }
    }
}

bool Component::isKeyboardMenu(const wxEvent& event) {
    return static_cast<const wxContextMenuEvent&>(event).GetPosition() == wxDefaultPosition;
}

wxPoint Component::menuPoint(const wxEvent& event, const wxRect& itemRect) const {
    if (isKeyboardMenu(event)) {
        return wxPoint(itemRect.x + itemRect.height, itemRect.y + itemRect.height / 2);
    }
    return handle()->ScreenToClient(static_cast<const wxContextMenuEvent&>(event).GetPosition());
}

void Component::setEnabled(bool enabled) {
    m_hover = false;
    m_pressed = false;
    BaseWindow::setEnabled(enabled);
    invalidate();
}

void Component::moveFocus(bool forward) {
    if (wxWindow* window = handle()) {
        window->Navigate(forward ? wxNavigationKeyEvent::IsForward
                                 : wxNavigationKeyEvent::IsBackward);
    }
}

bool Component::onKeyDown(const KeyInput& key) {
    if (key.keyCode == WXK_TAB && !key.control && !key.alt) {
        moveFocus(!key.shift);
        return true;
    }
    return false;
}

bool Component::onMouse(const MouseInput& mouse) {
    const bool hover = m_hover;
    const bool pressed = m_pressed;
    switch (mouse.action) {
        case MouseInput::Enter:
            m_hover = true;
            break;
        case MouseInput::Leave:
            m_hover = false;
            m_pressed = false;
            break;
        case MouseInput::Down:
        case MouseInput::DoubleClick:
            m_pressed = mouse.button == MouseInput::Left;
            break;
        case MouseInput::Up:
            m_pressed = false;
            break;
        default:
            break;
    }
    if (m_ownerDrawn && (hover != m_hover || pressed != m_pressed)) {
        invalidate();
    }
    fireMouse(mouse);
    return false;
}

void Component::onFocus(bool) {
    if (m_ownerDrawn) {
        invalidate();  // owner-drawn controls show the focus themselves
    }
}

wxWindow* Component::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return BaseWindow::createWindow(parent, pos, size);
    }
    auto* panel = new wxPanel(parent, wxID_ANY, pos, size,
                              wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE | wxCLIP_CHILDREN);
    panel->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_ownerDrawn = true;
    return panel;
}

void Component::bindControlEvents() {
    if (m_ownerDrawn) {
        listen(wxEVT_PAINT);
    }
}

bool Component::windowProc(wxEvent& event) {
    if (event.GetEventType() == wxEVT_PAINT && m_ownerDrawn) {
        wxAutoBufferedPaintDC dc(handle());
        Graphics graphics(dc);
        graphics.fillRect(wxRect(handle()->GetClientSize()), handle()->GetBackgroundColour());
        graphics.setFont(handle()->GetFont());
        graphics.setTextColor(handle()->GetForegroundColour());
        onPaint(graphics);
        return true;
    }
    return BaseWindow::windowProc(event);
}

void Component::onPaint(Graphics&) {}

}  // namespace pw
