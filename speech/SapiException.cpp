// Speech engine failures.
#include "speech/SapiException.h"

#include <cstdio>

namespace pw {

SapiException::SapiException(std::u16string text, std::string function, int line, int32_t errorCode)
    : Exception(text, errorCode, std::move(function), line), m_text(std::move(text)) {}

std::u16string SapiException::codeText(int32_t) const {
    return u"Unexpected HRESULT";
}

std::u16string SapiException::describe() const {
    const std::u16string rule = u"----------------\n";
    std::u16string out = u"Function: " + fromUtf8(function()) + u"\n";
    out += u"Line: " + fromUtf8(std::to_string(line())) + u"\n";
    out += rule;
    out += u"Exception:\n";
    out += m_text + u"\n";
    out += rule;
    if (errorCode() != 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(errorCode()));
        out += u"HRESULT: " + fromUtf8(hex) + u"\n";
        out += codeText(errorCode()) + u"\n";
    }
    return out;
}

}  // namespace pw
