// The player formats of "Resources/Lyrics.xml": how a portable player wants the
// lyrics of an MP3 file (an LRC file beside it, an ID3 SYLT frame, or a
// player's own block), with the sizes its display wraps rows to.
//
//   <Lyrics>
//     <PlayerFormat name="LRC (UTF-8)" headerName=".lrc" encoding="UTF-8"
//                   width="2000" fontSize="10" />
//     <PlayerFormat name="SYLT" headerName="SYLT" language="eng" />
//   </Lyrics>
#pragma once

#include <string>
#include <vector>

namespace pw {

struct PlayerFormat {
    static constexpr const char16_t* kLrcHeader = u".lrc";
    static constexpr const char16_t* kSyltHeader = u"SYLT";

    std::u16string name;        // shown in the conversion's lyrics list
    std::u16string appName;     // player block
    std::u16string headerName;  // ".lrc", "SYLT", or the player block's header
    std::u16string version;     // player block
    std::u16string language;    // SYLT language when exactly 3 characters
    std::u16string encoding;    // of the LRC file: "UTF-8", "Shift_JIS", ...
    int x = 0;
    int y = 0;
    int width = 0;  // row width for wrapping
    int rowCount = 0;
    int fontSize = 0;                   // character width for wrapping
    std::u16string extendedTag = u".";  // LRC separator before hundredths; empty: none

    bool isLrc() const { return headerName == kLrcHeader; }
    bool isSylt() const { return headerName == kSyltHeader; }
    // What wrapping uses: widths below 100 count as 100, sizes below 10 as 10.
    int wrapWidth() const { return width < 100 ? 100 : width; }
    int characterWidth() const { return fontSize < 10 ? 10 : fontSize; }
    // The SYLT frame's language: the format's when it has 3 characters.
    std::string syltLanguage() const;
};

// One format from each "PlayerFormat" element of the file, in file order, or,
// when it has none, from each "Format" element. Absent text attributes are
// empty and absent numbers 0 (extendedTag absent is "."). Empty when the file
// is missing or malformed (the parser has shown why).
std::vector<PlayerFormat> loadPlayerFormats(const std::string& path);

// The index of the format whose name or header name is name, -1 when none.
int findPlayerFormat(const std::vector<PlayerFormat>& formats, const std::u16string& name);

}  // namespace pw
