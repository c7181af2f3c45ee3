// UTF-16 and wxString.
#include "gui/WxText.h"

#include "core/Utf.h"

namespace pw {

wxString toWx(std::u16string_view text) {
    return wxString::FromUTF8(toUtf8(text));
}

std::u16string fromWx(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return fromUtf8(std::string_view(utf8.data(), utf8.length()));
}

}  // namespace pw
