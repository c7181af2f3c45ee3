// Speech and recorded sentences heard through the PulseAudio null sink.
#include <chrono>

#include <gtest/gtest.h>

#include "audio/AudioEngine.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "speech/EspeakSapi.h"
#include "speech/Speaker.h"
#include "speech/tests/SpeechFakes.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {

using Clock = std::chrono::steady_clock;
using test::Sound;
using test::Span;

class SpeechPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::sinkReady());
        ASSERT_TRUE(AudioEngine::instance().initialize())
            << "The sink runs but the output did not open.";
        ASSERT_TRUE(m_speaker.initialize());
        m_speaker.setSpeechListener(&m_log);
    }

    Sound record(const std::function<void()>& body) {
        return test::recordSink(m_dir.file("capture.wav"), body);
    }

    // Runs the user-interface loop until the speech has been reported ended.
    bool untilFinished(int timeoutMs = 10000) {
        return m_ui->runUntil([&] { return m_log.count(SapiEvent::kFinished) > 0; }, timeoutMs);
    }

    // A 20-second segment of a recording and a 20-second sentence file
    // play to the sink without a gap of 5 ms while the volume changes ten
    // times.
    void expectRecordingsWithoutAGap() {
        const std::string recording = m_dir.file("recording.wav");
        const std::string sentence = m_dir.file("sentence.wav");
        test::writeTones(recording, 44100, 2, {{24.0, 440}});
        test::writeTones(sentence, 22050, 1, {{20.0, 660}});
        struct Case {
            const char* what;
            std::string file;
            int64_t startMs;
            int64_t endMs;
        };
        // A sentence's own file plays to its end, as practice asks for it.
        const Case cases[] = {{"a segment of the recording", recording, 2000, 22000},
                              {"a sentence's own file", sentence, 0, 1000000000}};
        m_speaker.setUseSentenceAudio(true);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            const Sound sound = record([&] {
                ASSERT_TRUE(m_speaker.playSegment(c.file, c.startMs, c.endMs));
                for (int i = 0; i < 10; ++i) {
                    m_ui->runFor(1800);
                    m_speaker.setVolume(i % 2 == 0 ? 40 : 100);
                }
                EXPECT_TRUE(m_ui->runUntil([&] { return !m_speaker.isPlayingSegment(); }, 10000));
            });
            const Span span = test::findSound(sound);
            EXPECT_NEAR(span.length(), 20.0, 0.1);
            const std::vector<Span> gaps = test::findGaps(sound, span.start, span.end, 0.005);
            EXPECT_TRUE(gaps.empty()) << gaps.size() << " gaps, the first at " << gaps.front().start
                                      << " s for " << gaps.front().length() * 1000 << " ms";
            m_speaker.setVolume(100);
        }
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    Speaker m_speaker;
    test::EventLog m_log;
};

TEST_F(SpeechPlayback, SpeechIsHeardAndEachWordIsReportedAsItIsHeard) {
    const std::u16string text = u"Caf\u00e9 au lait, na\u00efve fa\u00e7ade.";
    Clock::time_point started;
    std::vector<double> heardAt;  // seconds after speak, per event
    const Sound sound = record([&] {
        started = Clock::now();
        m_speaker.speak(text, 0);
        EXPECT_TRUE(m_ui->runUntil(
            [&] {
                while (heardAt.size() < m_log.events.size()) {
                    heardAt.push_back(
                        std::chrono::duration<double>(Clock::now() - started).count());
                }
                return m_log.count(SapiEvent::kFinished) > 0;
            },
            10000));
    });
    const Span span = test::findSound(sound);
    EXPECT_GT(span.length(), 1.0) << "speech was not heard";
    EXPECT_GT(test::peak(sound, span.start, span.end), 0.1);

    EXPECT_FALSE(m_log.offUiThread);
    EXPECT_EQ(
        test::wordsOf(m_log.events, text),
        (std::vector<std::u16string>{u"Caf\u00e9", u"au", u"lait", u"na\u00efve", u"fa\u00e7ade"}));
    ASSERT_EQ(m_log.count(SapiEvent::kFinished), 1);
    EXPECT_EQ(m_log.events.back().type, SapiEvent::kFinished);
    // Words follow the sound: the last is reported well after the first.
    ASSERT_GE(heardAt.size(), 6u);
    EXPECT_GT(heardAt[4] - heardAt[0], 0.8);
    m_ui->runFor(300);
    EXPECT_EQ(m_log.count(SapiEvent::kFinished), 1);
}

