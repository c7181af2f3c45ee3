// Tells the learner, once per run, why a sentence is not heard as it should
// be: no sound output, no speech engine, a recording that cannot be played.
// The notices never interrupt: the program shows them in a line of its own
// (the speaker's pane) once it has set a shower; until then, and without a
// window, they are message boxes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pw {

inline constexpr const char16_t* kNoSoundDeviceNotice =
    u"No sound output device: sentences will not be read aloud.";

// The speech engine cannot run: "Sentences cannot be read aloud: " + reason.
void tellSpeechUnavailable(const std::u16string& reason);
// There is no sound output: kNoSoundDeviceNotice.
void tellNoSoundDevice();
// The recording of a sentence (UTF-8 path) cannot be played; the voice
// reads the sentence instead. Once per file.
void tellRecordingUnplayable(const std::string& path);

// Where notices go from now on; it is also given those told before it was
// set. Null: message boxes again. Notices reach it on the user-interface
// thread.
using NoticeShower = std::function<void(const std::u16string& text)>;
void setNoticeShower(NoticeShower shower);

// Every notice told in this run, in order; for tests.
std::vector<std::u16string> noticesTold();
void resetNoticesForTesting();

}  // namespace pw
