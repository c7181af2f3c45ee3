// One sound the output mixes: a player's stream, a PCM stream, a key click.
// Voices that decode, re-time or resample are fed: that work runs ahead on
// the engine's feeder thread into a lock-free ring, and the output thread
// only copies from it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/Resampler.h"

namespace pw {

class FedVoice;
class OutputStream;

// Stereo float frames from one producing thread to one consuming thread,
// without locks. Positions count frames from the last reset().
class FrameRing {
public:
    static constexpr size_t kChannels = 2;

    // The capacity is rounded up to a power of two.
    explicit FrameRing(size_t capacityFrames);

    size_t capacity() const { return m_capacity; }
    // Producer: room, and frames in (n no more than space()).
    size_t space() const;
    void write(const float* frames, size_t n);
    uint64_t writePosition() const { return m_write.load(std::memory_order_acquire); }
    // Consumer: what is there, frames out, and frames before position dropped.
    size_t available() const;
    size_t read(float* out, size_t frames);
    void skipTo(uint64_t position);
    uint64_t readPosition() const { return m_read.load(std::memory_order_acquire); }
    // Only while neither side runs.
    void reset();

private:
    std::vector<float> m_frames;
    size_t m_capacity;
    size_t m_mask;
    std::atomic<uint64_t> m_write{0};
    std::atomic<uint64_t> m_read{0};
};

class AudioVoice {
public:
    AudioVoice();
    virtual ~AudioVoice();
    AudioVoice(const AudioVoice&) = delete;
    AudioVoice& operator=(const AudioVoice&) = delete;

    // A paused voice is not mixed; what the device already holds still plays.
    void setPaused(bool paused) { m_paused.store(paused); }
    bool isPaused() const { return m_paused.load(); }
    // Linear gain, 1 = as rendered; applied as the voice is mixed, so it
    // takes effect at once.
    void setGain(float gain) { m_gain.store(gain); }

    bool isAttached() const { return m_stream.load() != nullptr; }
    // The source said it has nothing more to give.
    bool hasEnded() const { return m_ended.load(); }
    // Ended, and every frame it gave has left the loudspeaker.
    bool isFinished() const { return hasEnded() && heardFrames() >= mixedFrames(); }

    // Frames handed to the device since the last resetCounters(), counting
    // those a fed voice dropped unheard.
    int64_t mixedFrames() const { return m_mixed.load(); }
    // Of those, the frames already heard (the device's delay taken off).
    int64_t heardFrames() const;
    // Steady-clock nanoseconds at which the first frame after the last
    // resetCounters() was handed to the device; 0 before that.
    int64_t firstMixNanos() const { return m_firstMixNanos.load(); }

    // Only while detached: counting starts again at 0.
    void resetCounters();

protected:
    // On the output thread: writes up to frames stereo frames at the output
    // rate into out and returns how many. Fewer means nothing more for now;
    // ended says nothing more will come (until the owner feeds it again). It
    // holds the previous answer on entry, for a render that cannot tell.
    // It must not wait: no locks, no decoding.
    virtual size_t render(float* out, size_t frames, bool& ended) = 0;
    // From render: frames of the voice were dropped unheard before what it
    // renders now.
    void skipped(int64_t frames) { m_pendingSkip += frames; }

private:
    friend class OutputStream;
    friend class AudioEngine;

    virtual FedVoice* fed() { return nullptr; }
    // Called by the output thread: adds up to frames frames into out.
    size_t mixInto(float* out, size_t frames, int64_t streamFrame);
    void noteMixed(int64_t streamFrame, int64_t skip, size_t count);

    // Runs of consecutive frames the voice gave, by the stream frame at
    // which each began; written by the output thread under a sequence count.
    struct Run {
        std::atomic<int64_t> streamFrame{0};
        std::atomic<int64_t> voiceFrame{0};
        std::atomic<int64_t> count{0};
    };
    static constexpr size_t kRuns = 128;

    std::atomic<OutputStream*> m_stream{nullptr};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_ended{false};
    std::atomic<float> m_gain{1.0f};
    std::atomic<int64_t> m_mixed{0};
    std::atomic<int64_t> m_firstMixNanos{0};
    std::atomic<uint64_t> m_sequence{0};
    std::atomic<size_t> m_runCount{0};
    std::array<Run, kRuns> m_runs;
    std::vector<float> m_scratch;
    int64_t m_pendingSkip = 0;  // output thread only
};

// A voice whose sound is made ahead of the output on the engine's feeder
// thread and handed over through a FrameRing.
class FedVoice : public AudioVoice {
public:
    // How much sound is made ahead: enough for a busy machine, short enough
    // that what changes the sound (a seek) drops little.
    static constexpr double kAheadSeconds = 0.3;
    // How much sound must be made before the voice starts (or starts again
    // after a discard), unless the source ends sooner: more than the device
    // asks for at once when it starts.
    static constexpr double kPrimeSeconds = 0.15;

    FedVoice();

    // The sound queued so far is stale (the source was moved): it is dropped
    // before it is heard. Call holding sourceMutex().
    void discardQueued();
    // Only while detached: the ring is emptied.
    void resetQueue();
    // Made but not yet mixed.
    size_t queuedFrames() const { return m_ring.available(); }

protected:
    // On the feeder thread, or on the thread that attaches the voice before
    // it plays, holding sourceMutex() when there is one: up to frames stereo
    // frames at the output rate. Fewer means nothing more for now; ended says
    // nothing more will come until the owner changes the source.
    virtual size_t produce(float* out, size_t frames, bool& ended) = 0;
    // The lock the owner holds while it changes the source; null for none.
    virtual std::mutex* sourceMutex() { return nullptr; }

private:
    friend class AudioEngine;
    static constexpr uint64_t kNotEnded = UINT64_MAX;

    FedVoice* fed() final { return this; }
    // Tops the ring up; true when it made anything.
    bool feed();
    size_t render(float* out, size_t frames, bool& ended) final;

    FrameRing m_ring;
    std::vector<float> m_piece;
    // Ring positions: where a discard leaves off, and where the source ended.
    std::atomic<uint64_t> m_discardTo{0};
    std::atomic<uint64_t> m_endAt{kNotEnded};
    size_t m_primeFrames;
    bool m_primed = false;  // output thread, or while detached
};

// A fed voice whose source gives frames at its own rate and channel count;
// they are resampled to the output rate and spread over the two channels.
class ResamplingVoice : public FedVoice, private FrameSource {
public:
    ResamplingVoice(int rate, int channels);

protected:
    // On the feeder thread: up to frames frames at the voice's own rate.
    virtual size_t readSource(float* out, size_t frames, bool& ended) = 0;
    // Forgets frames the resampler holds; only while detached.
    void resetResampler() { m_resampler.reset(); }

    size_t produce(float* out, size_t frames, bool& ended) final;

private:
    size_t read(float* out, size_t frames, bool& ended) final {
        return readSource(out, frames, ended);
    }

    size_t m_channels;
    Resampler m_resampler;
    std::vector<float> m_frames;
};

// Plays a FrameSource of stereo frames at the output rate. The owner changes
// the source only while it holds mutex, and calls discardQueued() when what
// was made ahead no longer follows.
class SourceVoice : public FedVoice {
public:
    SourceVoice(FrameSource& source, std::mutex& mutex) : m_source(source), m_mutex(mutex) {}

protected:
    size_t produce(float* out, size_t frames, bool& ended) override {
        return m_source.read(out, frames, ended);
    }
    std::mutex* sourceMutex() override { return &m_mutex; }

private:
    FrameSource& m_source;
    std::mutex& m_mutex;
};

}  // namespace pw
