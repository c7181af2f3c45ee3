// Voices: what they mixed and how much of it has been heard.
#include "audio/AudioVoice.h"

#include <algorithm>
#include <chrono>

#include "audio/AudioEngine.h"
#include "audio/OutputStream.h"

namespace pw {

AudioVoice::AudioVoice() : m_scratch(OutputStream::kPieceFrames * OutputStream::kChannels) {}

AudioVoice::~AudioVoice() = default;

void AudioVoice::resetCounters() {
    m_sequence.fetch_add(1);
    m_runCount.store(0);
    m_mixed.store(0);
    m_sequence.fetch_add(1);
    m_firstMixNanos.store(0);
    m_ended.store(false);
}

size_t AudioVoice::mixInto(float* out, size_t frames, int64_t streamFrame) {
    if (m_paused.load(std::memory_order_relaxed)) {
        return 0;
    }
    frames = std::min(frames, OutputStream::kPieceFrames);
    // A render that cannot tell this time keeps the previous answer.
    bool ended = m_ended.load(std::memory_order_relaxed);
    const size_t n = render(m_scratch.data(), frames, ended);
    m_ended.store(ended, std::memory_order_relaxed);
    if (n == 0) {
        return 0;
    }
    const float gain = m_gain.load(std::memory_order_relaxed);
    for (size_t i = 0; i < n * OutputStream::kChannels; ++i) {
        out[i] += m_scratch[i] * gain;
    }
    if (m_firstMixNanos.load(std::memory_order_relaxed) == 0) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        m_firstMixNanos.store(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    }
    noteMixed(streamFrame, n);
    return n;
}

void AudioVoice::noteMixed(int64_t streamFrame, size_t count) {
    const auto n = static_cast<int64_t>(count);
    const int64_t voiceFrame = m_mixed.load(std::memory_order_relaxed);
    const size_t runs = m_runCount.load(std::memory_order_relaxed);
    m_sequence.fetch_add(1, std::memory_order_acq_rel);
    Run* last = runs > 0 ? &m_runs[(runs - 1) % kRuns] : nullptr;
    if (last &&
        last->streamFrame.load(std::memory_order_relaxed) +
                last->count.load(std::memory_order_relaxed) ==
            streamFrame &&
        last->voiceFrame.load(std::memory_order_relaxed) +
                last->count.load(std::memory_order_relaxed) ==
            voiceFrame) {
        last->count.fetch_add(n, std::memory_order_relaxed);
    } else {
        Run& run = m_runs[runs % kRuns];
        run.streamFrame.store(streamFrame, std::memory_order_relaxed);
        run.voiceFrame.store(voiceFrame, std::memory_order_relaxed);
        run.count.store(n, std::memory_order_relaxed);
        m_runCount.store(runs + 1, std::memory_order_relaxed);
    }
    m_mixed.store(voiceFrame + n, std::memory_order_relaxed);
    m_sequence.fetch_add(1, std::memory_order_release);
}

int64_t AudioVoice::heardFrames() const {
    const OutputStream* stream = m_stream.load();
    if (!stream) {
        return m_mixed.load();
    }
    const int64_t heard = stream->heardFrame();
    for (;;) {
        const uint64_t before = m_sequence.load(std::memory_order_acquire);
        if (before & 1) {
            continue;
        }
        const size_t runs = m_runCount.load(std::memory_order_relaxed);
        const int64_t mixed = m_mixed.load(std::memory_order_relaxed);
        int64_t result = 0;
        const size_t oldest = runs > kRuns ? runs - kRuns : 0;
        for (size_t i = runs; i > oldest; --i) {
            const Run& run = m_runs[(i - 1) % kRuns];
            const int64_t start = run.streamFrame.load(std::memory_order_relaxed);
            const int64_t voiceFrame = run.voiceFrame.load(std::memory_order_relaxed);
            if (start <= heard) {
                result =
                    voiceFrame + std::min(heard - start, run.count.load(std::memory_order_relaxed));
                break;
            }
            // Not yet heard: at most what came before this run.
            result = voiceFrame;
        }
        std::atomic_thread_fence(std::memory_order_acquire);
        if (m_sequence.load(std::memory_order_relaxed) == before) {
            return std::min(result, mixed);
        }
    }
}

ResamplingVoice::ResamplingVoice(int rate, int channels)
    : m_channels(static_cast<size_t>(channels)),
      m_resampler(static_cast<unsigned>(channels)),
      m_frames(OutputStream::kPieceFrames * m_channels) {
    m_resampler.setRates(rate, AudioEngine::kSampleRate);
}

size_t ResamplingVoice::render(float* out, size_t frames, bool& ended) {
    frames = std::min(frames, OutputStream::kPieceFrames);
    const size_t n = m_resampler.read(*this, m_frames.data(), frames, ended);
    const size_t right = m_channels > 1 ? 1 : 0;
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = m_frames[i * m_channels];
        out[2 * i + 1] = m_frames[i * m_channels + right];
    }
    return n;
}

}  // namespace pw
