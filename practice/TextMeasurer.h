// How wide text is in a font, for word wrap and the layout of the drawn view.
// The view measures with its real fonts; tests and headless runs with a fixed
// width per character.
#pragma once

#include <string_view>

namespace pw {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Width in pixels of one character (a whole code point).
    virtual int charWidth(char32_t ch) const = 0;
    // Height in pixels of a line of text in the font.
    virtual int lineHeight() const = 0;
    // Width of a run of text without line breaks; by default the sum of its
    // characters, which a font with kerning may override.
    virtual int textWidth(std::u16string_view text) const;
};

// Every character below U+0100 is narrowWidth wide, every other one
// wideWidth: close enough to a real font for layout, exact for tests.
class FixedWidthMeasurer : public TextMeasurer {
public:
    FixedWidthMeasurer(int narrowWidth, int lineHeight, int wideWidth = 0)
        : m_narrow(narrowWidth),
          m_wide(wideWidth > 0 ? wideWidth : 2 * narrowWidth),
          m_height(lineHeight) {}
    int charWidth(char32_t ch) const override { return ch < 0x100 ? m_narrow : m_wide; }
    int lineHeight() const override { return m_height; }

private:
    int m_narrow;
    int m_wide;
    int m_height;
};

// The code point at text[i] and the number of units it takes (1 or 2); a lone
// surrogate is a character of its own.
inline char32_t codePointAt(std::u16string_view text, size_t i, size_t& units) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        units = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    units = 1;
    return c;
}

}  // namespace pw
