// A control with listeners, hover and pressed state, and keyboard focus
// movement: Tab and Shift+Tab move the focus to the next or previous control.
// Created as is it is an owner-drawn control: override onPaint. The native
// controls (buttons, combo box, slider, ...) derive from it and keep the
// listeners and the focus movement.
#pragma once

#include <vector>

#include "gui/BaseWindow.h"
#include "gui/Graphics.h"
#include "gui/Listeners.h"

namespace pw {

class Component : public BaseWindow {
public:
    // Listeners are not owned and must be removed before they die.
    void addListener(EventListener* listener);
    void removeListener(EventListener* listener);

    bool isHover() const { return m_hover; }
    bool isPressed() const { return m_pressed; }

    // Also clears the hover state and repaints.
    void setEnabled(bool enabled) override;

    // Moves the focus to the next (or previous) control of the parent.
    void moveFocus(bool forward);

    bool onKeyDown(const KeyInput& key) override;
    bool onMouse(const MouseInput& mouse) override;
    void onFocus(bool gained) override;
    bool windowProc(wxEvent& event) override;

protected:
    // Owner-drawn components paint here; the background is already filled
    // with the back colour.
    virtual void onPaint(Graphics& graphics);

    void fireAction(int command);
    void fireMouse(const MouseInput& mouse);

    // Context menus (wxEVT_CONTEXT_MENU): one asked for from the keyboard has
    // no point of its own. menuPoint is the point to show it at, in client
    // coordinates: the mouse's, or beside itemRect (the focused row or item,
    // empty when none) for the keyboard.
    static bool isKeyboardMenu(const wxEvent& event);
    wxPoint menuPoint(const wxEvent& event, const wxRect& itemRect) const;

    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    // Derived owner-drawn classes that bind more events call this first.
    void bindControlEvents() override;

private:
    std::vector<EventListener*> m_listeners;
    bool m_hover = false;
    bool m_pressed = false;
    bool m_ownerDrawn = false;
};

}  // namespace pw
