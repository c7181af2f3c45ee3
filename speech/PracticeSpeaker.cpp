// Practice's speech through the speaker.
#include "speech/PracticeSpeaker.h"

#include <limits>

namespace pw {

bool PracticeSpeaker::playRecording(const std::string& path, int startMs, int endMs) {
    const int64_t end = endMs < 0 ? std::numeric_limits<int32_t>::max() : endMs;
    return m_speaker.playSegment(path, startMs, end);
}

}  // namespace pw
