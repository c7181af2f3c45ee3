// A text editor's context menu in tests: opened as the toolkit opens it from
// the keyboard, answered with the item chosen, and what it offered kept.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <wx/event.h>
#include <wx/window.h>

#include "gui/testsupport/GuiTest.h"

namespace pw::test {

class ContextMenu {
public:
    using Items = std::vector<std::pair<std::u16string, bool>>;  // text, enabled

    // Opens the menu of control and answers it with id (0: dismissed).
    void open(wxWindow* control, int id = 0) {
        choose = id;
        wxContextMenuEvent event(wxEVT_CONTEXT_MENU, control->GetId(), wxDefaultPosition);
        event.SetEventObject(control);
        control->GetEventHandler()->ProcessEvent(event);
    }

    Items offered;  // of the last menu

private:
    int choose = 0;
    ScopedMenuChooser m_chooser{[this](const PopupMenu& menu) {
        offered.clear();
        for (int id : menu.itemIds()) {
            offered.push_back({menu.text(id), menu.isEnabled(id)});
        }
        return choose;
    }};
};

}  // namespace pw::test
