// Text files in the encodings that users' editors produce: the encoding codes,
// reading with byte-order marks and detection, and writing with marks.
#pragma once

#include <string>
#include <string_view>

namespace pw {

// Text encoding codes, shared by readers, writers and callers (and stored in
// settings as these numbers).
enum TextEncoding : int {
    kDetectEncoding = -1,  // reading: detect; writing: as kUtf16
    kSystemCodePage = 0,   // the locale's legacy code page (see systemCodePage())
    kUtf16 = 1,            // little-endian, written with the mark FF FE
    kUtf8 = 2,             // no mark
    kUtf8WithBom = 3,      // mark EF BB BF
    kCodePage950 = 4,      // Traditional Chinese
    kEucJp = 5,
    kBinary = 6,  // not text: read as the system code page, never written
};

// Reads a whole text file into out and returns the encoding code it was read
// with. A byte-order mark decides first; otherwise hint is used, or with
// kDetectEncoding the encoding is detected (see detectEncoding). An empty file
// gives empty text and hint (kUtf16 when detecting). The text ends at the first
// NUL character. Returns -1, leaving out unchanged, when the file cannot be read.
int readTextFile(const std::string& path, std::u16string& out, int hint = kDetectEncoding);
int readTextFile(const std::u16string& path, std::u16string& out, int hint = kDetectEncoding);

// Replaces the file's content with the mark of code and text encoded in code.
// The file is replaced safely: on any failure (the file cannot be written, a
// character has no encoding in code, or code is kBinary, which has no text
// form) the old file stays exactly as it was, false is returned and error (when
// given) says why. No line-end conversion is done.
bool writeTextFile(const std::string& path, std::u16string_view text, int code,
                   std::string* error = nullptr);
bool writeTextFile(const std::u16string& path, std::u16string_view text, int code,
                   std::string* error = nullptr);

// The code of an encoding name as the user picks it for lyrics files:
// "Shift_JIS"/"ANSI" 0, "UTF-16" 1, "EUC-JP" 5, "UTF-8"/"UTF8" 2, "UTF-8N" 3,
// "Binary" 6, anything else 0. Case-sensitive.
int encodingFromName(std::u16string_view name);

// The same rules on bytes in memory, for callers that already hold them.
// decodeTextBytes may modify bytes (it converts EUC-JP in place).
int decodeTextBytes(std::string& bytes, std::u16string& out, int hint = kDetectEncoding);
// Encodes text with the mark of code; false as for writeTextFile.
bool encodeTextBytes(std::u16string_view text, int code, std::string& bytes);

// Detection of bytes without a byte-order mark, in this order: kBinary when
// they hold a NUL; kUtf8 when they are non-ASCII text well-formed in UTF-8
// throughout; when they are well-formed both as EUC-JP and as Shift_JIS, the
// one the XML declaration at their start names, else the reading that looks
// more like Japanese text (kana, common kanji and punctuation in their places)
// with kEucJp on a tie; kEucJp when only EUC-JP is well-formed throughout;
// kSystemCodePage when they are well-formed Shift_JIS (ASCII included);
// kSystemCodePage when neither the UTF-8 nor the EUC-JP count comes within
// 100 bytes of the size; otherwise kEucJp when the UTF-8 count is not above
// the EUC-JP count, else kUtf8, but kSystemCodePage when the Shift_JIS count
// beats both.
int detectEncoding(std::string_view bytes);

// The first step of detection, in one pass: kBinary when the bytes hold a
// NUL, kSystemCodePage when they are ASCII, kUtf8 when they are well-formed
// UTF-8 (no overlong forms, surrogates or values above U+10FFFF), -1
// otherwise. Vectorised where the processor allows, unless told not to.
int classifyUtf8(std::string_view bytes, bool vectorised = true);

// The encoding named by an XML declaration at the start of bytes, keeping
// only its letters and digits in upper case ("Shift_JIS" gives "SHIFTJIS");
// empty when there is none.
std::string declaredXmlEncoding(std::string_view bytes);

// The number of bytes that form well-formed sequences of each encoding; bytes
// that fit no sequence are skipped. shiftJisCount is -1 when a NUL is present;
// eucJpCount is 0 as soon as a byte of 0x80 or more (not the last) fits nothing.
long long shiftJisCount(std::string_view bytes);
long long utf8Count(std::string_view bytes);
long long eucJpCount(std::string_view bytes);

}  // namespace pw
