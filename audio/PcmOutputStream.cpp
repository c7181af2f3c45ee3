// PCM stream playback through a ring buffer that the engine's feeder reads.
#include "audio/PcmOutputStream.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "audio/AudioEngine.h"
#include "audio/AudioVoice.h"

namespace pw {

// Reads the ring; the feeder is its only reader.
class PcmOutputStream::Voice : public ResamplingVoice {
public:
    explicit Voice(PcmOutputStream& owner)
        : ResamplingVoice(owner.m_rate, owner.m_channels), m_owner(owner) {}

    // Only while detached.
    void reset() {
        resetResampler();
        resetCounters();
        resetQueue();
    }

protected:
    size_t readSource(float* out, size_t frames, bool& ended) override {
        const size_t channels = static_cast<size_t>(m_owner.m_channels);
        const size_t capacity = m_owner.m_capacityFrames;
        const bool finished = m_owner.m_finished.load(std::memory_order_acquire);
        const int64_t written = m_owner.m_written.load(std::memory_order_acquire);
        int64_t readFrames = m_owner.m_read.load(std::memory_order_relaxed);
        const size_t n = static_cast<size_t>(
            std::min<int64_t>(written - readFrames, static_cast<int64_t>(frames)));
        for (size_t i = 0; i < n; ++i) {
            const size_t slot = static_cast<size_t>(readFrames % static_cast<int64_t>(capacity));
            for (size_t c = 0; c < channels; ++c) {
                out[i * channels + c] = m_owner.m_ring[slot * channels + c] / 32768.0f;
            }
            ++readFrames;
        }
        m_owner.m_read.store(readFrames, std::memory_order_release);
        ended = finished && readFrames == written;
        return n;
    }

private:
    PcmOutputStream& m_owner;
};

PcmOutputStream::PcmOutputStream(int sampleRate, int channels, double capacitySeconds)
    : m_rate(std::max(sampleRate, 1)),
      m_channels(std::clamp(channels, 1, 2)),
      m_capacityFrames(
          std::max<size_t>(static_cast<size_t>(std::ceil(capacitySeconds * m_rate)), 1024)) {
    m_ring.resize(m_capacityFrames * static_cast<size_t>(m_channels));
    m_voice = std::make_unique<Voice>(*this);
}

PcmOutputStream::~PcmOutputStream() {
    stop();
}

bool PcmOutputStream::start() {
    stop();
    m_voice->reset();
    m_read.store(0);
    m_written.store(0);
    m_finished.store(false);
    m_started.store(true);
    const bool attached = AudioEngine::instance().attach(*m_voice);
    m_attached.store(attached);
    return attached;
}

size_t PcmOutputStream::write(const int16_t* samples, size_t frames, int timeoutMs) {
    if (!m_started.load() || m_finished.load()) {
        return 0;
    }
    if (!m_attached.load()) {
        // Without an output the data count as played at once.
        m_written.fetch_add(static_cast<int64_t>(frames));
        m_read.store(m_written.load());
        return frames;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const size_t channels = static_cast<size_t>(m_channels);
    size_t done = 0;
    while (done < frames && m_started.load()) {
        const int64_t written = m_written.load(std::memory_order_relaxed);
        const int64_t space = static_cast<int64_t>(m_capacityFrames) -
                              (written - m_read.load(std::memory_order_acquire));
        if (space <= 0) {
            if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const size_t n = std::min(frames - done, static_cast<size_t>(space));
        for (size_t i = 0; i < n; ++i) {
            const size_t slot = static_cast<size_t>((written + static_cast<int64_t>(i)) %
                                                    static_cast<int64_t>(m_capacityFrames));
            std::copy_n(samples + (done + i) * channels, channels, m_ring.data() + slot * channels);
        }
        m_written.store(written + static_cast<int64_t>(n), std::memory_order_release);
        done += n;
        AudioEngine::instance().wake(*m_voice);
    }
    return done;
}

void PcmOutputStream::finish() {
    m_finished.store(true, std::memory_order_release);
}

void PcmOutputStream::pause() {
    m_voice->setPaused(true);
}

void PcmOutputStream::resume() {
    m_voice->setPaused(false);
    if (m_attached.load()) {
        AudioEngine::instance().wake(*m_voice);
    }
}

void PcmOutputStream::stop() {
    m_started.store(false);
    if (m_attached.exchange(false)) {
        AudioEngine::instance().detach(*m_voice);
    }
    m_voice->setPaused(false);
}

void PcmOutputStream::setVolume(int percent) {
    m_voice->setGain(static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f);
}

bool PcmOutputStream::isPlaying() const {
    if (!m_started.load()) {
        return false;
    }
    if (!m_attached.load()) {
        return !m_finished.load();
    }
    return !(m_finished.load() && m_voice->isFinished());
}

bool PcmOutputStream::isPaused() const {
    return m_started.load() && m_voice->isPaused();
}

int64_t PcmOutputStream::playedFrames() const {
    const int64_t consumed = m_read.load();
    if (!m_attached.load() || (m_finished.load() && m_voice->isFinished())) {
        return consumed;
    }
    const double heard =
        static_cast<double>(m_voice->heardFrames()) * m_rate / AudioEngine::kSampleRate;
    return std::min(consumed, static_cast<int64_t>(std::llround(heard)));
}

int64_t PcmOutputStream::queuedFrames() const {
    return m_written.load() - m_read.load();
}

bool PcmOutputStream::waitUntilDone(int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (isPlaying()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace pw
