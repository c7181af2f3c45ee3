// Images for tool bars and trees, cut from one bitmap holding a row of equal
// images side by side.
#pragma once

#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/colour.h>

namespace pw {

// The images of the strip at path (UTF-8), each imageWidth wide and as high as
// the strip, with pixels of the transparent colour see-through. Empty when the
// file cannot be read.
std::vector<wxBitmap> loadImageStrip(const std::string& path, int imageWidth,
                                     const wxColour& transparent);

// Makes PNG files readable (BMP always is); cheap when already done.
void enablePngImages();

}  // namespace pw
