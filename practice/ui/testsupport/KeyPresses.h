// What a learner does to the practice pane, for tests, the benchmark and the
// screenshot tool that drive it without a keyboard or a mouse: key presses
// delivered as the toolkit delivers them (key-down, then the character unless
// the key-down was used, then key-up), and the native events of a control
// the learner changed.
#pragma once

#include <wx/event.h>
#include <wx/window.h>

namespace pw::test {

// The control's own event of type, as if the learner had used it (set the
// control's new value first).
inline void sendNative(wxWindow* control, wxEventType type, int value = 0) {
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(value);
    control->ProcessWindowEvent(event);
}

inline wxKeyEvent makeKeyEvent(wxEventType type, wxWindow* target, int keyCode, wxChar ch,
                               bool control) {
    wxKeyEvent event(type);
    event.m_keyCode = keyCode;
    event.m_uniChar = ch;
    event.SetControlDown(control);
    event.SetEventObject(target);
    event.SetId(target->GetId());
    return event;
}

// keyCode: a WXK_ code, or the character for a printable key.
inline void pressKey(wxWindow* target, int keyCode, wxChar ch = 0, bool control = false) {
    wxKeyEvent down = makeKeyEvent(wxEVT_KEY_DOWN, target, keyCode, ch, control);
    if (!target->GetEventHandler()->ProcessEvent(down) && ch != 0) {
        wxKeyEvent typed = makeKeyEvent(wxEVT_CHAR, target, ch, ch, control);
        target->GetEventHandler()->ProcessEvent(typed);
    }
    wxKeyEvent up = makeKeyEvent(wxEVT_KEY_UP, target, keyCode, ch, control);
    target->GetEventHandler()->ProcessEvent(up);
}

// A typed character: its key code is the upper-case letter, as for a real key.
inline void typeChar(wxWindow* target, wxChar ch) {
    const int keyCode = ch == ' ' ? WXK_SPACE : (ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    pressKey(target, keyCode, ch);
}

}  // namespace pw::test
