// The speech engine's failure: a text, the function and line that raised it,
// and the engine's error code, laid out for a message box.
#pragma once

#include <cstdint>
#include <string>

#include "core/Exception.h"

namespace pw {

class SapiException : public Exception {
public:
    SapiException(std::u16string text, std::string function, int line, int32_t errorCode = 0);

    const std::u16string& text() const { return m_text; }
    int32_t errorCode() const { return code(); }

    // The text shown to the user:
    //   Function: <function>
    //   Line: <line>
    //   ----------------
    //   Exception:
    //   <text>
    //   ----------------
    //   HRESULT: 0x<code>        (only when the code is not 0)
    //   <the code in words>
    std::u16string describe() const;

protected:
    // The error code in words; engines that know their codes override it.
    virtual std::u16string codeText(int32_t errorCode) const;

private:
    std::u16string m_text;
};

}  // namespace pw
