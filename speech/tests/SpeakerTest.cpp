// The sentence speaker's logic and the two voices, over recording stand-ins
// for the voices and the player.
#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "core/HeadlessUi.h"
#include "core/ProfileSettings.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryWindow.h"
#include "speech/Speaker.h"
#include "speech/SpeechNotice.h"
#include "speech/tests/SpeechFakes.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {

using test::FakePlayer;
using test::FakeVoice;
using test::FakeVoices;

bool waitFor(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class SpeakerTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto player = std::make_unique<FakePlayer>();
        m_player = player.get();
        m_speaker = std::make_unique<Speaker>(std::move(player), m_voices.factory());
        ASSERT_TRUE(m_speaker->initialize());
        ASSERT_EQ(m_voices.made.size(), 2u);
    }

    FakeVoice& voice(int i) { return *m_voices.made[static_cast<size_t>(i)]; }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    FakeVoices m_voices;
    FakePlayer* m_player = nullptr;
    std::unique_ptr<Speaker> m_speaker;
};

TEST_F(SpeakerTest, SettingsStartAtTheirDefaults) {
    ProfileSettings settings;
    settings.setPath(m_dir.file("missing.ini"));
    m_speaker->loadSettings(settings);
    EXPECT_EQ(m_speaker->voiceList(0).selectedIndex(), 0);
    EXPECT_EQ(m_speaker->voiceList(1).selectedIndex(), 0);
    EXPECT_EQ(m_speaker->formatList().selectedText(), u"16kHz 16 Bit Mono");
    EXPECT_EQ(m_speaker->playbackSpeed(), 100);
    EXPECT_EQ(m_player->speed, 100);
    EXPECT_EQ(m_speaker->rate(0), 0);
    EXPECT_EQ(m_speaker->rate(1), 0);
    EXPECT_TRUE(m_speaker->isVoiceEnabled(0));
    EXPECT_TRUE(m_speaker->isVoiceEnabled(1));
}

TEST_F(SpeakerTest, SettingsRoundTripThroughTheFile) {
    ProfileSettings settings;
    settings.setPath(m_dir.file("speaker.ini"));
    m_speaker->selectVoice(0, 1);
    m_speaker->selectVoice(1, 1);
    m_speaker->selectFormat(35);
    m_speaker->setPlaybackSpeed(150);
    m_speaker->setRate(0, -4);
    m_speaker->setRate(1, 7);
    m_speaker->setVoiceEnabled(1, false);
    m_speaker->saveSettings(settings);
    EXPECT_EQ(settings.readString(u"Speaker", u"Format", u""), u"35");
    EXPECT_EQ(settings.readString(u"Speaker", u"Enable2", u""), u"0");

    FakeVoices otherVoices;
    Speaker other(std::make_unique<FakePlayer>(), otherVoices.factory());
    other.initialize();
    other.loadSettings(settings);
    EXPECT_EQ(other.voiceList(0).selectedIndex(), 1);
    EXPECT_EQ(other.voiceList(1).selectedIndex(), 1);
    EXPECT_EQ(other.formatList().selectedText(), u"48kHz 16 Bit Stereo");
    EXPECT_EQ(other.playbackSpeed(), 150);
    EXPECT_EQ(other.rate(0), -4);
    EXPECT_EQ(other.rate(1), 7);
    EXPECT_TRUE(other.isVoiceEnabled(0));
    EXPECT_FALSE(other.isVoiceEnabled(1));
}

TEST_F(SpeakerTest, StoredValuesOutOfRangeComeBackUsable) {
    ProfileSettings settings;
    settings.setPath(m_dir.file("odd.ini"));
    settings.writeInt(u"Speaker", u"Voice1", -3);
    settings.writeInt(u"Speaker", u"Voice2", 99);
    settings.writeInt(u"Speaker", u"Format", 400);
    settings.writeInt(u"Speaker", u"Rate", 20);
    settings.writeInt(u"Speaker", u"Rate1", 50);
    settings.writeInt(u"Speaker", u"Enable1", 5);
    settings.writeInt(u"Speaker", u"Enable2", -1);
    m_speaker->loadSettings(settings);
    EXPECT_EQ(m_speaker->voiceList(0).selectedIndex(), 0);
    EXPECT_EQ(m_speaker->voiceList(1).selectedIndex(), 0);
    EXPECT_EQ(m_speaker->formatList().selectedIndex(), 14);
    EXPECT_EQ(m_speaker->playbackSpeed(), 50);
    EXPECT_EQ(m_speaker->rate(0), 10);
    EXPECT_TRUE(m_speaker->isVoiceEnabled(0));
    EXPECT_FALSE(m_speaker->isVoiceEnabled(1));
}

