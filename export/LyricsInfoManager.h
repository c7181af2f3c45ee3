// Attaches the lyrics of a finished MP3 file in the chosen player format: an
// LRC file beside it, or a new ID3v2.3 tag in front of it with a SYLT frame.
// Entries are (text, duration) pairs: entry i starts at the sum of the
// durations before it. Failures throw LyricsManagerException (code 5 for LRC
// files, 6 for tags) with the function's name, for the caller to show.
//
//   LyricsInfoManager lyrics(loadPlayerFormats("Resources/Lyrics.xml"));
//   lyrics.setFormatIndex(1);
//   lyrics.lyrics().add(u"Good morning.", 2400);
//   lyrics.lyrics().add(u"おはよう。", 1800);
//   lyrics.insertSubtitleToMP3("out/01 lesson.mp3");
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "audio/LyricsInfo.h"
#include "audio/LyricsManagerException.h"
#include "export/PlayerFormat.h"

namespace pw {

// The rows a text takes on a player of format: characters below U+0020 are
// skipped, each other one is as wide as the font size (a space or a character
// below U+0081 half as wide), and a row that would grow past the width is cut
// after its last space (when that leaves more than one character) or before
// the character. A character wider than a row ends the wrapping: the rest of
// the text, its CR LF pairs removed, becomes the last row (the only one when
// none was cut yet).
std::vector<std::u16string> wrapRows(std::u16string_view text, const PlayerFormat& format);

// "[mm:ss]" without an extended tag, else "[mm:ss<tag>hh]" with hundredths.
std::u16string lrcTimeTag(uint32_t ms, const std::u16string& extendedTag);

// The SYLT frame body of lyrics: UTF-16 texts, each opening with a byte-order
// mark, and millisecond start times summed from the durations.
std::string syltFrameBody(const LyricsInfo& lyrics, const std::string& language);
// An ID3v2.3 tag holding that frame alone; empty when the lyrics are too
// long for a tag.
std::string syltTag(const LyricsInfo& lyrics, const std::string& language);

class LyricsInfoManager {
public:
    LyricsInfoManager() = default;
    explicit LyricsInfoManager(std::vector<PlayerFormat> formats);

    // Replaces the formats by those of the file (see pw::loadPlayerFormats).
    void loadPlayerFormats(const std::string& path);
    const std::vector<PlayerFormat>& formats() const { return m_formats; }
    int formatIndex() const { return m_index; }
    void setFormatIndex(int index) { m_index = index; }
    // The chosen format, null when the index names none.
    const PlayerFormat* format() const;

    LyricsInfo& lyrics() { return m_lyrics; }
    const LyricsInfo& lyrics() const { return m_lyrics; }

    // Attaches the lyrics to the MP3 file in the chosen format.
    void insertSubtitleToMP3(const std::string& mp3Path);
    // Writes the LRC file: the MP3 path with ".lrc" for its extension.
    void createLrcFile(const std::string& mp3Path);
    // Puts a new ID3v2.3 tag with the lyrics frame in front of the file. The
    // file is replaced only once the new one is complete, so a failure leaves
    // it as it was; an older tag stays behind the new one.
    void setSyltTag(const std::string& mp3Path);
    // Reads the texts and start times of the file's SYLT frame into lyrics().
    void readSyltTag(const std::string& mp3Path);

    // The LRC path of an MP3 path.
    static std::string lrcPath(const std::string& mp3Path);

private:
    std::vector<PlayerFormat> m_formats;
    int m_index = 0;
    LyricsInfo m_lyrics;
};

}  // namespace pw
