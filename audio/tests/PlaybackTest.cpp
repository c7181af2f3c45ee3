// Real playback: every test records the PulseAudio null sink the program
// plays into and measures what came out of it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "audio/AudioEngine.h"
#include "audio/AudioPlayer.h"
#include "audio/BassPlayer.h"
#include "audio/KeyClick.h"
#include "audio/MP3.h"
#include "audio/PcmOutputStream.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using Clock = std::chrono::steady_clock;
using test::Sound;
using test::Span;

// The timing allowance of every duration measured in the recording.
constexpr double kTolerance = 0.030;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls like the sentence speaker does, every 30 ms.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        sleepMs(30);
    }
    return true;
}

double secondsBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// One silence as long as the pause, and the whole sound besides.
void expectOnePause(const Sound& sound, double pausedSeconds, double soundSeconds) {
    const Span span = test::findSound(sound);
    const std::vector<Span> gaps = test::findGaps(sound, span.start, span.end, 0.05);
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_NEAR(gaps[0].length(), pausedSeconds, kTolerance);
    EXPECT_NEAR(span.length() - gaps[0].length(), soundSeconds, kTolerance);
}

class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::sinkReady());
        ASSERT_TRUE(AudioEngine::instance().initialize())
            << "The sink runs but the output did not open.";
    }

    // What the sink heard while body ran, plus a quiet tail.
    Sound record(const std::function<void()>& body) {
        return test::recordSink(m_dir.file("capture.wav"), body);
    }

    std::string tone(const std::string& name, int rate, int channels, double seconds,
                     double hz = 440, double amplitude = 0.5) {
        const std::string path = m_dir.file(name);
        test::writeTones(path, rate, channels, {{seconds, hz, amplitude}});
        return path;
    }

    test::TempDir m_dir;
    test::ScopedRecordingUi m_ui;
};

TEST_F(Playback, EachFormatComesBackWithItsLengthAndPitch) {
    struct Case {
        const char* name;
        int rate;
        int channels;
    };
    const std::vector<Case> cases = {{"tone.wav", 44100, 2},
                                     {"tone.flac", 48000, 1},
                                     {"tone.ogg", 22050, 1},
                                     {"tone.mp3", 44100, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BassPlayer player;
        ASSERT_TRUE(player.open(tone(c.name, c.rate, c.channels, 0.8)));
        int64_t position = 0;
        const Sound sound = record([&] {
            ASSERT_TRUE(player.play());
            EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
            position = player.getPosition();
        });
        const Span span = test::findSound(sound);
        EXPECT_NEAR(span.length(), 0.8, kTolerance);
        EXPECT_NEAR(test::frequency(sound, span.start + 0.05, span.end - 0.05), 440, 4);
        EXPECT_NEAR(position, 800, 30);
    }
    EXPECT_TRUE(m_ui->boxes.empty());
}

TEST_F(Playback, SegmentPlaysFromItsStartToItsEnd) {
    const std::string path = m_dir.file("tones.wav");
    test::writeTones(path, 44100, 2, {{1.0, 440}, {1.0, 660}, {1.0, 880}});
    BassPlayer player;
    ASSERT_TRUE(player.open(path));
    const Sound sound = record([&] {
        ASSERT_TRUE(player.playSegment(1000, 2000));
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
    });
    const Span span = test::findSound(sound);
    EXPECT_NEAR(span.length(), 1.0, kTolerance);
    // Only the middle tone, up to its first and last tenth of a second.
    EXPECT_NEAR(test::frequency(sound, span.start, span.start + 0.1), 660, 10);
    EXPECT_NEAR(test::frequency(sound, span.end - 0.1, span.end), 660, 10);
    EXPECT_NEAR(player.getPosition(), 2000, 30);
}

TEST_F(Playback, PauseLeavesAGapOfThePausedLength) {
    BassPlayer player;
    ASSERT_TRUE(player.open(tone("tone.wav", 44100, 2, 1.0)));
    Clock::time_point paused;
    Clock::time_point resumed;
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        sleepMs(300);
        player.pause();
        paused = Clock::now();
        EXPECT_TRUE(player.isPaused());
        EXPECT_FALSE(player.isPlaying());
        sleepMs(150);
        const int64_t atPause = player.getPosition();
        sleepMs(250);
        // Paused, the position stays where the sound stopped.
        EXPECT_EQ(player.getPosition(), atPause);
        EXPECT_GT(atPause, 150);
        EXPECT_LT(atPause, 500);
        player.resume();
        resumed = Clock::now();
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
    });
    expectOnePause(sound, secondsBetween(paused, resumed), 1.0);
}

TEST_F(Playback, Speed150TakesTwoThirdsOfTheTimeAtTheSamePitch) {
    BassPlayer player;
    ASSERT_TRUE(player.open(tone("tone.wav", 44100, 2, 1.5)));
    player.setSpeed(150);
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
    });
    const Span span = test::findSound(sound);
    EXPECT_NEAR(span.length(), 1.0, kTolerance);
    EXPECT_NEAR(test::frequency(sound, span.start + 0.05, span.end - 0.05), 440, 4);
    // Positions stay in the file's time.
    EXPECT_NEAR(player.getPosition(), 1500, 30);
}

