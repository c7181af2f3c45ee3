// Voices: what they mixed, how much of it has been heard, and the ring that
// fed voices are made ahead into.
#include "audio/AudioVoice.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "audio/AudioEngine.h"
#include "audio/OutputStream.h"

namespace pw {
namespace {

size_t powerOfTwoAtLeast(size_t n) {
    size_t p = 1;
    while (p < n) {
        p <<= 1;
    }
    return p;
}

}  // namespace

FrameRing::FrameRing(size_t capacityFrames)
    : m_capacity(powerOfTwoAtLeast(std::max<size_t>(capacityFrames, 2))), m_mask(m_capacity - 1) {
    m_frames.resize(m_capacity * kChannels);
}

size_t FrameRing::space() const {
    return m_capacity - static_cast<size_t>(m_write.load(std::memory_order_relaxed) -
                                            m_read.load(std::memory_order_acquire));
}

void FrameRing::write(const float* frames, size_t n) {
    uint64_t position = m_write.load(std::memory_order_relaxed);
    for (size_t done = 0; done < n;) {
        const size_t slot = static_cast<size_t>(position) & m_mask;
        const size_t piece = std::min(n - done, m_capacity - slot);
        std::memcpy(m_frames.data() + slot * kChannels, frames + done * kChannels,
                    piece * kChannels * sizeof(float));
        done += piece;
        position += piece;
    }
    m_write.store(position, std::memory_order_release);
}

size_t FrameRing::available() const {
    return static_cast<size_t>(m_write.load(std::memory_order_acquire) -
                               m_read.load(std::memory_order_relaxed));
}

size_t FrameRing::read(float* out, size_t frames) {
    uint64_t position = m_read.load(std::memory_order_relaxed);
    const size_t n = std::min(frames, available());
    for (size_t done = 0; done < n;) {
        const size_t slot = static_cast<size_t>(position) & m_mask;
        const size_t piece = std::min(n - done, m_capacity - slot);
        std::memcpy(out + done * kChannels, m_frames.data() + slot * kChannels,
                    piece * kChannels * sizeof(float));
        done += piece;
        position += piece;
    }
    m_read.store(position, std::memory_order_release);
    return n;
}

void FrameRing::skipTo(uint64_t position) {
    const uint64_t written = m_write.load(std::memory_order_acquire);
    m_read.store(std::min(position, written), std::memory_order_release);
}

void FrameRing::reset() {
    m_write.store(0);
    m_read.store(0);
}

AudioVoice::AudioVoice() : m_scratch(OutputStream::kPieceFrames * OutputStream::kChannels) {}

AudioVoice::~AudioVoice() = default;

void AudioVoice::resetCounters() {
    m_sequence.fetch_add(1);
    m_runCount.store(0);
    m_mixed.store(0);
    m_sequence.fetch_add(1);
    m_firstMixNanos.store(0);
    m_ended.store(false);
    m_pendingSkip = 0;
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
    const int64_t skip = m_pendingSkip;
    m_pendingSkip = 0;
    if (n == 0) {
        if (skip > 0) {
            noteMixed(streamFrame, skip, 0);
        }
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
    noteMixed(streamFrame, skip, n);
    return n;
}

void AudioVoice::noteMixed(int64_t streamFrame, int64_t skip, size_t count) {
    const auto n = static_cast<int64_t>(count);
    // Dropped frames count as mixed, so that the voice's frames keep their
    // numbers; they start a run of their own.
    const int64_t voiceFrame = m_mixed.load(std::memory_order_relaxed) + skip;
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

FedVoice::FedVoice()
    : m_ring(static_cast<size_t>(kAheadSeconds * AudioEngine::kSampleRate)),
      m_piece(OutputStream::kPieceFrames * FrameRing::kChannels),
      m_primeFrames(std::min(m_ring.capacity(),
                             static_cast<size_t>(kPrimeSeconds * AudioEngine::kSampleRate))) {}

void FedVoice::discardQueued() {
    // The end goes first: a render that sees the new discard sees no old end.
    m_endAt.store(kNotEnded, std::memory_order_release);
    m_discardTo.store(m_ring.writePosition(), std::memory_order_release);
}

void FedVoice::resetQueue() {
    m_ring.reset();
    m_primed = false;
    m_discardTo.store(0);
    m_endAt.store(kNotEnded);
}

bool FedVoice::feed() {
    std::unique_lock<std::mutex> lock;
    if (std::mutex* mutex = sourceMutex()) {
        lock = std::unique_lock(*mutex);
    }
    bool made = false;
    while (m_endAt.load(std::memory_order_relaxed) == kNotEnded) {
        const size_t want = std::min(m_ring.space(), OutputStream::kPieceFrames);
        if (want == 0) {
            break;
        }
        bool ended = false;
        const size_t n = produce(m_piece.data(), want, ended);
        if (n > 0) {
            m_ring.write(m_piece.data(), n);
            made = true;
        }
        if (ended) {
            m_endAt.store(m_ring.writePosition(), std::memory_order_release);
            break;
        }
        if (n < want) {
            break;
        }
    }
    return made;
}

size_t FedVoice::render(float* out, size_t frames, bool& ended) {
    const uint64_t discardTo = m_discardTo.load(std::memory_order_acquire);
    const uint64_t before = m_ring.readPosition();
    if (discardTo > before) {
        m_ring.skipTo(discardTo);
        skipped(static_cast<int64_t>(m_ring.readPosition() - before));
        // What follows a discard starts afresh, like a new sound.
        m_primed = false;
    }
    if (!m_primed) {
        // A device that starts asks for its whole buffer at once, faster
        // than the feeder makes sound: a sound begun with less in the ring
        // would be cut by silence in its first moments.
        const bool sourceDone = m_endAt.load(std::memory_order_acquire) != kNotEnded;
        if (!sourceDone && m_ring.available() < m_primeFrames) {
            ended = false;
            return 0;
        }
        m_primed = true;
    }
    const size_t n = m_ring.read(out, frames);
    const uint64_t endAt = m_endAt.load(std::memory_order_acquire);
    ended = endAt != kNotEnded && m_ring.readPosition() >= endAt;
    return n;
}

ResamplingVoice::ResamplingVoice(int rate, int channels)
    : m_channels(static_cast<size_t>(channels)),
      m_resampler(static_cast<unsigned>(channels)),
      m_frames(OutputStream::kPieceFrames * m_channels) {
    m_resampler.setRates(rate, AudioEngine::kSampleRate);
}

size_t ResamplingVoice::produce(float* out, size_t frames, bool& ended) {
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
