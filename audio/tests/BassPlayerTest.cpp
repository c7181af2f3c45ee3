// The player's file side: position arithmetic, segment cutting, MP3 encoding
// and the refusals. Nothing here needs a sound device.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "audio/BassPlayer.h"
#include "audio/WavFile.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using test::TempDir;

TEST(StreamBytes, MillisecondsAndBytesAsPositionsWereAlwaysComputed) {
    struct Case {
        int64_t bytesPerSecond;
        int64_t ms;
        int64_t bytes;
    };
    // Below a second the bytes per millisecond are whole: 176400 gives 176.
    const std::vector<Case> toBytes = {
        {176400, 500, 88000}, {176400, 1500, 264400}, {32000, 1, 32}, {44100, 999, 43956}};
    for (const Case& c : toBytes) {
        EXPECT_EQ(streamMsToBytes(c.ms, c.bytesPerSecond), c.bytes) << c.ms;
    }
    const std::vector<Case> toMs = {
        {176400, 500, 88200}, {176400, 1500, 264600}, {32000, 0, 31}, {32000, 1, 32}};
    for (const Case& c : toMs) {
        EXPECT_EQ(streamBytesToMs(c.bytes, c.bytesPerSecond), c.ms) << c.bytes;
    }
    EXPECT_EQ(streamBytesToMs(1000, 0), 0);
}

class BassPlayerFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_tones = m_dir.file("tones.wav");
        test::writeTones(m_tones, 44100, 2, {{1.0, 440}, {1.0, 660}, {1.0, 880}});
        ASSERT_TRUE(m_player.open(m_tones));
    }

    TempDir m_dir;
    std::string m_tones;
    test::ScopedRecordingUi m_ui;
    BassPlayer m_player;
};

TEST_F(BassPlayerFiles, OpenGivesTheLengthAndRefusesWhatItCannotDecode) {
    EXPECT_EQ(m_player.getLength(), 3000);
    EXPECT_EQ(m_player.fileName(), m_tones);
    test::writeAll(m_dir.file("junk.mp3"), std::string(3000, 'x'));
    EXPECT_FALSE(m_player.open(m_dir.file("junk.mp3")));
    EXPECT_FALSE(m_player.open(m_dir.file("missing.wav")));
    EXPECT_EQ(m_player.getLength(), 0);
    EXPECT_TRUE(m_ui->boxes.empty());
}

TEST_F(BassPlayerFiles, SegmentHoldsItsPartAtTheSpeedPlayed) {
    struct Case {
        int speed;
        int sampleRate;
        int rate;
        int channels;
        double frames;
    };
    const std::vector<Case> cases = {
        {100, 0, 44100, 2, 44100},
        {150, 0, 44100, 2, 29400},  // two thirds
        {50, 0, 44100, 2, 88200},
        {150, 16000, 16000, 1, 10667},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.speed) + "% at " + std::to_string(c.sampleRate));
        m_player.setSpeed(c.speed);
        m_player.setSampleRate(c.sampleRate);
        const std::string wav = m_dir.file("segment.wav");
        ASSERT_TRUE(m_player.saveSegmentAsWav(1000, 2000, wav));
        WaveFormat format;
        const uint32_t bytes = readWavInfo(wav, format);
        EXPECT_EQ(format,
                  pcmFormat(static_cast<uint32_t>(c.rate), static_cast<uint16_t>(c.channels)));
        EXPECT_NEAR(bytes / format.blockAlign, c.frames, 2);
        std::string out;
        ASSERT_EQ(test::runProgram({"soxi", "-s", wav}, &out), 0);
        EXPECT_NEAR(std::stod(out), c.frames, 2);
        // The segment's own tone, at its own pitch.
        const test::Sound sound = test::readSound(wav);
        EXPECT_NEAR(test::frequency(sound, 0.03, sound.seconds() - 0.03), 660, 7);
    }
}

TEST_F(BassPlayerFiles, Mp3DecodesToTheSourcesLengthWithinOneFrame) {
    const std::string mp3 = m_dir.file("out.mp3");
    ASSERT_TRUE(m_player.saveAsMp3(mp3));
    int64_t lastPosition = 0;
    int pumps = 0;
    while (m_player.pump()) {
        const int64_t position = m_player.getEncodingPosition();
        EXPECT_GE(position, lastPosition);
        lastPosition = position;
        ++pumps;
    }
    // 20000 bytes a piece: 3 s of 44.1 kHz stereo take 27 pieces.
    EXPECT_EQ(pumps, 27);
    EXPECT_EQ(lastPosition, 3000);
    ASSERT_TRUE(m_player.finishEncoding());

    const std::string decoded = m_dir.file("decoded.wav");
    ASSERT_EQ(test::runProgram({"mpg123", "-q", "-w", decoded, mp3}), 0);
    const test::Sound sound = test::readSound(decoded);
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_NEAR(static_cast<double>(sound.mono.size()), 132300, 1152);
    EXPECT_NEAR(test::frequency(sound, 1.2, 1.8), 660, 5);
    std::string bitRate;
    ASSERT_EQ(test::runProgram({"soxi", "-B", mp3}, &bitRate), 0);
    EXPECT_EQ(bitRate.substr(0, 4), "128k");
}