TEST_F(SpeakerTest, SpeaksWithTheChosenVoiceAndItsSettings) {
    m_speaker->selectVoice(1, 1);
    m_speaker->selectFormat(3);
    m_speaker->setRate(1, 4);
    m_speaker->setVolume(60);
    m_speaker->speak(u"Le caf\u00e9\u2014bien s\u00fbr\r\nc\u2019est bon", 1);
    ASSERT_EQ(voice(1).spoken.size(), 1u);
    EXPECT_EQ(voice(1).spoken[0], u"Le caf\u00e9 bien s\u00fbr c'est bon");
    EXPECT_EQ(voice(1).lastFlags, 0u);
    EXPECT_EQ(voice(1).voice, 1);
    EXPECT_EQ(voice(1).format, 3);
    EXPECT_EQ(voice(1).getRate(), 4);
    EXPECT_EQ(voice(1).getVolume(), 60);
    EXPECT_TRUE(voice(0).spoken.empty());

    // Any index but 1 is voice 1.
    m_speaker->speak(u"x", 7);
    EXPECT_EQ(voice(0).spoken.size(), 1u);
}

TEST_F(SpeakerTest, AVoiceTurnedOffStaysSilentWhileTheOtherSpeaks) {
    m_speaker->setVoiceEnabled(1, false);
    voice(1).speaking = true;
    m_speaker->speak(u"the translation", 1);
    EXPECT_TRUE(voice(1).spoken.empty());
    EXPECT_FALSE(voice(1).speaking) << "what was speaking is stopped all the same";
    m_speaker->speak(u"the sentence", 0);
    EXPECT_EQ(voice(0).spoken.size(), 1u);
}

TEST_F(SpeakerTest, VolumeDrivesThePlayerAndBothVoices) {
    m_speaker->setVolume(35);
    EXPECT_EQ(m_player->volume, 35);
    EXPECT_EQ(voice(0).getVolume(), 35);
    EXPECT_EQ(voice(1).getVolume(), 35);
    m_speaker->setVolume(140);
    EXPECT_EQ(m_player->volume, 100);
}

TEST_F(SpeakerTest, PauseTogglesBothVoicesOnlyWhileSpeaking) {
    TTS& tts = *m_speaker->tts();
    EXPECT_FALSE(tts.togglePause());
    voice(0).speaking = true;
    EXPECT_TRUE(tts.togglePause());
    EXPECT_TRUE(voice(0).isPaused());
    EXPECT_TRUE(tts.togglePause());
    EXPECT_FALSE(voice(0).isPaused());
}

TEST_F(SpeakerTest, ConversionPreparesPlainTextAndLeavesMarkup) {
    const std::u16string file = fromUtf8(m_dir.file("out.wav"));
    voice(0).wavData = std::string(3200, '\x10');
    EXPECT_EQ(m_speaker->convertToWav(file, 0, u"It\u2019s\nfine", false), TTS::kConvertStarted);
    EXPECT_EQ(voice(0).written.back(), u"It's fine");
    EXPECT_FALSE(voice(0).lastIsXml);

    const std::u16string markup = u"a<silence msec=\"10\" />\u2019<3";
    EXPECT_EQ(m_speaker->convertToWav(file, 0, markup, true), TTS::kConvertStarted);
    EXPECT_EQ(voice(0).written.back(), u"a<silence msec=\"10\" />\u2019 3");
    EXPECT_TRUE(voice(0).lastIsXml);
}

