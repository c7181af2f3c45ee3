// The buffer-by-buffer player.
#include "audio/AudioPlayer.h"

#include <algorithm>

#include "audio/AudioEngine.h"
#include "audio/AudioVoice.h"
#include "audio/OggDecoder.h"

namespace pw {

// Plays the player's buffers.
class AudioPlayer::Voice : public ResamplingVoice {
public:
    Voice(AudioPlayer& player, int rate, int channels)
        : ResamplingVoice(rate, channels), m_player(player) {}

protected:
    size_t readSource(float* out, size_t frames, bool& ended) override {
        return m_player.readBuffers(out, frames, ended);
    }
    std::mutex* sourceMutex() override { return &m_player.m_decoderMutex; }

private:
    AudioPlayer& m_player;
};

AudioPlayer::AudioPlayer() : AudioPlayer(std::make_unique<OggDecoder>()) {}

AudioPlayer::AudioPlayer(std::unique_ptr<PCMDecoder> decoder) : m_decoder(std::move(decoder)) {}

AudioPlayer::~AudioPlayer() {
    closeDevice();
}

void AudioPlayer::closeDevice() {
    m_stopped.store(true);
    if (m_voice) {
        AudioEngine::instance().detach(*m_voice);
        m_voice.reset();
    }
    for (Buffer& buffer : m_buffers) {
        buffer.queued.store(false);
    }
}

bool AudioPlayer::open(const std::string& path) {
    closeDevice();
    std::lock_guard lock(m_decoderMutex);
    m_decoder->close();
    if (!m_decoder->open(path)) {
        return false;
    }
    m_fileName = path;
    return true;
}

bool AudioPlayer::fill(Buffer& buffer) {
    size_t bytes = 0;
    bool ended = false;
    const bool ok = m_decoder->read(reinterpret_cast<char*>(buffer.samples.data()), m_bufferBytes,
                                    bytes, ended, loop());
    buffer.frames = ok ? bytes / (static_cast<size_t>(m_decoder->channels()) * 2) : 0;
    buffer.position = 0;
    m_decoderEnded.store(ended);
    buffer.queued.store(buffer.frames > 0, std::memory_order_release);
    return ok;
}

bool AudioPlayer::play() {
    closeDevice();
    std::unique_lock lock(m_decoderMutex);
    if (!m_decoder->isOpen()) {
        return false;
    }
    const int channels = m_decoder->channels();
    const int rate = m_decoder->sampleRate();
    const size_t bytesPerSecond = static_cast<size_t>(channels) * 2 * static_cast<size_t>(rate);
    m_bufferBytes = bytesPerSecond / 5;
    m_stopped.store(false);
    m_decoderEnded.store(false);
    for (size_t i = 0; i < m_buffers.size(); ++i) {
        m_buffers[i].samples.assign(bytesPerSecond / 2, 0);
        if (!fill(m_buffers[i])) {
            m_stopped.store(true);
            return false;
        }
        if (m_decoderEnded.load() && !loop()) {
            break;
        }
    }
    m_playing = 0;
    m_turn = 0;
    m_voice = std::make_unique<Voice>(*this, rate, channels);
    m_voice->setPaused(m_paused.load());
    m_voice->setGain(m_gain);
    // The engine makes the first sound with the decoder's lock.
    lock.unlock();
    if (!AudioEngine::instance().attach(*m_voice)) {
        m_stopped.store(true);
        m_voice.reset();
        return false;
    }
    return true;
}

size_t AudioPlayer::readBuffers(float* out, size_t frames, bool& ended) {
    const size_t channels = static_cast<size_t>(m_decoder->channels());
    size_t done = 0;
    while (done < frames) {
        Buffer& buffer = m_buffers[m_playing];
        if (!buffer.queued.load(std::memory_order_acquire)) {
            break;
        }
        const size_t n = std::min(frames - done, buffer.frames - buffer.position);
        const int16_t* in = buffer.samples.data() + buffer.position * channels;
        for (size_t i = 0; i < n * channels; ++i) {
            out[done * channels + i] = in[i] / 32768.0f;
        }
        buffer.position += n;
        done += n;
        if (buffer.position == buffer.frames) {
            buffer.queued.store(false);
            m_playing ^= 1;
            bufferDone();
        }
    }
    ended = m_stopped.load() && !m_buffers[m_playing].queued.load();
    return done;
}

void AudioPlayer::bufferDone() {
    if (!m_stopped.load()) {
        if (!m_decoderEnded.load()) {
            if (!fill(m_buffers[m_turn])) {
                m_stopped.store(true);
            }
            m_turn ^= 1;
        } else if (!m_buffers[m_playing].queued.load()) {
            // The decoder has ended and the last buffer has been played.
            m_stopped.store(true);
        }
    }
    if (m_listener) {
        m_listener();
    }
}

void AudioPlayer::stop() {
    closeDevice();
}

void AudioPlayer::pause() {
    if (!m_paused.exchange(true) && m_voice) {
        m_voice->setPaused(true);
    }
}

void AudioPlayer::resume() {
    if (m_paused.exchange(false) && m_voice) {
        m_voice->setPaused(false);
        AudioEngine::instance().wake(*m_voice);
    }
}

bool AudioPlayer::isPlaying() {
    if (!m_voice) {
        return false;
    }
    return !(m_stopped.load() && m_voice->isFinished());
}

bool AudioPlayer::isPaused() {
    return m_paused.load();
}

void AudioPlayer::setVolume(int percent) {
    m_gain = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
    if (m_voice) {
        m_voice->setGain(m_gain);
    }
}

void AudioPlayer::seek(int64_t ms) {
    std::lock_guard lock(m_decoderMutex);
    m_decoder->seek(ms);
}

int64_t AudioPlayer::getPosition() {
    std::lock_guard lock(m_decoderMutex);
    return m_decoder->tell();
}

}  // namespace pw