TEST_F(Playback, Volume50HalvesThePeak) {
    BassPlayer player;
    ASSERT_TRUE(player.open(tone("tone.wav", 44100, 2, 0.4, 440, 0.8)));
    const Sound sound = record([&] {
        for (const int volume : {100, 50}) {
            player.setVolume(volume);
            player.seek(0);
            ASSERT_TRUE(player.play());
            EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
            sleepMs(200);
        }
    });
    const Span span = test::findSound(sound);
    const std::vector<Span> gaps = test::findGaps(sound, span.start, span.end, 0.1);
    ASSERT_EQ(gaps.size(), 1u);
    const double full = test::peak(sound, span.start, gaps[0].start);
    const double half = test::peak(sound, gaps[0].end, span.end);
    EXPECT_NEAR(full, 0.8, 0.02);
    EXPECT_NEAR(half / full, 0.5, 0.02);
}

TEST_F(Playback, OggLoopRepeatsBetweenItsLoopPoints) {
    const std::string wav = m_dir.file("tones.wav");
    const std::string ogg = m_dir.file("tones.ogg");
    test::writeTones(wav, 44100, 1, {{1.0, 440}, {1.0, 660}, {1.0, 880}});
    ASSERT_EQ(test::runProgram({"sox", wav, "--comment", "LOOPSTART=44100", "--add-comment",
                                "LOOPLENGTH=88200", ogg}),
              0);
    AudioPlayer player;
    std::atomic<int> buffersPlayed{0};
    player.setListener([&] { ++buffersPlayed; });
    ASSERT_TRUE(player.open(ogg));
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        sleepMs(4500);
        EXPECT_TRUE(player.isPlaying());
        player.stop();
    });
    const double s = test::findSound(sound).start;
    EXPECT_NEAR(test::frequency(sound, s + 0.2, s + 0.8), 440, 5);
    EXPECT_NEAR(test::frequency(sound, s + 1.2, s + 1.8), 660, 5);
    EXPECT_NEAR(test::frequency(sound, s + 2.2, s + 2.8), 880, 5);
    EXPECT_NEAR(test::frequency(sound, s + 3.2, s + 3.8), 660, 5);
    EXPECT_GE(buffersPlayed.load(), 15);
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(Playback, WithoutLoopTheBufferPlayerPlaysToTheLastSample) {
    const std::string wav = tone("short.wav", 44100, 2, 0.5);
    const std::string ogg = m_dir.file("short.ogg");
    ASSERT_EQ(test::runProgram({"sox", wav, ogg}), 0);
    AudioPlayer player;
    player.setLoop(false);
    ASSERT_TRUE(player.open(ogg));
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
    });
    EXPECT_NEAR(test::findSound(sound).length(), 0.5, kTolerance);
}

TEST_F(Playback, PcmStreamPlaysWhatIsPushedAndSaysHowFarItIs) {
    PcmOutputStream out(22050, 1);
    const std::vector<int16_t> pcm = test::sinePcm(22050, 1, 0.6, 440);
    std::vector<std::pair<double, int64_t>> progress;
    const Sound sound = record([&] {
        ASSERT_TRUE(out.start());
        const auto started = Clock::now();
        const size_t third = pcm.size() / 3;
        for (int piece = 0; piece < 3; ++piece) {
            const size_t count = piece < 2 ? third : pcm.size() - 2 * third;
            ASSERT_EQ(out.write(pcm.data() + piece * third, count), count);
        }
        out.finish();
        while (out.isPlaying()) {
            progress.emplace_back(secondsBetween(started, Clock::now()), out.playedFrames());
            sleepMs(10);
        }
    });
    const Span span = test::findSound(sound);
    EXPECT_NEAR(span.length(), 0.6, kTolerance);
    // Written just after the start, it still begins whole, without holes.
    EXPECT_TRUE(test::findGaps(sound, span.start, span.end, 0.005).empty());
    EXPECT_NEAR(test::frequency(sound, span.start + 0.05, span.end - 0.05), 440, 4);
    EXPECT_EQ(out.playedFrames(), static_cast<int64_t>(pcm.size()));
    ASSERT_GT(progress.size(), 20u);
    for (size_t i = 1; i < progress.size(); ++i) {
        EXPECT_GE(progress[i].second, progress[i - 1].second);
    }
    // The position moves at the pace of the sound, not of the writes.
    const auto moving =
        std::find_if(progress.begin(), progress.end(), [](const auto& p) { return p.second > 0; });
    ASSERT_NE(moving, progress.end());
    const auto& last = progress.back();
    const double pace = (last.second - moving->second) / (last.first - moving->first);
    EXPECT_NEAR(pace, 22050, 22050 * 0.15);
}