TEST_F(SpeakerTest, TheLearnersDictionariesApplyToSpeechAndPlainFiles) {
    BaseDictionaryData* words = DictionaryWindow::wordDictionaries().find("Resources/", "dict.txt");
    ASSERT_NE(words, nullptr) << "the speaker's word dictionary joins the list";
    words->set(u"Dr.", u"Doctor", -1);
    m_speaker->speak(u"Dr.\nSmith", 0);
    EXPECT_EQ(voice(0).spoken.back(), u"Doctor Smith");

    const std::u16string file = fromUtf8(m_dir.file("dr.wav"));
    m_speaker->convertToWav(file, 0, u"Dr. Smith", false);
    EXPECT_EQ(voice(0).written.back(), u"Doctor Smith");
    m_speaker->convertToWav(file, 0, u"Dr.<silence msec=\"10\"/>", true);
    EXPECT_EQ(voice(0).written.back(), u"Dr.<silence msec=\"10\"/>");
    words->remove(u"Dr.");
}

TEST_F(SpeakerTest, WithTheReadingsKanjiAreSpokenAndWrittenInKatakana) {
    ImeReadings& readings = DictionaryWindow::readings();
    readings.setEnabled(true);
    const std::u16string text = u"漢字の本です。Kana かな and ASCII.";
    const std::u16string spoken = u" カンジ の ホン です。Kana かな and ASCII.";
    m_speaker->speak(text, 1);
    EXPECT_EQ(voice(1).spoken.back(), spoken);
    const std::u16string file = fromUtf8(m_dir.file("reading.wav"));
    m_speaker->convertToWav(file, 1, text, false);
    EXPECT_EQ(voice(1).written.back(), spoken) << "a file sounds as the speech does";

    readings.setEnabled(false);
    m_speaker->speak(text, 1);
    EXPECT_EQ(voice(1).spoken.back(), text);
    readings.loadSettings(ProfileSettings(), false);
}

// With espeak-ng's own voices, whose Japanese voice reads kana only.
TEST(SpeakerReadings, WithoutStoredSettingsTheyAreOnWhileAVoiceSpeaksJapanese) {
    test::ScopedRecordingUi ui;
    test::TempDir dir;
    Speaker speaker(std::make_unique<FakePlayer>());
    ASSERT_TRUE(speaker.initialize());
    const int japanese = test::findEntry(speaker.voiceList(1), u"Japanese");
    ASSERT_GT(japanese, 0);
    ImeReadings& readings = DictionaryWindow::readings();
    ProfileSettings settings;
    settings.setPath(dir.file("phrasewright.ini"));

    speaker.loadSettings(settings);
    EXPECT_FALSE(speaker.speaksJapanese(1));
    EXPECT_FALSE(readings.isEnabled());
    speaker.selectVoice(1, japanese);
    EXPECT_TRUE(speaker.speaksJapanese(1));
    EXPECT_TRUE(readings.isEnabled()) << "a Japanese voice chosen while running";

    settings.writeInt(u"Speaker", u"Voice1", japanese);
    speaker.loadSettings(settings);
    EXPECT_TRUE(readings.isEnabled()) << "voice 1 speaks Japanese";
    EXPECT_FALSE(readings.isSettled());

    settings.writeInt(u"IME", u"Enable", 0);
    speaker.loadSettings(settings);
    EXPECT_FALSE(readings.isEnabled()) << "the learner's stored choice";
    speaker.selectVoice(1, japanese);
    EXPECT_FALSE(readings.isEnabled());
    speaker.close();
    readings.loadSettings(ProfileSettings(), false);
}

TEST_F(SpeakerTest, ConversionResults) {
    TTS& tts = *m_speaker->tts();
    const std::u16string file = fromUtf8(m_dir.file("out.wav"));
    EXPECT_EQ(tts.convertToWavFile(u"", file, 0, false), TTS::kConvertEmptyText);
    ASSERT_EQ(m_ui->boxes.size(), 1u);
    EXPECT_EQ(m_ui->boxes[0].text, u"Error: convertToWavFile(): Argument text is empty.");
    EXPECT_EQ(m_ui->boxes[0].caption, u"Korvant");

    voice(1).failToWrite = true;
    EXPECT_EQ(tts.convertToWavFile(u"x", file, 1, false), TTS::kConvertFailed);
    EXPECT_FALSE(tts.isConverting());

    FakeVoices broken;
    broken.failSecond = true;
    TTS half(broken.factory());
    EXPECT_FALSE(half.init());
    EXPECT_EQ(half.voice(1), nullptr);
    EXPECT_EQ(half.convertToWavFile(u"x", file, 1, false), TTS::kConvertNoVoice);
    EXPECT_EQ(m_ui->boxes.back().text, u"Failed: GetSapiVoice()");
}

