// The failure of reading or writing lyrics: a message, an error code, and the
// function and source line that raised it.
#pragma once

#include <string>

#include "core/Exception.h"

namespace pw {

class LyricsManagerException : public Exception {
public:
    enum Code : int {
        kCannotOpenFile = 1,
        kNoValidTag = 2,  // also a damaged tag, or one this reader cannot decode
        kNoLyricsFrame = 3,
        kLyricsListUnreadable = 4,
        kLrcFileFailed = 5,
        kSyltTagFailed = 6,
    };

    LyricsManagerException(std::u16string message, int code, std::string function, int line)
        : Exception(std::move(message), code, std::move(function), line) {}

    // The text shown to the user, one item a line:
    //   Function: <function>
    //   Line:     <line>
    //   Exception:
    //   <message, when there is one>
    //   ErrorCode: 0x<code in hexadecimal><the code's own text>   (codes other than 0)
    std::u16string fullMessage() const;

    // The text a code adds after "ErrorCode: 0x..", starting with a line break;
    // empty for codes without one.
    static std::u16string codeText(int code);
};

}  // namespace pw
