// One PortAudio output stream of the engine and the mix of voices it plays.
// Only AudioEngine creates these and calls them under its lock; voices ask
// heardFrame() from any thread.
#pragma once

#include <portaudio.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace pw {

class AudioVoice;

class OutputStream {
public:
    static constexpr int kChannels = 2;
    // The most frames a voice is asked for at once.
    static constexpr size_t kPieceFrames = 512;
    static constexpr size_t kMaxVoices = 32;

    // latency in seconds; 0 asks for the lowest the device allows.
    // periodFrames is how many frames each callback renders (0: the
    // device's choice); short periods make start and pause prompt.
    OutputStream(double latency, int sampleRate, unsigned long periodFrames = 0);
    ~OutputStream();
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    // Opens (not starts) the stream on a PortAudio device; the PortAudio
    // error code, paNoError on success.
    PaError open(PaDeviceIndex device);
    void close();
    bool isOpen() const {
        std::lock_guard lock(m_streamMutex);
        return m_stream != nullptr;
    }

    bool add(AudioVoice& voice);
    // Returns once the output thread no longer touches the voice.
    void remove(AudioVoice& voice);
    bool hasVoices() const;

    // Starts the stream if it is not running.
    PaError run();
    // Stops a running stream that has been silent for idleMs.
    void stopIfIdle(int idleMs);

    // The stream frame leaving the loudspeaker now (frames from the start).
    int64_t heardFrame() const;
    int sampleRate() const { return m_sampleRate; }

private:
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* self);
    void process(float* out, unsigned long frames, const PaStreamCallbackTimeInfo* time);

    double m_latency;
    int m_sampleRate;
    unsigned long m_periodFrames;
    double m_deviceLatency = 0.0;
    // Guards m_stream and m_running against heardFrame().
    mutable std::mutex m_streamMutex;
    PaStream* m_stream = nullptr;
    bool m_running = false;
    std::chrono::steady_clock::time_point m_lastStart{};

    std::array<std::atomic<AudioVoice*>, kMaxVoices> m_voices{};
    // Odd while the output thread is inside the callback.
    std::atomic<uint64_t> m_cycle{0};
    std::atomic<int64_t> m_rendered{0};
    std::atomic<int64_t> m_lastSoundFrame{0};
    // When the first frame of the latest callback reaches the loudspeaker,
    // on the stream's clock, under a sequence count.
    std::atomic<uint64_t> m_timingSequence{0};
    std::atomic<int64_t> m_timingFrame{0};
    std::atomic<double> m_timingDacTime{0.0};
    mutable std::atomic<int64_t> m_heardHighWater{0};
};

}  // namespace pw