TEST_F(SpeakerTest, TheEndOfAConversionDeletesAnEmptyFileOnly) {
    TTS& tts = *m_speaker->tts();
    const std::string empty = m_dir.file("empty.wav");
    ASSERT_EQ(tts.convertToWavFile(u"x", fromUtf8(empty), 0, false), TTS::kConvertStarted);
    ASSERT_TRUE(std::filesystem::exists(empty));
    // The other voice, stopped before the conversion, reports its end first.
    voice(1).finish();
    EXPECT_TRUE(tts.isConverting());
    EXPECT_TRUE(std::filesystem::exists(empty));
    voice(0).finish();
    EXPECT_FALSE(tts.isConverting());
    EXPECT_FALSE(std::filesystem::exists(empty)) << "a file of no duration is removed";

    const std::string spoken = m_dir.file("spoken.wav");
    voice(0).wavData = std::string(3200, '\x10');
    ASSERT_EQ(tts.convertToWavFile(u"x", fromUtf8(spoken), 0, false), TTS::kConvertStarted);
    voice(0).finish();
    EXPECT_EQ(wavDuration(spoken), 100u);
}

TEST_F(SpeakerTest, AConversionThatCannotStartLeavesAnEarlierFileAlone) {
    const std::string earlier = m_dir.file("earlier.wav");
    test::writeAll(earlier, "an earlier file");
    voice(0).failToWrite = true;
    EXPECT_EQ(m_speaker->tts()->convertToWavFile(u"x", fromUtf8(earlier), 0, false),
              TTS::kConvertFailed);
    EXPECT_EQ(test::readAll(earlier), "an earlier file");
}

TEST_F(SpeakerTest, RecordedAudioPlaysOnlyWhenTheLearnerAsksForIt) {
    EXPECT_FALSE(m_speaker->playSegment("clip.mp3", 1000, 2500));
    EXPECT_TRUE(m_player->opened.empty());

    m_speaker->setUseSentenceAudio(true);
    m_speaker->setPlaybackSpeed(150);
    m_speaker->setVolume(70);
    voice(0).speaking = true;
    EXPECT_TRUE(m_speaker->playSegment("clip.mp3", 1000, 2500));
    EXPECT_FALSE(voice(0).speaking) << "speech stops for the recording";
    ASSERT_TRUE(waitFor([&] { return !m_player->segments.empty(); }));
    EXPECT_EQ(m_player->opened.back(), "clip.mp3");
    EXPECT_EQ(m_player->segments.back(), (std::pair<int64_t, int64_t>{1000, 2500}));
    EXPECT_EQ(m_player->speed, 150);
    EXPECT_EQ(m_player->volume, 70);
    EXPECT_TRUE(m_speaker->isPlayingSegment());

    m_speaker->togglePause();
    EXPECT_TRUE(waitFor([&] { return m_player->paused.load(); }));
    m_speaker->togglePause();
    EXPECT_TRUE(waitFor([&] { return !m_player->paused.load(); }));

    m_player->playing = false;  // the segment has ended
    EXPECT_TRUE(waitFor([&] { return !m_speaker->isPlayingSegment(); }));
}

TEST_F(SpeakerTest, ANewSegmentReplacesTheOneThatPlays) {
    m_speaker->setUseSentenceAudio(true);
    ASSERT_TRUE(m_speaker->playSegment("a.mp3", 0, 1000));
    ASSERT_TRUE(waitFor([&] { return m_player->segments.size() == 1; }));
    ASSERT_TRUE(m_speaker->playSegment("b.mp3", 5000, 6000));
    ASSERT_TRUE(waitFor([&] { return m_player->segments.size() == 2; }));
    EXPECT_EQ(m_player->opened.back(), "b.mp3");
    m_speaker->stopPlayback();
    EXPECT_FALSE(m_speaker->isPlayingSegment());
    EXPECT_FALSE(m_player->playing);
}

