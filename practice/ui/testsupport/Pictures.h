// Reading back what the practice pane drew, for tests that check colours in
// a picture of it.
#pragma once

#include <wx/image.h>

namespace pw::test {

// The number of pixels of image in exactly the colour (r, g, b).
inline int countColour(const wxImage& image, int r, int g, int b) {
    int count = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            count +=
                image.GetRed(x, y) == r && image.GetGreen(x, y) == g && image.GetBlue(x, y) == b;
        }
    }
    return count;
}

}  // namespace pw::test
