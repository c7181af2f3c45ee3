// Image strips.
#include "gui/ImageStrip.h"

#include <wx/image.h>
#include <wx/log.h>

namespace pw {

void enablePngImages() {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) {
        wxImage::AddHandler(new wxPNGHandler);
    }
}

std::vector<wxBitmap> loadImageStrip(const std::string& path, int imageWidth,
                                     const wxColour& transparent) {
    std::vector<wxBitmap> images;
    enablePngImages();
    wxImage strip;
    {
        wxLogNull quiet;  // a missing file means no images, not an error box
        if (imageWidth <= 0 || !strip.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_ANY)) {
            return images;
        }
    }
    if (transparent.IsOk()) {
        strip.SetMaskColour(transparent.Red(), transparent.Green(), transparent.Blue());
    }
    for (int x = 0; x + imageWidth <= strip.GetWidth(); x += imageWidth) {
        images.emplace_back(strip.GetSubImage(wxRect(x, 0, imageWidth, strip.GetHeight())));
    }
    return images;
}

}  // namespace pw
