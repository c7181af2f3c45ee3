// Without any output device: no box (the players' users tell the learner in
// their own words), every operation fails cleanly, and the file work still
// gets done.
#include <cstdlib>

#include <gtest/gtest.h>

#include "audio/AudioEngine.h"
#include "audio/AudioPlayer.h"
#include "audio/BassPlayer.h"
#include "audio/KeyClick.h"
#include "audio/MP3.h"
#include "audio/PcmOutputStream.h"
#include "audio/WavFile.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/UiServices.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

class NoDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No sound server can be reached, so no device is offered.
        unsetenv("XDG_RUNTIME_DIR");
        setenv("PULSE_SERVER", "unix:/nonexistent/pulse/native", 1);
        setenv("JACK_NO_START_SERVER", "1", 1);
    }
};

TEST_F(NoDevice, NoBoxAndEveryOperationFailsCleanly) {
    test::ScopedRecordingUi ui;
    test::TempDir dir;
    const std::string wav = dir.file("tone.wav");
    test::writeTones(wav, 44100, 2, {{0.5, 440}});

    BassPlayer player;
    ASSERT_TRUE(player.open(wav));
    const bool opened = player.initialize();
    if (opened) {
        GTEST_SKIP() << "This machine offers an output device even with no sound server; the "
                        "case without one cannot be made here.";
    }
    EXPECT_TRUE(ui->boxes.empty());

    EXPECT_FALSE(player.play());
    EXPECT_FALSE(player.playSegment(0, 200));
    EXPECT_FALSE(player.isPlaying());
    player.pause();
    player.resume();
    EXPECT_FALSE(player.isPaused());
    player.stop();
    EXPECT_EQ(player.getPosition(), 0);
    EXPECT_FALSE(player.openAndPlay(wav));

    AudioPlayer buffers;
    const std::string ogg = dir.file("tone.ogg");
    ASSERT_EQ(test::runProgram({"sox", wav, ogg}), 0);
    ASSERT_TRUE(buffers.open(ogg));
    EXPECT_FALSE(buffers.play());
    EXPECT_FALSE(buffers.isPlaying());

    MP3 mp3;
    const std::string mp3Path = dir.file("tone.mp3");
    test::writeTones(mp3Path, 44100, 1, {{0.5, 440}});
    ASSERT_TRUE(mp3.open(mp3Path));
    EXPECT_TRUE(mp3.play());
    mp3.stop();
    EXPECT_FALSE(mp3.isPlaying());

    PcmOutputStream stream(22050, 1);
    EXPECT_FALSE(stream.start());
    const std::vector<int16_t> pcm = test::sinePcm(22050, 1, 0.2, 440);
    EXPECT_EQ(stream.write(pcm.data(), pcm.size()), pcm.size());
    stream.finish();
    EXPECT_FALSE(stream.isPlaying());
    EXPECT_EQ(stream.playedFrames(), static_cast<int64_t>(pcm.size()));

    KeyClick::instance().play(test::sourceDir() + "/Resources/type.wav");

    // No box for any of that either.
    EXPECT_TRUE(ui->boxes.empty());

    // Cutting and encoding need no device.
    ASSERT_TRUE(player.saveSegmentAsWav(100, 300, dir.file("cut.wav")));
    EXPECT_EQ(wavDuration(dir.file("cut.wav")), 200u);
}

}  // namespace
}  // namespace pw
