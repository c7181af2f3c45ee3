// Encoding a sound file to WAV, or to MP3 through the LAME encoder.
#include "audio/AudioEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "audio/AudioEngine.h"
#include "audio/EncoderProcess.h"
#include "audio/TempoStream.h"
#include "audio/WavFile.h"
#include "core/AppFiles.h"
#include "core/SafeFile.h"
#include "core/TempFolder.h"
#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace fs = std::filesystem;

namespace {

// The most PCM bytes one pump() hands to the encoder.
constexpr size_t kPumpBytes = 20000;
// LAME drops "cbr 128" to 64 kbps below this rate.
constexpr int kMinimumMp3Rate = 16000;

bool samePath(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

void toPcm16(const float* in, size_t count, std::string& out) {
    out.resize(count * 2);
    for (size_t i = 0; i < count; ++i) {
        const float v = std::clamp(in[i], -1.0f, 1.0f);
        const auto s = static_cast<uint16_t>(static_cast<int16_t>(std::lrint(v * 32767.0f)));
        out[2 * i] = static_cast<char>(s & 0xFF);
        out[2 * i + 1] = static_cast<char>(s >> 8);
    }
}

}  // namespace

int64_t streamBytesToMs(int64_t bytes, int64_t bytesPerSecond) {
    if (bytesPerSecond <= 0) {
        return 0;
    }
    return bytes / bytesPerSecond * 1000 + bytes % bytesPerSecond * 1000 / bytesPerSecond;
}

int64_t streamMsToBytes(int64_t ms, int64_t bytesPerSecond) {
    return ms / 1000 * bytesPerSecond + ms % 1000 * (bytesPerSecond / 1000);
}

void PlaybackSettings::applyTo(TempoStream& stream) const {
    stream.setTempo(speed / 100.0);
    stream.setPitchSemitones(semitones(pitch));
    stream.setGain(static_cast<float>(volume) / 100.0f);
}

// An encoding in progress: the re-opened file and where its PCM goes.
struct AudioEncoder::Encoding {
    TempoStream source;
    WaveFormat format;
    int64_t remainingFrames = -1;  // -1: to the end of the file
    std::vector<float> samples;
    std::string bytes;
    bool failed = false;
    uint64_t dataBytes = 0;
    // A WAV file: the samples wait in an anonymous scratch file until the
    // header, which needs their size, can be written.
    std::string wavTarget;
    FILE* scratch = nullptr;
    // A program: it writes producedFile, which replaces commitTarget once
    // the program has succeeded.
    EncoderProcess process;
    std::string producedFile;
    std::string commitTarget;

    ~Encoding() {
        if (scratch) {
            std::fclose(scratch);
        }
        process.abandon();
        if (!producedFile.empty()) {
            std::error_code ec;
            fs::remove(producedFile, ec);
        }
    }

    // Frames of the source at ms, as the player positions it.
    int64_t sourceFrameAt(int64_t ms) const {
        const int64_t block = source.sourceChannels() * 2;
        const int64_t bytesPerSecond = static_cast<int64_t>(source.sourceRate()) * block;
        return block > 0 ? streamMsToBytes(std::max<int64_t>(ms, 0), bytesPerSecond) / block : 0;
    }

    bool write(const std::string& piece) {
        const bool ok = scratch
                            ? std::fwrite(piece.data(), 1, piece.size(), scratch) == piece.size()
                            : process.write(piece.data(), piece.size());
        failed = failed || !ok;
        dataBytes += piece.size();
        return ok;
    }

    bool finishWav() {
        if (failed || dataBytes > 0xFFFFFFFFull - kWavHeaderSize || std::fflush(scratch) != 0 ||
            std::fseek(scratch, 0, SEEK_SET) != 0) {
            return false;
        }
        SafeFileWriter writer(wavTarget);
        if (!writer.open() || !writer.write(wavHeader(format, static_cast<uint32_t>(dataBytes)))) {
            return false;
        }
        std::vector<char> piece(1 << 16);
        size_t n;
        while ((n = std::fread(piece.data(), 1, piece.size(), scratch)) > 0) {
            if (!writer.write(piece.data(), n)) {
                return false;
            }
        }
        return !std::ferror(scratch) && writer.commit();
    }

