// Playback of PCM that its producer hands over piece by piece, such as the
// 22050 Hz 16-bit mono output of the speech synthesiser, with the position
// the listener has reached.
//
//   PcmOutputStream out(22050, 1);
//   out.start();                      // false: no output device
//   out.write(samples, frames);       // from the producing thread, any size
//   out.finish();                     // no more data will come
//   while (out.isPlaying()) {         // poll: playedFrames() says how far
//       fireWordEventsUpTo(out.playedFrames());   // the listener has heard
//   }
//
// One thread writes; any thread may pause, resume, stop, set the volume and
// ask the position.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pw {

class PcmOutputStream {
public:
    // 16-bit interleaved PCM of sampleRate Hz and channels (1 or 2);
    // capacitySeconds bounds what write() queues before it waits.
    explicit PcmOutputStream(int sampleRate = 22050, int channels = 1,
                             double capacitySeconds = 60.0);
    ~PcmOutputStream();
    PcmOutputStream(const PcmOutputStream&) = delete;
    PcmOutputStream& operator=(const PcmOutputStream&) = delete;

    // Forgets earlier data and counts, and starts playing what is written
    // from now on (opening the output on first use). False when there is no
    // output; writes are then accepted and dropped.
    bool start();
    // Queues frames; while the queue is full it waits up to timeoutMs
    // (negative: as long as it takes). Returns the frames taken.
    size_t write(const int16_t* samples, size_t frames, int timeoutMs = -1);
    // Nothing more will be written: isPlaying() ends once all is heard.
    void finish();

    void pause();
    void resume();
    // Stops at once and drops what is queued.
    void stop();
    // 0..100 percent.
    void setVolume(int percent);

    // Started and not yet stopped or played to the end (true while paused).
    bool isPlaying() const;
    bool isPaused() const;
    // Frames the listener has heard since start(); it reaches
    // writtenFrames() when playback has finished.
    int64_t playedFrames() const;
    int64_t writtenFrames() const { return m_written.load(); }
    // Written but not yet handed to the device.
    int64_t queuedFrames() const;
    // Waits until isPlaying() is false; false when timeoutMs passed first.
    bool waitUntilDone(int timeoutMs) const;

    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }

private:
    class Voice;
    friend class Voice;

    int m_rate;
    int m_channels;
    std::vector<int16_t> m_ring;
    size_t m_capacityFrames;
    std::atomic<int64_t> m_written{0};
    std::atomic<int64_t> m_read{0};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_attached{false};
    std::unique_ptr<Voice> m_voice;
};

}  // namespace pw
