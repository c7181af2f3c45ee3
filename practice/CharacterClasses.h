// The character classes of typing: what the learner types and what is filled
// in, and how letters compare. All tests are on 16-bit code units.
#pragma once

namespace pw::typing {

// ASCII letters and digits, the space and the apostrophe: the only characters
// the learner ever types.
constexpr bool isWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u' ' || c == u'\'';
}

// A word character other than the space.
constexpr bool isWordStartChar(char16_t c) {
    return c > u' ' && isWordChar(c);
}

// The C-locale upper-case mapping: a-z to A-Z, everything else unchanged.
constexpr char16_t upperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// A period followed by one of these belongs to the word (U.S., 3.5).
constexpr bool continuesAfterPeriod(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

}  // namespace pw::typing
