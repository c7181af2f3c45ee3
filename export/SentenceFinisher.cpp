// Joining, encoding and tagging one sentence's file.
#include "export/SentenceFinisher.h"

#include <cstdio>

#include "audio/EncoderProcess.h"
#include "core/Utf.h"
#include "export/FileCopy.h"
#include "export/LyricsInfoManager.h"

namespace pw {
namespace {

// How much PCM goes to the encoder at a time, and so how often the cell
// shows how far it has come.
constexpr size_t kChunkBytes = 1 << 16;

std::u16string encodingProgress(uint64_t doneMs, uint64_t totalMs) {
    char text[64];
    std::snprintf(text, sizeof text, "(%llu/%llu) wav to MP3",
                  static_cast<unsigned long long>(doneMs),
                  static_cast<unsigned long long>(totalMs));
    return fromUtf8(text);
}

// Encodes sound with the LAME program into mp3Path.
bool encodeMp3(const JoinedSound& sound, const std::string& encoder, const std::string& mp3Path,
               const std::atomic<bool>& stop,
               const std::function<void(const std::u16string&)>& progress) {
    EncoderProcess process;
    // The encoder must write a file, not a pipe, to put the exact length in
    // its header.
    if (!process.start({encoder, "--alt-preset", "cbr", "128", "-", mp3Path})) {
        return false;
    }
    const std::string header = wavHeader(sound.format, static_cast<uint32_t>(sound.data.size()));
    if (!process.write(header.data(), header.size())) {
        return false;
    }
    const uint64_t totalMs = sound.durationMs();
    const uint64_t bytesPerSecond = sound.format.avgBytesPerSec;
    for (size_t at = 0; at < sound.data.size(); at += kChunkBytes) {
        if (stop.load()) {
            process.abandon();
            return false;
        }
        progress(encodingProgress(at * 1000 / bytesPerSecond, totalMs));
        const size_t n = std::min(kChunkBytes, sound.data.size() - at);
        if (!process.write(sound.data.data() + at, n)) {
            return false;
        }
    }
    return process.finish();
}

// Removes the working files however the sentence ends.
class ScratchFiles {
public:
    explicit ScratchFiles(const FinishRequest& request) : m_request(request) {}
    ~ScratchFiles() {
        for (const Piece& piece : m_request.pieces) {
            std::remove(piece.path.c_str());
        }
        std::remove(mp3().c_str());
        std::remove(LyricsInfoManager::lrcPath(mp3()).c_str());
    }
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;
    std::string mp3() const { return m_request.scratchBase + ".mp3"; }

private:
    const FinishRequest& m_request;
};

}  // namespace

FinishResult finishSentence(const FinishRequest& request, const std::atomic<bool>& stop,
                            const std::function<void(const std::u16string&)>& progress) {
    ScratchFiles scratch(request);
    FinishResult result;
    const auto fail = [&result](const char16_t* text) {
        result.outcome = FinishResult::Failed;
        result.failure = text;
        return result;
    };
    if (stop.load()) {
        result.outcome = FinishResult::Stopped;
        return result;
    }
    progress(progress::kCombine);
    JoinedSound sound;
    LyricsInfo lyrics;
    const uint32_t minimumRate = request.encoder.empty() ? 0 : kMinimumMp3Rate;
    if (!joinPieces(request.pieces, minimumRate, sound, lyrics)) {
        return fail(progress::kCombineFailed);
    }
    result.durationMs = sound.durationMs();
    if (request.encoder.empty()) {
        if (!writeWav(request.destination + ".wav", sound.format, sound.data)) {
            return fail(progress::kWriteFailed);
        }
        result.outcome = FinishResult::Complete;
        return result;
    }

    progress(progress::kEncoding);
    const std::string mp3 = scratch.mp3();
    if (!encodeMp3(sound, request.encoder, mp3, stop, progress)) {
        if (stop.load()) {
            result.outcome = FinishResult::Stopped;
            return result;
        }
        return fail(progress::kEncodingFailed);
    }
    bool lrcWritten = false;
    if (request.lyrics) {
        LyricsInfoManager manager({*request.lyrics});
        manager.lyrics() = std::move(lyrics);
        try {
            manager.insertSubtitleToMP3(mp3);
            lrcWritten = request.lyrics->isLrc();
        } catch (const LyricsManagerException& e) {
            result.lyricsError = e.fullMessage();
        }
    }
    if (!moveFile(mp3, request.destination + ".mp3") ||
        (lrcWritten && !moveFile(LyricsInfoManager::lrcPath(mp3), request.destination + ".lrc"))) {
        return fail(progress::kWriteFailed);
    }
    result.outcome = FinishResult::Complete;
    return result;
}

}  // namespace pw
