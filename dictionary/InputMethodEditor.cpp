// The readings of a text, piece by piece, from the words of its analysis.
#include "dictionary/InputMethodEditor.h"

#include <algorithm>

#include "xml/Element.h"

namespace pw {
namespace {

constexpr char16_t kKanaShift = 0x60;

bool isHiragana(char16_t c) {
    return c >= 0x3041 && c <= 0x309F;
}
bool isKatakana(char16_t c) {
    return c >= 0x30A1 && c <= 0x30FF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A cut point after c (1), before it (0), or none (-1).
int cutAt(char16_t c) {
    if (c < 0x21 || c == u'、' || c == u'。' || c == u'．' || c == u'？') {
        return 1;
    }
    return c < 0x100 ? 0 : -1;
}

void appendRuby(std::u16string& out, std::u16string_view display, std::u16string_view reading) {
    out += u"<ruby><rb>";
    Element::appendEscaped(out, display);
    out += u"</rb><rp>(</rp><rt>";
    Element::appendEscaped(out, reading);
    out += u"</rt><rp>)</rp></ruby>";
}

}  // namespace

std::u16string toKatakana(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= 0x3041 && c <= 0x3094) {
            c = static_cast<char16_t>(c + kKanaShift);
        }
    }
    return out;
}

std::u16string toHiragana(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= 0x30A1 && c <= 0x30F4) {
            c = static_cast<char16_t>(c - kKanaShift);
        }
    }
    return out;
}

bool isKanaWord(std::u16string_view text) {
    if (text.size() == 1 && text[0] < 0x100) {
        return true;
    }
    return std::all_of(text.begin(), text.end(),
                       [](char16_t c) { return isHiragana(c) || isKatakana(c); });
}

InputMethodEditor::~InputMethodEditor() = default;

void InputMethodEditor::close() {
    m_opened = false;
    m_identifier.clear();
}

std::vector<size_t> InputMethodEditor::pieceEnds(std::u16string_view text) {
    std::vector<size_t> ends;
    if (text.size() <= kMaxRequest) {
        if (!text.empty()) {
            ends.push_back(text.size());
        }
        return ends;
    }
    size_t start = 0;
    size_t cut = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int at = cutAt(text[i]);
        if (at >= 0) {
            cut = i + static_cast<size_t>(at);
        }
        if (i - start <= kCutAfter) {
            continue;
        }
        size_t end = std::min(cut, start + kMaxRequest);
        if (end <= start) {
            // No cut point yet: wait for one, but never past a request's length.
            if (i + 1 - start < kMaxRequest) {
                continue;
            }
            end = start + kMaxRequest;
            if (end < text.size() && isLowSurrogate(text[end])) {
                --end;
            }
        }
        ends.push_back(end);
        start = end;
        i = end - 1;  // scanning goes on at the piece's end
    }
    if (start < text.size()) {
        ends.push_back(text.size());
    }
    return ends;
}

std::u16string InputMethodEditor::convertPiece(std::u16string_view piece, bool ruby) {
    const std::optional<std::vector<MorphWord>> words = analyse(piece);
    // A failed request keeps its text rather than dropping it from speech.
    if (!words) {
        return ruby ? Element::escape(piece) : std::u16string(piece);
    }
    std::u16string out;
    for (const MorphWord& word : *words) {
        if (word.reading == word.display || word.reading.empty() || isKanaWord(word.display)) {
            if (ruby) {
                Element::appendEscaped(out, word.display);
            } else {
                out += word.display;
            }
        } else if (ruby) {
            appendRuby(out, word.display, word.reading);
        } else {
            out += u' ';
            out += toKatakana(word.reading);
            out += u' ';
        }
    }
    return out;
}

std::u16string InputMethodEditor::reading(std::u16string_view text, bool ruby) {
    if (!m_opened) {
        return {};
    }
    std::u16string out;
    size_t start = 0;
    for (const size_t end : pieceEnds(text)) {
        out += convertPiece(text.substr(start, end - start), ruby);
        start = end;
    }
    return out;
}

std::u16string InputMethodEditor::phonetic(std::u16string_view text) {
    if (!m_opened) {
        return {};
    }
    std::u16string out;
    size_t start = 0;
    for (const size_t end : pieceEnds(text)) {
        const auto words = analyse(text.substr(start, end - start));
        if (!words) {
            return {};
        }
        for (const MorphWord& word : *words) {
            out += word.reading.empty() ? word.display : toKatakana(word.reading);
        }
        start = end;
    }
    return out;
}

}  // namespace pw
