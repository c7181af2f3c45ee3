// One sound the output mixes: a player's stream, a PCM stream, a key click.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/Resampler.h"

namespace pw {

class OutputStream;

class AudioVoice {
public:
    AudioVoice();
    virtual ~AudioVoice();
    AudioVoice(const AudioVoice&) = delete;
    AudioVoice& operator=(const AudioVoice&) = delete;

    // A paused voice is not mixed; what the device already holds still plays.
    void setPaused(bool paused) { m_paused.store(paused); }
    bool isPaused() const { return m_paused.load(); }
    // Linear gain, 1 = as rendered.
    void setGain(float gain) { m_gain.store(gain); }

    bool isAttached() const { return m_stream.load() != nullptr; }
    // The source said it has nothing more to give.
    bool hasEnded() const { return m_ended.load(); }
    // Ended, and every frame it gave has left the loudspeaker.
    bool isFinished() const { return hasEnded() && heardFrames() >= mixedFrames(); }

    // Frames handed to the device since the last resetCounters().
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
    virtual size_t render(float* out, size_t frames, bool& ended) = 0;

private:
    friend class OutputStream;
    friend class AudioEngine;

    // Called by the output thread: adds up to frames frames into out.
    size_t mixInto(float* out, size_t frames, int64_t streamFrame);
    void noteMixed(int64_t streamFrame, size_t count);

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
};

// A voice whose source gives frames at its own rate and channel count; they
// are resampled to the output rate and spread over the two channels.
class ResamplingVoice : public AudioVoice, private FrameSource {
public:
    ResamplingVoice(int rate, int channels);

protected:
    // On the output thread: up to frames frames at the voice's own rate.
    virtual size_t readSource(float* out, size_t frames, bool& ended) = 0;
    // Forgets frames the resampler holds; only while detached.
    void resetResampler() { m_resampler.reset(); }

    size_t render(float* out, size_t frames, bool& ended) final;

private:
    size_t read(float* out, size_t frames, bool& ended) final {
        return readSource(out, frames, ended);
    }

    size_t m_channels;
    Resampler m_resampler;
    std::vector<float> m_frames;
};

// Plays a FrameSource of stereo frames at the output rate. The owner changes
// the source only while it holds mutex; the output thread merely tries the
// lock and plays a moment of silence when the owner has it.
class SourceVoice : public AudioVoice {
public:
    SourceVoice(FrameSource& source, std::mutex& mutex) : m_source(source), m_mutex(mutex) {}

protected:
    size_t render(float* out, size_t frames, bool& ended) override {
        std::unique_lock lock(m_mutex, std::try_to_lock);
        return lock ? m_source.read(out, frames, ended) : 0;
    }

private:
    FrameSource& m_source;
    std::mutex& m_mutex;
};

}  // namespace pw