TEST_F(Playback, PcmStreamPauseHoldsThePosition) {
    PcmOutputStream out(22050, 1);
    const std::vector<int16_t> pcm = test::sinePcm(22050, 1, 0.8, 440);
    Clock::time_point paused;
    Clock::time_point resumed;
    const Sound sound = record([&] {
        ASSERT_TRUE(out.start());
        out.setVolume(100);
        out.write(pcm.data(), pcm.size());
        out.finish();
        sleepMs(300);
        out.pause();
        paused = Clock::now();
        sleepMs(200);
        const int64_t held = out.playedFrames();
        sleepMs(200);
        EXPECT_EQ(out.playedFrames(), held);
        EXPECT_TRUE(out.isPaused());
        EXPECT_TRUE(out.isPlaying());
        out.resume();
        resumed = Clock::now();
        EXPECT_TRUE(out.waitUntilDone(3000));
    });
    expectOnePause(sound, secondsBetween(paused, resumed), 0.8);
}

TEST_F(Playback, Mp3PlayerPlaysOnItsOwnThread) {
    MP3 player;
    player.setLoop(false);
    ASSERT_TRUE(player.open(tone("tone.mp3", 44100, 1, 0.8)));
    EXPECT_NEAR(player.length(), 800, 30);
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
    });
    EXPECT_NEAR(test::findSound(sound).length(), 0.8, kTolerance);
    EXPECT_EQ(player.getPosition(), player.length());
    EXPECT_FALSE(player.open(m_dir.file("missing.mp3")));
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(Playback, Mp3PlayerLoopsFromTheStartWhenLooping) {
    MP3 player;
    ASSERT_TRUE(player.open(tone("short.mp3", 44100, 1, 0.3)));
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        sleepMs(1000);
        EXPECT_TRUE(player.isPlaying());
        player.stop();
        EXPECT_FALSE(player.isPlaying());
    });
    const Span span = test::findSound(sound);
    double silent = 0;
    for (const Span& gap : test::findGaps(sound, span.start, span.end, 0.005)) {
        silent += gap.length();
    }
    // Three times round and more, with at most a moment between rounds.
    EXPECT_GT(span.length() - silent, 0.85);
    EXPECT_LT(silent, 0.1);
}

TEST_F(Playback, KeyClickSoundsAlongsideOtherPlayback) {
    const std::string click = test::sourceDir() + "/Resources/type.wav";
    ASSERT_TRUE(KeyClick::instance().preload(click));
    BassPlayer player;
    ASSERT_TRUE(player.open(tone("quiet.wav", 44100, 2, 1.0, 440, 0.1)));
    const Sound sound = record([&] {
        KeyClick::instance().play(click);
        sleepMs(300);
        ASSERT_TRUE(player.play());
        sleepMs(400);
        KeyClick::instance().play(click);
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
        KeyClick::instance().play(m_dir.file("missing.wav"));
    });
    const Span alone = test::findSound(sound);
    // The first click alone: short (30 ms, longer only if a busy machine
    // makes its small buffer run dry) and as loud as the file.
    const std::vector<Span> gaps = test::findGaps(sound, alone.start, alone.end, 0.1);
    ASSERT_FALSE(gaps.empty());
    EXPECT_GE(gaps[0].start - alone.start, 0.025);
    EXPECT_LT(gaps[0].start - alone.start, 0.15);
    EXPECT_NEAR(test::peak(sound, alone.start, gaps[0].start), 0.35, 0.03);
    // The second rides on the tone, which goes on without a break.
    const double toneStart = gaps[0].end;
    EXPECT_GT(test::peak(sound, toneStart, alone.end), 0.3);
    EXPECT_TRUE(test::findGaps(sound, toneStart, alone.end, 0.01).empty());
    EXPECT_NEAR(alone.end - toneStart, 1.0, kTolerance);
    EXPECT_TRUE(m_ui->boxes.empty());
}

TEST_F(Playback, OutputDeviceChangeAndAFailedOne) {
    AudioEngine& engine = AudioEngine::instance();
    const std::vector<std::string> names = engine.outputDeviceNames();
    ASSERT_FALSE(names.empty());
    const auto pulse = std::find(names.begin(), names.end(), "pulse");
    const int device = pulse == names.end() ? -1 : static_cast<int>(pulse - names.begin());
    BassPlayer player;
    ASSERT_TRUE(player.open(tone("tone.wav", 44100, 2, 0.5)));
    EXPECT_TRUE(player.setOutputDevice(device));

    EXPECT_FALSE(player.setOutputDevice(static_cast<int>(names.size()) + 5));
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(
        m_ui->boxes[0].text,
        u"Failed BASS_Init in setOutputDevice()\nCan't initialize device\n\n(error code: 23)");
    EXPECT_EQ(m_ui->boxes[0].caption, u"Error");
    EXPECT_FALSE(player.play());
    EXPECT_FALSE(player.isPlaying());

    ASSERT_TRUE(player.setOutputDevice(-1));
    const Sound sound = record([&] {
        ASSERT_TRUE(player.play());
        EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); }, 3000));
    });
    EXPECT_NEAR(test::findSound(sound).length(), 0.5, kTolerance);
}

}  // namespace
}  // namespace pw
