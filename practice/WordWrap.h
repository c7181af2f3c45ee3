// Word wrap of sentences and translations to the width of the sentence area.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "practice/TextMeasurer.h"

namespace pw {

// source broken into lines no wider than wrapWidth as font measures them,
// one character at a time. Carriage returns are dropped and a line feed ends
// a line; a line that reaches wrapWidth breaks after its last character that
// is not printable ASCII (normally a space), or, when the line has none, before
// the character that reached the width. Breaks are written as CR LF. A line
// always keeps at least one character, so a width narrower than a character
// still ends.
std::u16string wrapText(std::u16string_view source, int wrapWidth, const TextMeasurer& font);

// text split at its line feeds, without carriage returns: the lines of a
// wrapped text.
std::vector<std::u16string> splitLines(std::u16string_view text);

// The wrap width of an area: its width less the font's line height.
inline int wrapWidthFor(int areaWidth, const TextMeasurer& font) {
    return areaWidth - font.lineHeight();
}

}  // namespace pw
