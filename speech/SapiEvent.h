// What a speech engine tells its listener: a word boundary or the end of
// speech, with where the word stands in the text that was spoken.
#pragma once

#include <cstdint>

namespace pw {

struct SapiEvent {
    static constexpr int32_t kFinished = 1;
    static constexpr int32_t kWordBoundary = 4;

    // Set by whoever registers the listener, to itself; null until then.
    void* owner = nullptr;
    // UTF-16 offset of the word in the spoken text, markup prefix included.
    int32_t wordPosition = 0;
    // Length of the spoken text, markup included.
    int32_t textLength = 0;
    int32_t wordLength = 0;
    // Markup put before the caller's text; subtract it from wordPosition to
    // index the caller's text.
    int32_t markupPrefixLength = 0;
    int32_t type = 0;
};

class SapiEventListener {
public:
    virtual ~SapiEventListener() = default;
    // Always called on the user-interface thread.
    virtual void onSapiEvent(const SapiEvent& event) = 0;
};

}  // namespace pw
