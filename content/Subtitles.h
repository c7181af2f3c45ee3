// Subtitle files (SubRip ".srt" and WebVTT ".vtt") as cues: when each line
// of speech starts and ends, and its words without the markup of the
// subtitles. Cues of a second file in another language are matched to them
// by how much they overlap in time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "content/ImportIssue.h"

namespace pw {

enum class SubtitleFormat { Srt, WebVtt };

struct SubtitleCue {
    int line = 0;  // of its timing line
    int startMs = 0;
    int endMs = 0;
    std::u16string text;  // cleaned, its lines joined
};

struct SubtitleTrack {
    // By start time; cues that start together keep the file's order.
    std::vector<SubtitleCue> cues;
    std::vector<ImportIssue> issues;
    // Cues that held nothing but markup or sound descriptions.
    int cuesWithoutWords = 0;
};

// WebVTT when the text starts with "WEBVTT" or the name ends in ".vtt".
SubtitleFormat subtitleFormatFor(std::string_view path, std::u16string_view text);
// True for a name ending in ".srt" or ".vtt", or text that starts as WebVTT.
bool looksLikeSubtitles(std::string_view path, std::u16string_view text);

// Reads the cues of text. Blocks are separated by blank lines; a block is an
// optional identifier (the cue number in SubRip), the timing line
// "start --> end" and the text lines. Times are [hours:]minutes:seconds with
// "," or "." and exactly three digits of milliseconds; WebVTT settings after
// the end time are ignored, and so are NOTE, STYLE and REGION blocks and the
// header. What cannot be read is reported with its line: a cue whose time is
// malformed or ends before it starts, and lines without a timing line, are
// skipped; a missing blank line between two cues, a cue number lower than the
// one before and a WebVTT file without its "WEBVTT" line are noted and read.
SubtitleTrack readSubtitles(std::u16string_view text, SubtitleFormat format);

// Milliseconds of a cue time, or -1 when it is malformed.
int parseCueTime(std::u16string_view text);
// Milliseconds as a cue time "hh:mm:ss.mmm" (not negative).
std::u16string formatCueTime(int ms);

// The words of a cue's lines, joined by spaces (without one between Chinese
// or Japanese characters): tags such as <i> and <v Speaker> are dropped (ruby
// readings with their text), so are {\an8}-style overrides, [sound
// descriptions], (DESCRIPTIONS IN CAPITALS), speaker labels in capitals
// ("JOHN:") and dialogue dashes. The result is HTML text as learning files
// hold it: entities stay as written, except that &nbsp; becomes a space and
// the direction marks &lrm; and &rlm; go, and a "<" that opens no tag is
// written &lt;.
std::u16string cleanCueText(const std::vector<std::u16string_view>& lines);

// For each cue, the texts of the other cues it overlaps by at least half of
// the shorter one's length, in time order and joined by spaces; an other cue
// that overlaps no cue that much goes to the cue it overlaps most. Cues that
// overlap nothing get empty text. Both lists are sorted by start time.
std::vector<std::u16string> matchByOverlap(const std::vector<SubtitleCue>& cues,
                                           const std::vector<SubtitleCue>& others);

}  // namespace pw
