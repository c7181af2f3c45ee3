// A line of text beside a control, drawn by the label itself and centred
// vertically in it; the text is the window text (setText).
#pragma once

#include "gui/Component.h"

namespace pw {

class Label : public Component {
protected:
    void onPaint(Graphics& graphics) override;
};

}  // namespace pw
