// Labels.
#include "gui/Label.h"

#include <algorithm>

namespace pw {

void Label::onPaint(Graphics& graphics) {
    const wxSize size = graphics.textExtent(getText());
    graphics.drawText(getText(), 0, std::max(0, (clientHeight() - size.y) / 2));
}

}  // namespace pw
