// Helpers for the export tests: learning files to convert, and what other
// programs (mutagen, ffprobe, ffmpeg) read of the files we write.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pw::test {

struct SentencePair {
    std::string sentence;
    std::string translation;
    std::string startTime;  // "mm:ss:hh" or empty
};

// A UTF-8 learning file of the pairs.
void writeLearningFile(const std::string& path, const std::vector<SentencePair>& pairs);

// The Python interpreter that has mutagen; empty when none has.
std::string pythonWithMutagen();

struct TimedText {
    uint32_t ms;
    std::string text;
    bool operator==(const TimedText&) const = default;
};
// The first SYLT frame of an MP3 file as mutagen reads it; empty when it has
// none (or mutagen dropped it).
std::vector<TimedText> mutagenSylt(const std::string& mp3Path);

// The duration ffprobe reports less the encoder's delay, which it gives as
// the start time, in milliseconds; -1 when it cannot tell. (What remains of
// the encoder's padding is less than a frame.)
int64_t ffprobeDurationMs(const std::string& path);

// The subtitles ffmpeg's LRC reader finds in the file, with their start times.
std::vector<TimedText> ffmpegLrc(const std::string& lrcPath);

}  // namespace pw::test
