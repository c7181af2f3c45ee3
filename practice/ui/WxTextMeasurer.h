// How wide text is in a real font: the practice view wraps and lays out the
// sentence and the translation with these.
#pragma once

#include <string>
#include <unordered_map>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/font.h>

#include "practice/TextMeasurer.h"

namespace pw {

class WxTextMeasurer : public TextMeasurer {
public:
    explicit WxTextMeasurer(const wxFont& font = *wxNORMAL_FONT);
    WxTextMeasurer(const WxTextMeasurer&) = delete;
    WxTextMeasurer& operator=(const WxTextMeasurer&) = delete;

    void setFont(const wxFont& font);
    const wxFont& font() const { return m_font; }

    // Widths of single characters are kept, since wrapping asks for every
    // character of every sentence.
    int charWidth(char32_t ch) const override;
    int lineHeight() const override;
    // Measured as a whole, as it is drawn (kerning included). Lines are kept
    // too: typing changes one line of the sentence at a time, and the view
    // measures every line for each key.
    int textWidth(std::u16string_view text) const override;

private:
    wxFont m_font;
    wxBitmap m_bitmap;
    mutable wxMemoryDC m_dc;
    mutable std::unordered_map<char32_t, int> m_widths;
    mutable std::unordered_map<std::u16string, int> m_lineWidths;
    // Asked for when first needed: finding the font's metrics loads the font,
    // which the start screen does not need for the sentence's fonts.
    mutable int m_lineHeight = -1;
};

}  // namespace pw
