// Window pictures.
#include "app/ScreenCapture.h"

#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <wx/window.h>

#include "core/SafeFile.h"
#include "gui/ImageStrip.h"

namespace pw {

bool captureWindow(wxWindow* window, const std::string& path, std::string* error) {
    const auto fail = [error](const char* reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    if (!window || !window->IsShownOnScreen()) {
        return fail("the window is not on screen");
    }
    const wxSize size = window->GetClientSize();
    if (size.x <= 0 || size.y <= 0) {
        return fail("the window has no area");
    }
    wxBitmap bitmap(size.x, size.y, 24);
    {
        wxClientDC screen(window);
        wxMemoryDC memory(bitmap);
        if (!memory.Blit(0, 0, size.x, size.y, &screen, 0, 0)) {
            return fail("the display could not be read");
        }
    }
    enablePngImages();
    wxMemoryOutputStream png;
    if (!bitmap.ConvertToImage().SaveFile(png, wxBITMAP_TYPE_PNG)) {
        return fail("the picture could not be encoded");
    }
    std::string bytes(png.GetLength(), '\0');
    png.CopyTo(bytes.data(), bytes.size());
    return replaceFileContents(path, bytes, error);
}

}  // namespace pw