    bool finishProgram() {
        const bool ok = process.finish() && !failed;
        if (!ok || commitTarget.empty()) {
            return ok;
        }
        std::string encoded;
        return readFileBytes(producedFile, encoded) && !encoded.empty() &&
               replaceFileContents(commitTarget, encoded);
    }
};

AudioEncoder::AudioEncoder() = default;
AudioEncoder::~AudioEncoder() = default;

bool AudioEncoder::encode(const std::string& source, const PlaybackSettings& settings,
                          const std::string& target, const std::vector<std::string>& command,
                          unsigned flags) {
    return start(source, settings, target, command, flags, 0);
}

bool AudioEncoder::start(const std::string& source, const PlaybackSettings& settings,
                         const std::string& target, const std::vector<std::string>& command,
                         unsigned flags, int minimumRate) {
    std::error_code ec;
    if (source.empty() || !fs::exists(source, ec)) {
        return false;
    }
    if (samePath(target, source)) {
        const std::u16string path = fromUtf8(target);
        showAudioMessage(u"現在このファイルは使用中です。\r\n" + path, path, MbOk);
        return false;
    }
    m_encoding.reset();
    auto encoding = std::make_unique<Encoding>();
    TempoStream& stream = encoding->source;
    if (!stream.open(source)) {
        return false;
    }
    settings.applyTo(stream);
    const bool resampled = settings.sampleRate > 0;
    const int rate = std::max(resampled ? settings.sampleRate : stream.sourceRate(), minimumRate);
    const int channels = resampled ? 1 : stream.sourceChannels();
    stream.setOutputFormat(rate, channels, Resampler::Quality::Good);
    encoding->format = pcmFormat(static_cast<uint32_t>(rate), static_cast<uint16_t>(channels));
    if (flags & kEncodePcmFile) {
        encoding->wavTarget = target;
        encoding->scratch = std::tmpfile();
        if (!encoding->scratch) {
            return false;
        }
    } else if (!encoding->process.start(command) ||
               !encoding->process.write(wavHeader(encoding->format, 0xFFFFFFFFu).data(),
                                        kWavHeaderSize)) {
        return false;
    }
    m_encoding = std::move(encoding);
    return true;
}

bool AudioEncoder::encodeMp3(const std::string& source, const PlaybackSettings& settings,
                             const std::string& mp3Path) {
    const std::string lame = EncoderProcess::findProgram(shippedFile("Plugins/lame"), "lame");
    if (lame.empty()) {
        showAudioMessage(u"Plugins フォルダーに lame.exe ファイルを入れてください。",
                         u"lame.exe was not found in the plugins folder", MbOk);
        return false;
    }
    // The encoder writes a scratch file that replaces the target only once
    // it is complete, and it must write a file (not a pipe) to record the
    // exact length in the MP3's header.
    const std::string scratch = makeTempFilePath("encoding.mp3");
    const std::vector<std::string> command{lame, "--alt-preset", "cbr", "128", "-", scratch};
    if (!start(source, settings, mp3Path, command, kEncodeAutoFree, kMinimumMp3Rate)) {
        std::error_code ec;
        fs::remove(scratch, ec);
        return false;
    }
    m_encoding->producedFile = scratch;
    m_encoding->commitTarget = mp3Path;
    return true;
}

bool AudioEncoder::encodeSegmentAsWav(const std::string& source, const PlaybackSettings& settings,
                                      int64_t startMs, int64_t endMs, const std::string& wavPath) {
    if (!start(source, settings, wavPath, {wavPath}, kEncodeAutoFree | kEncodePcmFile, 0)) {
        return false;
    }
    Encoding& e = *m_encoding;
    const int64_t startFrame = e.sourceFrameAt(startMs);
    const int64_t endFrame = std::max(e.sourceFrameAt(endMs), startFrame);
    e.source.seek(startFrame);
    e.source.setEnd(endFrame);
    // The count of what is read is in the format read, at the speed played.
    const double frames = static_cast<double>(endFrame - startFrame) * e.source.outputRate() /
                          e.source.sourceRate() * 100.0 / settings.speed;
    e.remainingFrames = std::llround(frames);
    while (pump()) {
    }
    return finish();
}

bool AudioEncoder::pump() {
    if (!m_encoding || m_encoding->failed) {
        return false;
    }
    Encoding& e = *m_encoding;
    const size_t channels = static_cast<size_t>(e.source.outputChannels());
    size_t frames = kPumpBytes / (2 * channels);
    if (e.remainingFrames >= 0) {
        frames =
            static_cast<size_t>(std::min<int64_t>(e.remainingFrames, static_cast<int64_t>(frames)));
    }
    if (frames == 0) {
        return false;
    }
    e.samples.resize(frames * channels);
    bool ended = false;
    const size_t n = e.source.read(e.samples.data(), frames, ended);
    if (n == 0) {
        return false;
    }
    toPcm16(e.samples.data(), n * channels, e.bytes);
    if (e.remainingFrames >= 0) {
        e.remainingFrames -= static_cast<int64_t>(n);
    }
    return e.write(e.bytes);
}

bool AudioEncoder::finish() {
    if (!m_encoding) {
        return false;
    }
    std::unique_ptr<Encoding> encoding = std::move(m_encoding);
    return encoding->scratch ? encoding->finishWav() : encoding->finishProgram();
}

void AudioEncoder::cancel() {
    m_encoding.reset();
}

int64_t AudioEncoder::position() const {
    if (!m_encoding) {
        return 0;
    }
    const TempoStream& source = m_encoding->source;
    const int64_t block = source.sourceChannels() * 2;
    return streamBytesToMs(source.sourcePositionAt(source.outputFrames()) * block,
                           static_cast<int64_t>(source.sourceRate()) * block);
}

}  // namespace pw
