// The body of a synchronised-lyrics frame (SYLT; SLT in ID3v2.2): text
// encoding, language, time-stamp format, content type, a content descriptor,
// then entries of a terminated text and a 4-byte big-endian time.
#pragma once

#include <string_view>

#include "audio/LyricsInfo.h"

namespace pw {

namespace sylt {

enum TextEncoding : unsigned char {
    kLatin1 = 0,
    kUtf16 = 1,    // each text may open with a byte-order mark
    kUtf16Be = 2,  // ID3v2.4
    kUtf8 = 3,     // ID3v2.4
};

inline constexpr size_t kHeaderSize = 6;

// Appends the entries of body to lyrics. Times are taken as milliseconds
// whatever the frame's time-stamp format says. An entry cut off by the end of
// the frame (an unterminated text, a short time, a lone byte of UTF-16) ends
// the list; lone surrogates become U+FFFD. False when body is shorter than
// the fixed header.
bool readBody(std::string_view body, LyricsInfo& lyrics);

}  // namespace sylt

}  // namespace pw
