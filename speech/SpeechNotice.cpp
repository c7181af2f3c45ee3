// The notices about sentences that cannot be heard.
#include "speech/SpeechNotice.h"

#include <mutex>
#include <set>

#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace {

struct Notices {
    std::mutex mutex;
    std::set<std::string> keys;  // what has been told in this run
    std::vector<std::u16string> told;
    NoticeShower shower;
};

Notices& notices() {
    static Notices* n = new Notices;  // told from threads that may outlive statics
    return *n;
}

void show(const std::u16string& text) {
    Notices& n = notices();
    NoticeShower shower;
    {
        std::lock_guard lock(n.mutex);
        shower = n.shower;
    }
    if (shower) {
        shower(text);
    } else {
        messageBox(text, MbOk | MbIconWarning);
    }
}

// Tells text unless a notice of key was told in this run.
void tellOnce(const std::string& key, const std::u16string& text) {
    Notices& n = notices();
    {
        std::lock_guard lock(n.mutex);
        if (!n.keys.insert(key).second) {
            return;
        }
        n.told.push_back(text);
    }
    if (ui().isUiThread()) {
        show(text);
    } else {
        ui().post([text] { show(text); });
    }
}

}  // namespace

void tellSpeechUnavailable(const std::u16string& reason) {
    tellOnce("engine",
             u"Sentences cannot be read aloud: " + reason + u"\nPractice goes on without speech.");
}

void tellNoSoundDevice() {
    tellOnce("device", kNoSoundDeviceNotice);
}

void tellRecordingUnplayable(const std::string& path) {
    tellOnce("file:" + path, u"The recording " + fromUtf8(path) +
                                 u" cannot be played; the sentence is read aloud instead.");
}

void setNoticeShower(NoticeShower shower) {
    Notices& n = notices();
    std::vector<std::u16string> told;
    {
        std::lock_guard lock(n.mutex);
        n.shower = shower;
        told = n.told;
    }
    if (shower) {
        for (const std::u16string& text : told) {
            shower(text);
        }
    }
}

std::vector<std::u16string> noticesTold() {
    std::lock_guard lock(notices().mutex);
    return notices().told;
}

void resetNoticesForTesting() {
    Notices& n = notices();
    std::lock_guard lock(n.mutex);
    n.keys.clear();
    n.told.clear();
}

}  // namespace pw