// A recording the player cannot open (a .wma, say) is left to the voice: the
// caller speaks, and the learner hears once which file could not be played.
TEST_F(SpeakerTest, ARecordingThatCannotBeOpenedIsLeftToTheVoiceAndNamedOnce) {
    resetNoticesForTesting();
    m_speaker->setUseSentenceAudio(true);
    m_player->openSucceeds = false;
    for (const char* file : {"talk.wma", "talk.wma", "other.wma"}) {
        EXPECT_FALSE(m_speaker->playSegment(file, 1000, 2000)) << file;
        EXPECT_FALSE(m_speaker->isPlayingSegment());
    }
    EXPECT_TRUE(m_player->segments.empty());
    ASSERT_EQ(m_ui->boxes.size(), 2u);
    EXPECT_NE(m_ui->boxes[0].text.find(u"talk.wma"), std::u16string::npos);
    EXPECT_NE(m_ui->boxes[1].text.find(u"other.wma"), std::u16string::npos);

    // With a shower the notices go there, the earlier ones first.
    std::vector<std::u16string> shown;
    setNoticeShower([&](const std::u16string& text) { shown.push_back(text); });
    EXPECT_FALSE(m_speaker->playSegment("third.wma", 0, 500));
    setNoticeShower(nullptr);
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(m_ui->boxes.size(), 2u);
}

// Until the learner chooses, the voices and "Sentence audio" follow each
// file and are not stored; what the learner chose is stored and wins.
TEST_F(SpeakerTest, DefaultsFollowTheFileUntilTheLearnerChooses) {
    ProfileSettings settings;
    settings.setPath(m_dir.file("speaker.ini"));
    m_speaker->loadSettings(settings);
    int told = 0;
    m_speaker->setSettingsListener([&] { ++told; });
    m_speaker->suggestForFile({u"Good morning."}, {u"\u304a\u306f\u3088\u3046"}, true);
    EXPECT_EQ(m_speaker->voiceList(0).selectedIndex(), 0);
    EXPECT_EQ(m_speaker->voiceList(1).selectedIndex(), 1) << "the Japanese voice";
    EXPECT_EQ(voice(1).voice, 1);
    EXPECT_TRUE(m_speaker->usesSentenceAudio());
    EXPECT_EQ(told, 1);
    m_speaker->suggestForFile({u"Hello."}, {u"Bonjour."}, false);
    EXPECT_EQ(m_speaker->voiceList(1).selectedIndex(), 0);
    EXPECT_FALSE(m_speaker->usesSentenceAudio());
    m_speaker->saveSettings(settings);
    for (const char16_t* key : {u"Voice1", u"Voice2", u"SentenceAudio"}) {
        EXPECT_EQ(settings.readString(u"Speaker", key, u"absent"), u"absent") << toUtf8(key);
    }

    m_speaker->selectVoice(1, 0);
    m_speaker->setUseSentenceAudio(false);
    m_speaker->suggestForFile({u"Hi."}, {u"\u3053\u3093\u306b\u3061\u306f"}, true);
    EXPECT_EQ(m_speaker->voiceList(1).selectedIndex(), 0);
    EXPECT_FALSE(m_speaker->usesSentenceAudio());
    m_speaker->saveSettings(settings);
    EXPECT_EQ(settings.readString(u"Speaker", u"Voice2", u""), u"0");
    EXPECT_EQ(settings.readString(u"Speaker", u"SentenceAudio", u""), u"0");
    EXPECT_EQ(settings.readString(u"Speaker", u"Voice1", u"absent"), u"absent");

    // The next run: the stored choices win, voice 1 still follows the file.
    FakeVoices otherVoices;
    Speaker other(std::make_unique<FakePlayer>(), otherVoices.factory());
    other.initialize();
    other.loadSettings(settings);
    other.suggestForFile({u"\u99c5\u307e\u3067"}, {u"\u3072\u3068"}, true);
    EXPECT_EQ(other.voiceList(0).selectedIndex(), 1);
    EXPECT_EQ(other.voiceList(1).selectedIndex(), 0);
    EXPECT_FALSE(other.usesSentenceAudio());
}

}  // namespace
}  // namespace pw
