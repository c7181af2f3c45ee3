// A container with a caption drawn in a frame around its children; the base
// of group boxes and of panes that show a titled group of controls.
#pragma once

#include "gui/Component.h"

namespace pw {

class GroupComponent : public Component {
public:
    // The caption is the window text (setText).
    // The area inside the frame where the children go, in client coordinates.
    wxRect clientArea() const;

protected:
    void onPaint(Graphics& graphics) override;
};

}  // namespace pw
