// The key click through the audio engine.
#include "practice/KeySound.h"

#include "audio/KeyClick.h"

namespace pw {

void KeyClickSound::play() {
    KeyClick::instance().play();
}

}  // namespace pw
