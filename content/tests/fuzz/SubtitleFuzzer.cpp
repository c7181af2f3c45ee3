// Fuzz target: SubRip and WebVTT cues from arbitrary bytes, and matching the
// cues found against themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/Subtitles.h"
#include "xml/TextFile.h"

namespace {

int lineCount(const std::u16string& text) {
    int lines = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) {
            ++lines;
        }
    }
    return lines;
}

void check(const std::u16string& text, pw::SubtitleFormat format) {
    const pw::SubtitleTrack track = pw::readSubtitles(text, format);
    const int lines = lineCount(text);
    int previousStart = 0;
    for (const pw::SubtitleCue& cue : track.cues) {
        if (cue.startMs < previousStart || cue.endMs <= cue.startMs || cue.text.empty() ||
            cue.line < 1 || cue.line > lines) {
            std::abort();
        }
        previousStart = cue.startMs;
    }
    for (const pw::ImportIssue& issue : track.issues) {
        if (issue.line < 1 || issue.line > lines || issue.message.empty()) {
            std::abort();
        }
    }
    if (pw::matchByOverlap(track.cues, track.cues).size() != track.cues.size()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::u16string text;
    pw::decodeTextBytes(bytes, text);
    check(text, pw::SubtitleFormat::Srt);
    check(text, pw::SubtitleFormat::WebVtt);
    return 0;
}
