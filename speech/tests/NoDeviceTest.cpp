// Without an output device the program goes on: speaking and recorded audio
// do nothing, the learner is told once, in plain words, and files are still
// written.
#include <cstdlib>

#include <gtest/gtest.h>

#include "audio/AudioEngine.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "speech/Speaker.h"
#include "speech/SpeechNotice.h"
#include "speech/tests/SpeechFakes.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {

int boxesStartingWith(const test::RecordingUi& ui, const std::u16string& start) {
    int n = 0;
    for (const auto& box : ui.boxes) {
        n += box.text.rfind(start, 0) == 0 ? 1 : 0;
    }
    return n;
}

TEST(NoDevice, SpeakingDoesNothingAndTheLearnerIsToldOnce) {
    // No sound server can be reached, so no device is offered.
    unsetenv("XDG_RUNTIME_DIR");
    setenv("PULSE_SERVER", "unix:/nonexistent/pulse/native", 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    test::ScopedRecordingUi ui;
    test::TempDir dir;
    if (AudioEngine::instance().initialize()) {
        GTEST_SKIP() << "This machine offers an output device even with no sound server.";
    }
    Speaker speaker;
    ASSERT_TRUE(speaker.initialize());
    test::EventLog log;
    speaker.setSpeechListener(&log);
    for (int i = 0; i < 3; ++i) {
        speaker.speak(u"Nobody hears this.", i % 2);
        EXPECT_FALSE(speaker.isSpeaking());
    }
    const std::string recording = dir.file("tone.wav");
    test::writeTones(recording, 44100, 1, {{0.5, 440}});
    speaker.setUseSentenceAudio(true);
    speaker.playSegment(recording, 0, 400);
    ui->runUntil([&] { return !speaker.isPlayingSegment(); }, 2000);
    ui->runFor(300);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(boxesStartingWith(*ui, kNoSoundDeviceNotice), 1);
    EXPECT_EQ(ui->boxes.size(), 1u);

    const std::string path = dir.file("still.wav");
    ASSERT_EQ(speaker.convertToWav(fromUtf8(path), 0, u"Files need no device.", false),
              TTS::kConvertStarted);
    EXPECT_TRUE(ui->runUntil([&] { return log.count(SapiEvent::kFinished) > 0; }, 5000));
    EXPECT_GT(test::soxInfo(path).seconds, 0.5);
}

}  // namespace
}  // namespace pw
