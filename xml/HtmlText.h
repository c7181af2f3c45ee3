// Plain text from the HTML markup that sentences, translations and
// explanations may carry: tags dropped, character references decoded.
#pragma once

#include <string>
#include <string_view>

namespace pw {

// html without its tags ("<...>" dropped), with complete character references
// decoded by decodeText; spaces and line breaks are kept. An "&" whose
// reference is broken by a space, a control or a non-ASCII character is kept
// as written with what follows it; one still open at the end is dropped.
std::u16string htmlToText(std::u16string_view html);

// Decodes character references and backslash escapes in text:
// - "&name;" gives the entity of lookupEntity, or "!" when there is none; a
//   name ends at the first non-letter, so "&sup2;" stays as written;
// - "&#65;" gives the UTF-16 unit of the decimal number (modulo 65536);
//   hexadecimal references stay as written;
// - a reference directly after one that gave "&" is decoded together with
//   that "&", so "&amp;lt;" gives "<";
// - "\n" gives CR LF, "\t" a tab, "\r" nothing, "\x" for any other x gives x;
// - CR and LF are dropped, or with newlinesToSpace a CR, LF or CR LF (any line
//   break followed by LF) becomes one space.
// A reference longer than ten characters is not a reference.
std::u16string decodeText(std::u16string_view text, bool newlinesToSpace);

// Appends what the backslash escape "\" + escaped stands for, as the stored
// texts write them: "n" gives CR LF, "t" a tab, "r" nothing, any other
// character itself.
void appendBackslashEscape(char16_t escaped, std::u16string& out);

// The character of a named HTML 4 entity ("eacute" -> "é"), or "" when the
// name (case-sensitive) is unknown. "nbsp" gives an ordinary space; "apos" is
// known; "euro", "fnof" and "rsaquo" are not.
std::u16string lookupEntity(std::u16string_view name);

}  // namespace pw
