// The colours of the practice view, answered by index.
#pragma once

#include <cstdint>
#include <string>

namespace pw {

// A colour in the layout 0x00BBGGRR.
using ColorValue = uint32_t;

constexpr ColorValue makeColor(int red, int green, int blue) {
    return static_cast<ColorValue>(red & 0xFF) | static_cast<ColorValue>(green & 0xFF) << 8 |
           static_cast<ColorValue>(blue & 0xFF) << 16;
}
constexpr int colorRed(ColorValue c) {
    return c & 0xFF;
}
constexpr int colorGreen(ColorValue c) {
    return (c >> 8) & 0xFF;
}
constexpr int colorBlue(ColorValue c) {
    return (c >> 16) & 0xFF;
}

// The indexes of the theme colours.
enum ThemeColor : int {
    kTextColor = 0,
    kBackgroundColor = 1,
    kTranslationTextColor = 2,
    kSelectionColor = 3,
    kHintTextColor = 4,
    kPatternColor1 = 5,
    kPatternColor2 = 6,
};

class StyleLister {
public:
    virtual ~StyleLister() = default;
    // The colour of index, or 1 for an index outside 0 to colorCount() - 1.
    virtual ColorValue getColor(int index) const = 0;
    virtual int colorCount() const = 0;
    // The attribute that holds colour index in a theme; empty for other indexes.
    virtual std::string colorKey(int index) const = 0;
    virtual void setColor(int index, ColorValue color) = 0;
};

}  // namespace pw
