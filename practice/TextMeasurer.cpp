// The default width of a run of text.
#include "practice/TextMeasurer.h"

namespace pw {

int TextMeasurer::textWidth(std::u16string_view text) const {
    int width = 0;
    for (size_t i = 0, units = 0; i < text.size(); i += units) {
        width += charWidth(codePointAt(text, i, units));
    }
    return width;
}

}  // namespace pw
