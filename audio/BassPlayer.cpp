// The player on the audio engine, and its WAV and MP3 encoding.
#include "audio/BassPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "audio/AudioEngine.h"
#include "audio/AudioVoice.h"
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

// An encoding in progress: the re-opened file and where its PCM goes.
struct BassPlayer::Encoding {
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

BassPlayer::BassPlayer() = default;

BassPlayer::~BassPlayer() {
    std::lock_guard lock(m_mutex);
    m_encoding.reset();
    closeLocked();
}

int64_t BassPlayer::bytesPerSecond() const {
    return m_stream ? static_cast<int64_t>(m_stream->sourceRate()) * m_stream->sourceChannels() * 2
                    : 0;
}

int64_t BassPlayer::msToFrames(int64_t ms) const {
    const int64_t block = m_stream ? m_stream->sourceChannels() * 2 : 0;
    return block > 0 ? streamMsToBytes(std::max<int64_t>(ms, 0), bytesPerSecond()) / block : 0;
}

int64_t BassPlayer::framesToMs(int64_t frames) const {
    const int64_t block = m_stream ? m_stream->sourceChannels() * 2 : 0;
    return streamBytesToMs(frames * block, bytesPerSecond());
}

void BassPlayer::applySettings(TempoStream& stream) const {
    stream.setTempo(m_speed / 100.0);
    stream.setPitchSemitones(m_pitch * 15.0 / 100.0 - 15.0);
    stream.setGain(static_cast<float>(m_volume) / 100.0f);
}

bool BassPlayer::open(const std::string& path) {
    std::lock_guard lock(m_mutex);
    return openLocked(path);
}

bool BassPlayer::openLocked(const std::string& path) {
    closeLocked();
    auto stream = std::make_unique<TempoStream>();
    if (!stream->open(path)) {
        return false;
    }
    stream->setOutputFormat(AudioEngine::kSampleRate, 2, Resampler::Quality::Fast);
    applySettings(*stream);
    m_stream = std::move(stream);
    m_voice = std::make_unique<SourceVoice>(*m_stream, m_streamMutex);
    m_fileName = path;
    m_lengthMs = framesToMs(m_stream->sourceFrames());
    m_positionMs = 0;
    m_state = State::Stopped;
    return true;
}

void BassPlayer::close() {
    std::lock_guard lock(m_mutex);
    closeLocked();
}

void BassPlayer::closeLocked() {
    if (m_voice) {
        AudioEngine::instance().detach(*m_voice);
    }
    m_voice.reset();
    m_stream.reset();
    m_state = State::Stopped;
    m_fileName.clear();
    m_lengthMs = 0;
    m_positionMs = 0;
}

bool BassPlayer::play() {
    std::lock_guard lock(m_mutex);
    return playLocked(true);
}

bool BassPlayer::playLocked(bool showErrors) {
    if (!m_stream) {
        if (showErrors) {
            showAudioError(u"handle is not a valid channel.", kAudioErrorHandle);
        }
        return false;
    }
    refreshLocked();
    AudioEngine& engine = AudioEngine::instance();
    if (m_state == State::Paused) {
        m_voice->setPaused(false);
        m_state = State::Playing;
        return engine.wake(*m_voice);
    }
    if (m_state == State::Playing) {
        return true;
    }
    if (m_voice->hasEnded()) {
        seekLocked(0);
    }
    engine.detach(*m_voice);
    m_voice->resetCounters();
    m_voice->setPaused(false);
    // Detached, the stream hands out nothing until the voice plays again.
    m_voiceOrigin = m_stream->outputFrames();
    if (!engine.attach(*m_voice)) {
        return false;
    }
    m_state = State::Playing;
    return true;
}

void BassPlayer::refreshLocked() {
    if (m_state == State::Stopped || !m_voice) {
        return;
    }
    // Paused, the position is where the sound stops, even while the device
    // still plays out what it holds.
    const int64_t heard =
        m_state == State::Paused ? m_voice->mixedFrames() : m_voice->heardFrames();
    m_positionMs = framesToMs(m_stream->sourcePositionAt(m_voiceOrigin + heard));
    if (m_state == State::Playing && m_voice->isFinished()) {
        AudioEngine::instance().detach(*m_voice);
        m_state = State::Stopped;
    }
}

void BassPlayer::stop() {
    std::lock_guard lock(m_mutex);
    if (!m_voice) {
        return;
    }
    AudioEngine::instance().detach(*m_voice);
    m_state = State::Stopped;
    seekLocked(0);
}

void BassPlayer::pause() {
    std::lock_guard lock(m_mutex);
    refreshLocked();
    if (m_state == State::Playing) {
        m_voice->setPaused(true);
        m_state = State::Paused;
    }
}

void BassPlayer::resume() {
    std::lock_guard lock(m_mutex);
    if (m_state == State::Paused) {
        playLocked(false);
    }
}

bool BassPlayer::isPlaying() {
    std::lock_guard lock(m_mutex);
    refreshLocked();
    return m_state == State::Playing;
}

bool BassPlayer::isPaused() {
    std::lock_guard lock(m_mutex);
    return m_state == State::Paused;
}

bool BassPlayer::initialize() {
    return AudioEngine::instance().initialize();
}

void BassPlayer::setSpeed(int percent) {
    std::lock_guard lock(m_mutex);
    m_speed = std::clamp(percent, 50, 200);
    if (m_stream) {
        std::lock_guard streamLock(m_streamMutex);
        m_stream->setTempo(m_speed / 100.0);
    }
}

void BassPlayer::setVolume(int percent) {
    std::lock_guard lock(m_mutex);
    m_volume = std::clamp(percent, 0, 100);
    // The gain needs no lock: a volume slider never interrupts the sound.
    if (m_stream) {
        m_stream->setGain(static_cast<float>(m_volume) / 100.0f);
    }
}

void BassPlayer::setPitch(int value) {
    std::lock_guard lock(m_mutex);
    m_pitch = std::clamp(value, 0, 200);
    if (m_stream) {
        std::lock_guard streamLock(m_streamMutex);
        m_stream->setPitchSemitones(m_pitch * 15.0 / 100.0 - 15.0);
    }
}

void BassPlayer::setSampleRate(int hz) {
    std::lock_guard lock(m_mutex);
    m_sampleRate = hz > 0 ? hz : 0;
}

bool BassPlayer::setOutputDevice(int device) {
    IAudioPlayer::setOutputDevice(device);
    return AudioEngine::instance().setOutputDevice(device);
}

void BassPlayer::seek(int64_t ms) {
    std::lock_guard lock(m_mutex);
    seekLocked(ms);
}

void BassPlayer::seekLocked(int64_t ms) {
    m_positionMs = std::max<int64_t>(ms, 0);
    if (!m_stream) {
        return;
    }
    std::lock_guard streamLock(m_streamMutex);
    m_stream->seek(msToFrames(m_positionMs));
}

int64_t BassPlayer::getPosition() {
    std::lock_guard lock(m_mutex);
    refreshLocked();
    return m_positionMs;
}

int64_t BassPlayer::getLength() {
    std::lock_guard lock(m_mutex);
    return m_lengthMs;
}

bool BassPlayer::openAndPlay(const std::string& path) {
    std::lock_guard lock(m_mutex);
    if (!openLocked(path)) {
        showAudioError(u"BASS_ChannelPlay", kAudioErrorFileOpen);
        return false;
    }
    if (!playLocked(false)) {
        // Without an output the device error has been shown already.
        if (AudioEngine::instance().isAvailable()) {
            showAudioError(u"BASS_ChannelPlay", AudioEngine::instance().lastError());
        }
        return false;
    }
    return true;
}

bool BassPlayer::playSegment(int64_t startMs, int64_t endMs) {
    std::lock_guard lock(m_mutex);
    if (m_stream) {
        if (m_state != State::Stopped) {
            AudioEngine::instance().detach(*m_voice);
            m_state = State::Stopped;
        }
        seekLocked(startMs);
        std::lock_guard streamLock(m_streamMutex);
        m_stream->setEnd(msToFrames(endMs));
    }
    return playLocked(true);
}

const AudioVoice* BassPlayer::voice() const {
    return m_voice.get();
}

bool BassPlayer::encode(const std::string& target, const std::vector<std::string>& command,
                        unsigned flags) {
    std::lock_guard lock(m_mutex);
    return encodeLocked(target, command, flags, 0);
}

bool BassPlayer::encodeLocked(const std::string& target, const std::vector<std::string>& command,
                              unsigned flags, int minimumRate) {
    std::error_code ec;
    if (m_fileName.empty() || !fs::exists(m_fileName, ec)) {
        return false;
    }
    if (samePath(target, m_fileName)) {
        const std::u16string path = fromUtf8(target);
        showAudioMessage(u"現在このファイルは使用中です。\r\n" + path, path, MbOk);
        return false;
    }
    m_encoding.reset();
    auto encoding = std::make_unique<Encoding>();
    TempoStream& source = encoding->source;
    if (!source.open(m_fileName)) {
        return false;
    }
    applySettings(source);
    const bool resampled = m_sampleRate > 0;
    const int rate = std::max(resampled ? m_sampleRate : source.sourceRate(), minimumRate);
    const int channels = resampled ? 1 : source.sourceChannels();
    source.setOutputFormat(rate, channels, Resampler::Quality::Good);
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

bool BassPlayer::saveAsMp3(const std::string& mp3Path) {
    std::lock_guard lock(m_mutex);
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
    if (!encodeLocked(mp3Path, command, kEncodeAutoFree, kMinimumMp3Rate)) {
        std::error_code ec;
        fs::remove(scratch, ec);
        return false;
    }
    m_encoding->producedFile = scratch;
    m_encoding->commitTarget = mp3Path;
    return true;
}

bool BassPlayer::pump() {
    std::lock_guard lock(m_mutex);
    return pumpLocked();
}

bool BassPlayer::pumpLocked() {
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

bool BassPlayer::finishEncoding() {
    std::lock_guard lock(m_mutex);
    return finishLocked();
}

bool BassPlayer::finishLocked() {
    if (!m_encoding) {
        return false;
    }
    std::unique_ptr<Encoding> encoding = std::move(m_encoding);
    return encoding->scratch ? encoding->finishWav() : encoding->finishProgram();
}

int64_t BassPlayer::getEncodingPosition() {
    std::lock_guard lock(m_mutex);
    if (!m_encoding) {
        return 0;
    }
    const TempoStream& source = m_encoding->source;
    const int64_t block = source.sourceChannels() * 2;
    return streamBytesToMs(source.sourcePositionAt(source.outputFrames()) * block,
                           static_cast<int64_t>(source.sourceRate()) * block);
}

bool BassPlayer::saveSegmentAsWav(int64_t startMs, int64_t endMs, const std::string& wavPath) {
    std::lock_guard lock(m_mutex);
    if (!encodeLocked(wavPath, {wavPath}, kEncodeAutoFree | kEncodePcmFile, 0)) {
        return false;
    }
    Encoding& e = *m_encoding;
    const int64_t startFrame = msToFrames(startMs);
    const int64_t endFrame = std::max(msToFrames(endMs), startFrame);
    e.source.seek(startFrame);
    e.source.setEnd(endFrame);
    // The count of what is read is in the format read, at the speed played.
    const double frames = static_cast<double>(endFrame - startFrame) * e.source.outputRate() /
                          e.source.sourceRate() * 100.0 / m_speed;
    e.remainingFrames = std::llround(frames);
    while (pumpLocked()) {
    }
    return finishLocked();
}

}  // namespace pw
