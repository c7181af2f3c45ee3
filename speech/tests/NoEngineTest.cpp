// Without the speech engine's data the program goes on: the voice slots stay
// empty, speaking does nothing, the learner is told once, and a conversion
// says that there is no voice.
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "speech/Speaker.h"

namespace pw {
namespace {

TEST(NoEngine, SpeakingDoesNothingAndTheLearnerIsToldOnce) {
    test::TempDir empty;
    setenv("ESPEAK_DATA_PATH", empty.path().c_str(), 1);
    test::ScopedRecordingUi ui;
    Speaker speaker;
    EXPECT_FALSE(speaker.initialize());
    EXPECT_EQ(speaker.tts()->voice(0), nullptr);
    EXPECT_EQ(speaker.voiceList(0).count(), 0);
    EXPECT_EQ(speaker.formatList().count(), 0);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text.rfind(u"Sentences cannot be read aloud: the speech engine", 0), 0u);

    speaker.speak(u"Nobody hears this.", 0);
    EXPECT_FALSE(speaker.isSpeaking());
    speaker.togglePause();
    speaker.stop();
    EXPECT_EQ(speaker.convertToWav(fromUtf8(empty.file("x.wav")), 0, u"text", false),
              TTS::kConvertNoVoice);
    ASSERT_EQ(ui->boxes.size(), 2u);
    EXPECT_EQ(ui->boxes[1].text, u"Failed: GetSapiVoice()");
}

}  // namespace
}  // namespace pw