TEST_F(BassPlayerFiles, LowRatesAreRaisedForTheMp3Encoder) {
    const std::string low = m_dir.file("low.wav");
    test::writeTones(low, 8000, 1, {{1.0, 440}});
    ASSERT_TRUE(m_player.open(low));
    const std::string mp3 = m_dir.file("low.mp3");
    ASSERT_TRUE(m_player.saveAsMp3(mp3));
    while (m_player.pump()) {
    }
    ASSERT_TRUE(m_player.finishEncoding());
    std::string out;
    ASSERT_EQ(test::runProgram({"soxi", "-r", mp3}, &out), 0);
    EXPECT_EQ(std::stoi(out), 16000);
    ASSERT_EQ(test::runProgram({"soxi", "-B", mp3}, &out), 0);
    EXPECT_EQ(out.substr(0, 4), "128k");
}

TEST_F(BassPlayerFiles, EncodingOntoTheOpenFileIsRefused) {
    const std::string before = test::readAll(m_tones);
    const auto folder = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path());
    for (const std::string& target : {m_tones, std::string("./tones.wav")}) {
        m_ui->boxes.clear();
        EXPECT_FALSE(m_player.encode(target, {target}, BassPlayer::kEncodePcmFile));
        ASSERT_EQ(m_ui->boxes.size(), 1u);
        EXPECT_EQ(m_ui->boxes[0].text, u"現在このファイルは使用中です。\r\n" + fromUtf8(target));
        EXPECT_EQ(m_ui->boxes[0].caption, fromUtf8(target));
    }
    EXPECT_FALSE(m_player.saveSegmentAsWav(0, 1000, m_tones));
    EXPECT_FALSE(m_player.saveAsMp3(m_tones));
    EXPECT_EQ(test::readAll(m_tones), before);
    std::filesystem::current_path(folder);
}

TEST_F(BassPlayerFiles, AFailedEncodingLeavesTheTargetAlone) {
    const std::string mp3 = m_dir.file("keep.mp3");
    test::writeAll(mp3, "earlier file");
    // An encoder that gives up after the header: the rest cannot be handed over.
    ASSERT_TRUE(m_player.encode(mp3, {"/bin/sh", "-c", "head -c 46 >/dev/null; exit 1"},
                                BassPlayer::kEncodeAutoFree));
    while (m_player.pump()) {
    }
    EXPECT_FALSE(m_player.finishEncoding());
    EXPECT_EQ(test::readAll(mp3), "earlier file");

    // Without lame anywhere the user is told where to put it.
    const std::string path = std::getenv("PATH");
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(m_player.saveAsMp3(mp3));
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, u"Plugins フォルダーに lame.exe ファイルを入れてください。");
    EXPECT_EQ(m_ui->boxes[0].caption, u"lame.exe was not found in the plugins folder");

    // The source gone, encoding is refused without a word.
    std::filesystem::remove(m_tones);
    EXPECT_FALSE(m_player.saveSegmentAsWav(0, 500, m_dir.file("gone.wav")));
    EXPECT_EQ(m_ui->boxes.size(), 1u);
}

TEST_F(BassPlayerFiles, PlayingWithoutAFileSaysSoAndTouchesNoDevice) {
    m_player.close();
    EXPECT_FALSE(m_player.play());
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, u"handle is not a valid channel.\n\n(error code: 5)");
    EXPECT_EQ(m_ui->boxes[0].caption, u"Error");
    EXPECT_EQ(m_ui->boxes[0].flags & MbIconMask, MbIconWarning);

    EXPECT_FALSE(m_player.openAndPlay(m_dir.file("missing.mp3")));
    ASSERT_EQ(m_ui->boxes.size(), 2u);
    EXPECT_EQ(m_ui->boxes[1].text, u"BASS_ChannelPlay\n\n(error code: 2)");
    EXPECT_FALSE(m_player.isPlaying());
    EXPECT_EQ(m_player.getPosition(), 0);
}

TEST_F(BassPlayerFiles, StoredPositionAndSettingsWhileStopped) {
    m_player.seek(1234);
    EXPECT_EQ(m_player.getPosition(), 1234);
    m_player.stop();
    EXPECT_EQ(m_player.getPosition(), 0);
    m_player.setSpeed(1000);
    EXPECT_EQ(m_player.speed(), 200);
    m_player.setSpeed(10);
    EXPECT_EQ(m_player.speed(), 50);
    EXPECT_FALSE(m_player.isPaused());
}

}  // namespace
}  // namespace pw
