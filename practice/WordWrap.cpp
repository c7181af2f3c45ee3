// Word wrap measured character by character.
#include "practice/WordWrap.h"

namespace pw {
namespace {

// Printable ASCII (and U+0080) does not end a word for wrapping.
bool keepsWordTogether(char16_t c) {
    return c >= 0x21 && c <= 0x80;
}

}  // namespace

std::u16string wrapText(std::u16string_view source, int wrapWidth, const TextMeasurer& font) {
    std::u16string text;
    text.reserve(source.size());
    for (char16_t c : source) {
        if (c != u'\r') {
            text.push_back(c);
        }
    }
    std::u16string out;
    out.reserve(text.size() + 16);
    const size_t n = text.size();
    size_t lineStart = 0;
    size_t i = 0;
    int width = 0;
    while (i < n) {
        if (text[i] == u'\n') {
            out.append(text, lineStart, i + 1 - lineStart);
            lineStart = ++i;
            width = 0;
            continue;
        }
        size_t units = 1;
        width += font.charWidth(codePointAt(text, i, units));
        if (width < wrapWidth) {
            i += units;
            continue;
        }
        size_t breakAt = i + units;  // after a space or another word-ending character
        if (keepsWordTogether(text[i])) {
            size_t j = i;
            while (j > lineStart && keepsWordTogether(text[j - 1])) {
                --j;
            }
            breakAt = j > lineStart ? j : i;
        }
        if (breakAt == lineStart) {
            breakAt = i + units;
        }
        out.append(text, lineStart, breakAt - lineStart);
        if (breakAt >= n) {
            return out;  // no empty line after the last character
        }
        out += u"\r\n";
        lineStart = i = breakAt;
        width = 0;
    }
    out.append(text, lineStart, n - lineStart);
    return out;
}

std::vector<std::u16string> splitLines(std::u16string_view text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\n') {
            lines.emplace_back();
        } else if (c != u'\r') {
            lines.back().push_back(c);
        }
    }
    return lines;
}

}  // namespace pw
