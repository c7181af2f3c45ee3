// The sample file's translations heard through the PulseAudio null sink with
// the Japanese voice, with and without the readings: the voice reads kana
// only and says "Chinese letter" for every kanji it is given.
#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>

#include "audio/AudioEngine.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryWindow.h"
#include "dictionary/tests/SampleTexts.h"
#include "speech/EspeakSapi.h"
#include "speech/Speaker.h"
#include "speech/SpeechText.h"
#include "speech/tests/SpeechFakes.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {

// What espeak-ng's English says for a kanji: "Chinese letter".
constexpr const char* kChineseLetter = "tS'aIni:z";
// The fastest rate, so that the kanji's many words do not take minutes.
constexpr int kRate = 10;

std::string phonemes(const std::u16string& text) {
    std::string out;
    EXPECT_EQ(test::runProgram({"espeak-ng", "-v", "ja", "-q", "-x", toUtf8(text)}, &out), 0);
    return out;
}

class ReadingsPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::sinkReady());
        ASSERT_TRUE(AudioEngine::instance().initialize());
        ASSERT_TRUE(m_speaker.initialize());
        m_speaker.setSpeechListener(&m_log);
        const int japanese = test::findEntry(m_speaker.voiceList(1), u"Japanese");
        ASSERT_GE(japanese, 0);
        m_speaker.selectVoice(1, japanese);
        m_speaker.setRate(1, kRate);
        const std::vector<std::u16string> translations = test::sampleTexts("translation");
        ASSERT_EQ(translations.size(), 18u);
        m_text = std::accumulate(translations.begin(), translations.end(), std::u16string());
    }
    void TearDown() override {
        DictionaryWindow::readings().loadSettings(ProfileSettings(), false);
    }

    // The length of the speech heard when the translations are spoken.
    double heard(bool withReadings) {
        DictionaryWindow::readings().setEnabled(withReadings);
        m_log.events.clear();
        const test::Sound sound = test::recordSink(m_dir.file("heard.wav"), [&] {
            m_speaker.speak(m_text, 1);
            EXPECT_TRUE(
                m_ui->runUntil([&] { return m_log.count(SapiEvent::kFinished) > 0; }, 180000));
        });
        return test::findSound(sound).length();
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    Speaker m_speaker;
    test::EventLog m_log;
    std::u16string m_text;
};

TEST_F(ReadingsPlayback, TheTranslationsAreHeardInKatakanaShorterThanTheirKanji) {
    const double withReadings = heard(true);
    const double withoutReadings = heard(false);
    EXPECT_LT(withReadings, withoutReadings * 0.6)
        << withReadings << " s with the readings, " << withoutReadings << " s without";

    // What the voice was given, and what espeak-ng itself makes of it.
    std::u16string spoken = m_text;
    DictionaryWindow::readings().setEnabled(true);
    DictionaryWindow::replaceText(spoken);
    normalizeSpokenLines(spoken);
    EXPECT_FALSE(test::hasKanji(spoken)) << toUtf8(spoken);
    EXPECT_EQ(phonemes(spoken).find(kChineseLetter), std::string::npos) << phonemes(spoken);
    EXPECT_NE(phonemes(m_text).find(kChineseLetter), std::string::npos);

    // The speech heard is as long as espeak-ng's own speech of the katakana
    // text at the same speed.
    const std::string own = m_dir.file("own.wav");
    ASSERT_EQ(test::runProgram({"espeak-ng", "-v", "ja", "-s",
                                std::to_string(EspeakSapi::pace(kRate).wordsPerMinute), "-w", own,
                                toUtf8(spoken)}),
              0);
    const double expected = test::findSound(test::readSound(own)).length();
    EXPECT_NEAR(withReadings, expected, expected * 0.1);
    std::printf("heard %.1f s with the readings (espeak-ng alone: %.1f s), %.1f s without\n",
                withReadings, expected, withoutReadings);
}

}  // namespace
}  // namespace pw
