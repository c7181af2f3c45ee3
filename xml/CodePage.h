// Conversions between the program's UTF-16 text and the legacy code pages that
// text files use (the locale's code page, CP932, CP950, EUC-JP), through iconv.
#pragma once

#include <string>
#include <string_view>

namespace pw {

// iconv names of the code pages the program converts to and from.
inline constexpr const char* kCharsetCp932 = "CP932";  // Shift_JIS as Windows writes it
inline constexpr const char* kCharsetCp950 = "CP950";  // Traditional Chinese (Big5)
// EUC-JP with the Windows (code page 20932) mappings, so that text read back
// through CP932 gives the same characters ("～" is A1 C1 in both).
inline constexpr const char* kCharsetEucJp = "EUC-JP-MS";

// The legacy code page of a locale name such as "ja_JP.UTF-8": CP932 for
// Japanese, CP950 for Traditional Chinese (zh_TW, zh_HK, zh_MO), CP936 for other
// Chinese, CP949 for Korean and CP1252 for everything else.
const char* codePageForLocale(std::string_view locale);

// The "system code page" of text files: the code page of the first of LC_ALL,
// LC_CTYPE and LANG that is set. Read on each call.
const char* systemCodePage();

// Decodes bytes in charset. Bytes that the charset does not define become
// U+FFFD each, so decoding always succeeds.
std::u16string decodeCodePage(std::string_view bytes, const char* charset);

// Encodes text in charset into out. False when some character has no encoding
// there (or the charset is unknown); out is then unspecified.
bool encodeCodePage(std::u16string_view text, const char* charset, std::string& out);

// Decodes EUC-JP: JIS X 0208 pairs and half-width katakana as their
// Shift_JIS forms read through CP932 (so NEC and IBM extensions come out as
// Windows shows them), three-byte sequences (0x8F prefix: JIS X 0212, such as
// é or rare kanji) as the characters they are. Undefined sequences become
// U+FFFD.
std::u16string decodeEucJp(std::string_view bytes);

// Encodes text in EUC-JP so that decodeEucJp gives it back: the two-byte form
// the decoder reads (the first where there are several), else the
// three-byte one. False when some character has no such form; out is then
// unspecified. Text decoded from EUC-JP encodes to the same bytes, save for
// sequences that are duplicates of others.
bool encodeEucJp(std::u16string_view text, std::string& out);

// Rewrites EUC-JP bytes as Shift_JIS in place: each JIS X 0208 pair (both bytes
// 0xA1..0xFE) becomes its Shift_JIS pair, a half-width katakana (0x8E prefix)
// its single Shift_JIS byte, and a JIS X 0212 character (0x8F prefix), which
// Shift_JIS lacks, the geta mark "〓". Other bytes stay. The result is never
// longer than the input.
void eucJpToShiftJis(std::string& bytes);

}  // namespace pw