TEST_F(SpeechPlayback, PauseThenResumeLeavesAGap) {
    const Sound sound = record([&] {
        m_speaker.speak(u"One, two, three, four, five, six, seven, eight, nine, ten.", 0);
        m_ui->runFor(1200);
        m_speaker.togglePause();
        EXPECT_TRUE(m_speaker.tts()->isPaused());
        EXPECT_TRUE(m_speaker.isSpeaking());
        m_ui->runFor(1500);
        m_speaker.togglePause();
        EXPECT_TRUE(untilFinished());
    });
    const Span span = test::findSound(sound);
    double longest = 0;
    for (const Span& gap : test::findGaps(sound, span.start, span.end, 0.05)) {
        longest = std::max(longest, gap.length());
    }
    EXPECT_GT(longest, 1.4);
    EXPECT_LT(longest, 1.9);
}

TEST_F(SpeechPlayback, WithVoice2OffTranslationsAreSilentAndSentencesAreNot) {
    m_speaker.setVoiceEnabled(1, false);
    const Sound silent = record([&] {
        m_speaker.speak(u"This translation is not spoken.", 1);
        m_ui->runFor(1500);
    });
    EXPECT_LT(test::findSound(silent).start, 0) << "the translation was heard";
    EXPECT_FALSE(m_speaker.isSpeaking());

    const Sound spoken = record([&] {
        m_speaker.speak(u"This sentence is spoken.", 0);
        EXPECT_TRUE(untilFinished());
    });
    EXPECT_GT(test::findSound(spoken).length(), 0.8);
}

TEST_F(SpeechPlayback, TheRecordedSegmentPlaysWhenTheLearnerAsksForIt) {
    const std::string path = m_dir.file("tones.wav");
    test::writeTones(path, 44100, 2, {{1.0, 440}, {1.0, 880}, {1.0, 440}});
    EXPECT_FALSE(m_speaker.playSegment(path, 1000, 2000)) << "the box is not checked";

    m_speaker.setUseSentenceAudio(true);
    const Sound sound = record([&] {
        EXPECT_TRUE(m_speaker.playSegment(path, 1000, 2000));
        EXPECT_TRUE(m_ui->runUntil([&] { return !m_speaker.isPlayingSegment(); }, 5000));
    });
    const Span span = test::findSound(sound);
    EXPECT_NEAR(span.length(), 1.0, 0.05);
    EXPECT_NEAR(test::frequency(sound, span.start + 0.1, span.end - 0.1), 880, 10);
}

TEST_F(SpeechPlayback, AfterAFileIsStoppedTheVoiceSpeaksAloudAgain) {
    const std::string path = m_dir.file("long.wav");
    ASSERT_EQ(m_speaker.convertToWav(fromUtf8(path), 0, test::longText(), false),
              TTS::kConvertStarted);
    m_ui->runFor(100);
    m_speaker.stop();
    EXPECT_GT(test::soxInfo(path).seconds, 0.0);
    m_ui->runFor(300);
    m_log.events.clear();
    const Sound sound = record([&] {
        m_speaker.speak(u"Heard again.", 0);
        EXPECT_TRUE(untilFinished());
    });
    EXPECT_GT(test::findSound(sound).length(), 0.5);
}

// Dictation is taken at the slow end: every step slower than the one above
// it, down to three and a half times slower, in the voice's own pitch.
TEST_F(SpeechPlayback, EachSlowerSpeedIsHeardSlowerAtTheSamePitch) {
    const std::u16string text = u"Please take the second turning on the left after the bridge.";
    std::vector<test::SpokenSpeed> speeds;
    for (int rate : test::slowRates()) {
        m_speaker.setRate(0, rate);
        m_log.events.clear();
        const Sound sound = record([&] {
            m_speaker.speak(text, 0);
            EXPECT_TRUE(untilFinished(60000));
        });
        const Span span = test::findSound(sound);
        speeds.push_back({rate, span.length(), test::voicePitch(sound, span.start, span.end)});
    }
    test::expectSlowerAtEachStep(speeds);
}

// The sound is made ahead of the device on a thread of its own: the
// learner moving the volume, and the other work of the machine, leave no
// hole in it.
TEST_F(SpeechPlayback, RecordingsPlayWithoutAGapWhileTheVolumeChanges) {
    expectRecordingsWithoutAGap();
}

TEST_F(SpeechPlayback, RecordingsPlayWithoutAGapWhileOtherWorkFillsBothCores) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "A sanitizer build decodes several times slower than the program does; "
                    "whether the sound keeps up while other work fills every core is heard "
                    "in the optimised build.";
#endif
    if (!test::realTimeAllowed()) {
        GTEST_SKIP() << "This machine refuses real-time scheduling, which the sound threads "
                        "need to keep up when other work fills every core.";
    }
    const test::BusyCores busy;
    ASSERT_GE(busy.count(), 1u);
    expectRecordingsWithoutAGap();
}

}  // namespace
}  // namespace pw
