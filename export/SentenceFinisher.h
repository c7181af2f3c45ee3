// The second half of one sentence's conversion, after its pieces are spoken:
// join them with silences, encode the sound to MP3 with the LAME encoder (or
// write it as WAV without one), attach the lyrics and put the files in the
// output folder. Runs on a worker thread; it touches only its own files.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "export/PieceJoiner.h"
#include "export/PlayerFormat.h"

namespace pw {

// The "Progress" cell texts of these steps.
namespace progress {
inline constexpr const char16_t* kCombine = u"Combine Translation with Sentence";
inline constexpr const char16_t* kCombineFailed = u"Failed Combine";
inline constexpr const char16_t* kEncoding = u"wav to MP3";
inline constexpr const char16_t* kEncodingFailed = u"Failed wav to MP3";
inline constexpr const char16_t* kWriteFailed = u"Failed to write the file";
inline constexpr const char16_t* kComplete = u"Complete";
inline constexpr const char16_t* kStopped = u"Stopped";
}  // namespace progress

struct FinishRequest {
    std::vector<Piece> pieces;
    // The output folder and name without extension; ".mp3", ".wav" and
    // ".lrc" are added.
    std::string destination;
    std::string encoder;  // the LAME program; empty: a WAV file, no lyrics
    std::optional<PlayerFormat> lyrics;
    std::string scratchBase;  // working files: this + ".mp3", ".lrc"
};

struct FinishResult {
    enum Outcome { Complete, Failed, Stopped };
    Outcome outcome = Failed;
    std::u16string failure;      // the cell text of a failed step
    std::u16string lyricsError;  // the lyrics could not be attached (the MP3 stays)
    uint32_t durationMs = 0;
};

// The MP3 files the encoder writes at rates below this drop to 64 kbps.
inline constexpr uint32_t kMinimumMp3Rate = 16000;

// Does the work of request, telling progress each step's cell text; stops
// early, leaving nothing behind, once stop is set.
FinishResult finishSentence(const FinishRequest& request, const std::atomic<bool>& stop,
                            const std::function<void(const std::u16string&)>& progress);

}  // namespace pw
