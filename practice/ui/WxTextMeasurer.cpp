// Text measured with a wx font.
#include "practice/ui/WxTextMeasurer.h"

#include "core/Utf.h"
#include "gui/WxText.h"

namespace pw {

WxTextMeasurer::WxTextMeasurer(const wxFont& font) : m_bitmap(1, 1) {
    m_dc.SelectObject(m_bitmap);
    setFont(font);
}

void WxTextMeasurer::setFont(const wxFont& font) {
    m_font = font.IsOk() ? font : *wxNORMAL_FONT;
    m_dc.SetFont(m_font);
    m_widths.clear();
    m_lineWidths.clear();
    m_lineHeight = -1;
}

int WxTextMeasurer::lineHeight() const {
    if (m_lineHeight < 0) {
        m_lineHeight = m_dc.GetCharHeight();
    }
    return m_lineHeight;
}

int WxTextMeasurer::charWidth(char32_t ch) const {
    if (const auto it = m_widths.find(ch); it != m_widths.end()) {
        return it->second;
    }
    std::u16string text;
    appendCodePoint(text, ch);
    const int width = m_dc.GetTextExtent(toWx(text)).x;
    m_widths.emplace(ch, width);
    return width;
}

int WxTextMeasurer::textWidth(std::u16string_view text) const {
    if (text.empty()) {
        return 0;
    }
    std::u16string key(text);
    if (const auto it = m_lineWidths.find(key); it != m_lineWidths.end()) {
        return it->second;
    }
    // Bounded: the lines of the last few sentences are enough.
    constexpr size_t kKeptLines = 512;
    if (m_lineWidths.size() >= kKeptLines) {
        m_lineWidths.clear();
    }
    const int width = m_dc.GetTextExtent(toWx(text)).x;
    m_lineWidths.emplace(std::move(key), width);
    return width;
}

}  // namespace pw
