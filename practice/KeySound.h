// The click played for every accepted key.
#pragma once

namespace pw {

class KeySound {
public:
    virtual ~KeySound() = default;
    virtual void play() = 0;
};

// "Resources/type.wav", silent when it is missing or there is no output.
class KeyClickSound : public KeySound {
public:
    void play() override;
};

}  // namespace pw
