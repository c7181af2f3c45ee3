// The key click. Resources/type.wav is our own sound, made with
//   sox -D -n -r 44100 -b 16 -c 2 click.wav synth 0.03 sine 2600 sine 4100
//   sox -D click.wav -c 1 type.wav remix 1,2 fade q 0.001 0.03 0.028 vol 0.5
#include "audio/KeyClick.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "audio/AudioEngine.h"
#include "audio/AudioVoice.h"
#include "audio/TempoStream.h"

namespace pw {

// Plays the shared samples from the start each time it is triggered.
class KeyClick::Voice : public AudioVoice {
public:
    // Only while detached.
    void setSamples(std::shared_ptr<const std::vector<float>> samples) {
        m_samples = std::move(samples);
        m_position = m_samples ? m_samples->size() : 0;
    }
    void trigger() { m_trigger.fetch_add(1); }

protected:
    size_t render(float* out, size_t frames, bool& ended) override {
        const unsigned trigger = m_trigger.load();
        if (trigger != m_seen) {
            m_seen = trigger;
            m_position = 0;
        }
        const size_t total = m_samples ? m_samples->size() : 0;
        const size_t n = std::min(frames * 2, total - m_position);
        if (n > 0) {
            std::copy_n(m_samples->data() + m_position, n, out);
        }
        m_position += n;
        ended = m_position >= total;
        return n / 2;
    }

private:
    std::shared_ptr<const std::vector<float>> m_samples;
    std::atomic<unsigned> m_trigger{0};
    unsigned m_seen = 0;
    size_t m_position = 0;
};

KeyClick& KeyClick::instance() {
    // Never destroyed, like the engine it plays through.
    static KeyClick* click = new KeyClick;
    return *click;
}

KeyClick::KeyClick() {
    for (auto& voice : m_voices) {
        voice = std::make_unique<Voice>();
    }
}

KeyClick::~KeyClick() {
    for (auto& voice : m_voices) {
        AudioEngine::instance().detach(*voice);
    }
}

bool KeyClick::loadLocked(const std::string& path) {
    if (path == m_path && m_samples) {
        return true;
    }
    TempoStream stream;
    if (!stream.open(path)) {
        return false;
    }
    stream.setOutputFormat(AudioEngine::kSampleRate, 2, Resampler::Quality::Good);
    auto samples = std::make_shared<std::vector<float>>();
    std::vector<float> piece(4096 * 2);
    bool ended = false;
    // A click is short; a long file is cut rather than held whole.
    constexpr size_t kMaxFrames = AudioEngine::kSampleRate * 2;
    while (!ended && samples->size() < kMaxFrames * 2) {
        const size_t n = stream.read(piece.data(), 4096, ended);
        samples->insert(samples->end(), piece.begin(), piece.begin() + static_cast<long>(n * 2));
        if (n == 0) {
            break;
        }
    }
    for (auto& voice : m_voices) {
        AudioEngine::instance().detach(*voice);
        voice->setSamples(samples);
    }
    m_samples = std::move(samples);
    m_path = path;
    return true;
}

bool KeyClick::preload(const std::string& path) {
    std::lock_guard lock(m_mutex);
    return loadLocked(path);
}

void KeyClick::play(const std::string& path) {
    if (access(path.c_str(), R_OK) != 0) {
        return;
    }
    std::lock_guard lock(m_mutex);
    if (!loadLocked(path)) {
        return;
    }
    Voice& voice = *m_voices[m_next];
    m_next = (m_next + 1) % kVoices;
    voice.trigger();
    AudioEngine& engine = AudioEngine::instance();
    // A voice left on a stream that a device change could not reopen moves
    // to one that plays.
    if (!voice.isAttached() || !engine.wake(voice)) {
        engine.detach(voice);
        engine.attach(voice, AudioEngine::Latency::Low);
    }
}

}  // namespace pw
