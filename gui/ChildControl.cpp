// Child controls of panes.
#include "gui/ChildControl.h"

#include <wx/window.h>

#include "gui/Label.h"

namespace pw {

void createChildControl(BaseWindow& control, wxWindow* parent, const std::u16string& text,
                        const std::u16string& tip, CommandReceiver* target) {
    if (!text.empty()) {
        control.setText(text);
    }
    control.create(parent, 0, 0, 120, 60);
    if (!tip.empty()) {
        control.setToolTip(tip);
    }
    if (dynamic_cast<Label*>(&control) && parent) {
        control.setBackColor(parent->GetBackgroundColour());
    }
    if (target) {
        control.setCommandTarget(target);
    }
}

}  // namespace pw
