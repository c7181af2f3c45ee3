// Conversions between the program's UTF-16 text and wxString at the toolkit edge.
#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

namespace pw {

wxString toWx(std::u16string_view text);
std::u16string fromWx(const wxString& text);

}  // namespace pw
