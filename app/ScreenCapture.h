// Pictures of the program's own windows, as the display shows them: the
// screenshots of the documentation and the start-up check of scripts/run.sh.
#pragma once

#include <string>

class wxWindow;

namespace pw {

// Writes the client area of window, children included, as a PNG file.
// False with the reason in error when there is nothing to capture or the
// file cannot be written.
bool captureWindow(wxWindow* window, const std::string& path, std::string* error = nullptr);

}  // namespace pw
