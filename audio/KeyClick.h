// The key click: a short sound loaded once and played at each key press with
// the least delay the output allows, over whatever else is playing.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/AppFiles.h"

namespace pw {

class KeyClick {
public:
    static constexpr const char* kDefaultPath = "Resources/type.wav";

    static KeyClick& instance();

    // Decodes the sound now, so the first key press does not wait; false
    // when it cannot be read.
    bool preload(const std::string& path = shippedFile(kDefaultPath));
    // Plays the click and returns at once. Nothing is played, and nothing
    // said, when the file cannot be read or there is no output. Clicks that
    // follow each other fast overlap.
    void play(const std::string& path = shippedFile(kDefaultPath));

    ~KeyClick();

private:
    class Voice;
    static constexpr size_t kVoices = 4;

    KeyClick();
    bool loadLocked(const std::string& path);

    std::mutex m_mutex;
    std::string m_path;
    std::shared_ptr<const std::vector<float>> m_samples;
    std::array<std::unique_ptr<Voice>, kVoices> m_voices;
    size_t m_next = 0;
};

}  // namespace pw
