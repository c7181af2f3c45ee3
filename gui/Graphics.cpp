// Drawing helpers.
#include "gui/Graphics.h"

#include <wx/brush.h>
#include <wx/pen.h>

#include "gui/WxText.h"

namespace pw {

void Graphics::fillRect(const wxRect& rect, const wxColour& colour) {
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBrush(wxBrush(colour));
    m_dc.DrawRectangle(rect);
}

void Graphics::drawRect(const wxRect& rect, const wxColour& colour, int penWidth) {
    m_dc.SetPen(wxPen(colour, penWidth));
    m_dc.SetBrush(*wxTRANSPARENT_BRUSH);
    m_dc.DrawRectangle(rect);
}

void Graphics::drawLine(int x1, int y1, int x2, int y2, const wxColour& colour, int penWidth) {
    m_dc.SetPen(wxPen(colour, penWidth));
    m_dc.DrawLine(x1, y1, x2, y2);
}

void Graphics::drawText(const std::u16string& text, int x, int y) {
    m_dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    m_dc.DrawText(toWx(text), x, y);
}

void Graphics::drawText(const std::u16string& text, const wxRect& rect, int alignment) {
    m_dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    wxString label = toWx(text);
    label.Replace("&", "&&");  // DrawLabel would take "&" for a mnemonic
    m_dc.DrawLabel(label, rect, alignment);
}

wxSize Graphics::textExtent(const std::u16string& text) const {
    return m_dc.GetMultiLineTextExtent(toWx(text));
}

}  // namespace pw
