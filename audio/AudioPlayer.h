// A player that feeds the output from a PCMDecoder (an OggDecoder unless
// given another) through two buffers of a fifth of a second, each refilled
// on the engine's feeder thread as soon as it has been used up.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/IAudioPlayer.h"
#include "audio/PCMDecoder.h"

namespace pw {

class AudioPlayer : public IAudioPlayer {
public:
    AudioPlayer();
    explicit AudioPlayer(std::unique_ptr<PCMDecoder> decoder);
    ~AudioPlayer() override;

    bool open(const std::string& path) override;
    // Primes both buffers and starts; false when the decoder cannot read or
    // there is no output.
    bool play() override;
    void stop() override;
    void pause() override;
    void resume() override;
    // True until the end has been heard (never, while looping) or stop().
    bool isPlaying() override;
    bool isPaused() override;
    void setVolume(int percent) override;
    // The decoder's position: up to two buffers ahead of what is heard.
    void seek(int64_t ms) override;
    int64_t getPosition() override;

    // Called on the feeder thread each time a buffer has been used up; set
    // before play(). It must return quickly and call neither this player
    // nor the audio engine.
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }
    PCMDecoder& decoder() { return *m_decoder; }

private:
    class Voice;
    friend class Voice;
    struct Buffer {
        std::vector<int16_t> samples;
        size_t frames = 0;
        size_t position = 0;
        std::atomic<bool> queued{false};
    };

    void closeDevice();
    // Feeder thread, holding m_decoderMutex.
    size_t readBuffers(float* out, size_t frames, bool& ended);
    void bufferDone();
    bool fill(Buffer& buffer);

    std::unique_ptr<PCMDecoder> m_decoder;
    // Held by control calls that touch the decoder and by the feeder.
    std::mutex m_decoderMutex;
    std::array<Buffer, 2> m_buffers;
    size_t m_bufferBytes = 0;
    size_t m_playing = 0;  // the buffer being played
    size_t m_turn = 0;     // the buffer to refill next
    std::atomic<bool> m_stopped{true};
    std::atomic<bool> m_decoderEnded{false};
    std::atomic<bool> m_paused{false};
    float m_gain = 1.0f;
    std::function<void()> m_listener;
    std::unique_ptr<Voice> m_voice;
};

}  // namespace pw
