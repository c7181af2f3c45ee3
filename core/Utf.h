// Conversions between the program's UTF-16 text and UTF-8 at the edges.
#pragma once

#include <string>
#include <string_view>

namespace pw {

// Lone surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD, one for each maximal bad subsequence.
std::u16string fromUtf8(std::string_view text);
// Appends the conversion of text to out, as fromUtf8 would give it.
void appendUtf8(std::u16string& out, std::string_view text);

// Appends code point cp (at most 0x10FFFF) as UTF-16.
void appendCodePoint(std::u16string& out, char32_t cp);

// ASCII-only case folding, for names that the program compares without case.
std::string asciiLower(std::string_view text);

}  // namespace pw
