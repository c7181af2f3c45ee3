// Drawing for components that paint themselves: a thin layer over a wx device
// context that speaks the program's UTF-16 text.
#pragma once

#include <string>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

namespace pw {

class Graphics {
public:
    explicit Graphics(wxDC& dc) : m_dc(dc) {}

    // The device context, for what this class does not offer.
    wxDC& dc() { return m_dc; }

    void setFont(const wxFont& font) { m_dc.SetFont(font); }
    void setTextColor(const wxColour& colour) { m_dc.SetTextForeground(colour); }

    void fillRect(const wxRect& rect, const wxColour& colour);
    void drawRect(const wxRect& rect, const wxColour& colour, int penWidth = 1);
    void drawLine(int x1, int y1, int x2, int y2, const wxColour& colour, int penWidth = 1);
    // Text with its top-left corner at (x, y), on a transparent background.
    void drawText(const std::u16string& text, int x, int y);
    // Text aligned in rect (wxALIGN_... flags); an "&" is drawn as it is.
    void drawText(const std::u16string& text, const wxRect& rect,
                  int alignment = wxALIGN_LEFT | wxALIGN_CENTRE_VERTICAL);
    wxSize textExtent(const std::u16string& text) const;

private:
    wxDC& m_dc;
};

}  // namespace pw
