// The one notice about speech that cannot be heard.
#include "speech/SpeechNotice.h"

#include <atomic>

#include "core/UiServices.h"

namespace pw {
namespace {
std::atomic<bool> g_told{false};
}

void tellSpeechUnavailable(const std::u16string& reason) {
    if (g_told.exchange(true)) {
        return;
    }
    messageBox(u"Sentences cannot be read aloud: " + reason + u"\nPractice goes on without speech.",
               MbOk | MbIconWarning);
}

bool speechUnavailableTold() {
    return g_told.load();
}

void resetSpeechNoticeForTesting() {
    g_told.store(false);
}

}  // namespace pw
