// The player on the audio engine.
#include "audio/BassPlayer.h"

#include <algorithm>

#include "audio/AudioEngine.h"
#include "audio/AudioVoice.h"
#include "audio/TempoStream.h"
#include "core/UiServices.h"

namespace pw {

BassPlayer::BassPlayer() = default;

BassPlayer::~BassPlayer() {
    std::lock_guard lock(m_mutex);
    m_encoder.cancel();
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

PlaybackSettings BassPlayer::settingsLocked() const {
    return {m_speed, m_pitch, m_volume, m_sampleRate};
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
    settingsLocked().applyTo(*stream);
    // The volume is the voice's, which the output applies as it mixes.
    stream->setGain(1.0f);
    m_stream = std::move(stream);
    m_voice = std::make_unique<SourceVoice>(*m_stream, m_streamMutex);
    m_voice->setGain(static_cast<float>(m_volume) / 100.0f);
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
    // Whatever was made ahead went with the last stop or seek: the stream
    // is where playing starts.
    m_voice->resetQueue();
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

int64_t BassPlayer::nextSourceFrameLocked() const {
    if (m_state == State::Stopped || !m_voice) {
        return -1;
    }
    return m_stream->sourcePositionAt(m_voiceOrigin + m_voice->mixedFrames());
}

void BassPlayer::carryOnLocked(int64_t sourceFrame) {
    if (sourceFrame >= 0) {
        m_stream->moveTo(sourceFrame);
        m_voice->discardQueued();
    }
}

void BassPlayer::setSpeed(int percent) {
    std::lock_guard lock(m_mutex);
    m_speed = std::clamp(percent, 50, 200);
    if (m_stream) {
        std::lock_guard streamLock(m_streamMutex);
        const int64_t next = nextSourceFrameLocked();
        m_stream->setTempo(m_speed / 100.0);
        carryOnLocked(next);
    }
}

void BassPlayer::setVolume(int percent) {
    std::lock_guard lock(m_mutex);
    m_volume = std::clamp(percent, 0, 100);
    // The gain needs no lock: a volume slider never interrupts the sound.
    if (m_voice) {
        m_voice->setGain(static_cast<float>(m_volume) / 100.0f);
    }
}

void BassPlayer::setPitch(int value) {
    std::lock_guard lock(m_mutex);
    m_pitch = std::clamp(value, 0, 200);
    if (m_stream) {
        std::lock_guard streamLock(m_streamMutex);
        const int64_t next = nextSourceFrameLocked();
        m_stream->setPitchSemitones(PlaybackSettings::semitones(m_pitch));
        carryOnLocked(next);
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
    m_voice->discardQueued();
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
        // Without an output, those who play tell the learner in their words.
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
    return m_encoder.encode(m_fileName, settingsLocked(), target, command, flags);
}

bool BassPlayer::saveAsMp3(const std::string& mp3Path) {
    std::lock_guard lock(m_mutex);
    return m_encoder.encodeMp3(m_fileName, settingsLocked(), mp3Path);
}

bool BassPlayer::pump() {
    std::lock_guard lock(m_mutex);
    return m_encoder.pump();
}

bool BassPlayer::finishEncoding() {
    std::lock_guard lock(m_mutex);
    return m_encoder.finish();
}

int64_t BassPlayer::getEncodingPosition() {
    std::lock_guard lock(m_mutex);
    return m_encoder.position();
}

bool BassPlayer::saveSegmentAsWav(int64_t startMs, int64_t endMs, const std::string& wavPath) {
    std::lock_guard lock(m_mutex);
    return m_encoder.encodeSegmentAsWav(m_fileName, settingsLocked(), startMs, endMs, wavPath);
}

}  // namespace pw
