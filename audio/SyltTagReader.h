// Reads the synchronised lyrics (ID3v2 SYLT frame) that make an MP3 file a
// learning file. Failures throw LyricsManagerException.
//
//   LyricsInfo lyrics;
//   try {
//       readSyltTag("Data/talk.mp3", lyrics);
//   } catch (const LyricsManagerException& e) {
//       messageBox(e.fullMessage());
//   }
//   for (size_t i = 0; i < lyrics.size(); ++i) use(lyrics.texts[i], lyrics.values[i]);
#pragma once

#include <istream>
#include <string>

#include "audio/LyricsInfo.h"
#include "audio/LyricsManagerException.h"

namespace pw {

// Replaces the content of lyrics with the texts and start times (in
// milliseconds, in frame order) of the first synchronised-lyrics frame of
// the MP3 file at mp3Path (UTF-8): "SLT" in an ID3v2.2 tag, "SYLT" in 2.3
// and 2.4. Reads the tag only, however large the file. On failure lyrics
// is left as it was and LyricsManagerException is thrown with code
//   kCannotOpenFile  the file cannot be opened for reading or is not a
//                    regular file (a FIFO is refused without waiting on it);
//   kNoValidTag      it has no ID3v2 tag, or a damaged or compressed one;
//   kNoLyricsFrame   the tag has no lyrics frame.
void readSyltTag(const std::string& mp3Path, LyricsInfo& lyrics);
// The same for the bytes of in, read from its start.
void readSyltTag(std::istream& in, LyricsInfo& lyrics);

}  // namespace pw
