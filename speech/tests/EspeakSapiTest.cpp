// The espeak-ng voice writing WAV files: word events, formats, stopping a
// file, and numbers spelt for the Japanese voice. No output device needed.
#include <filesystem>

#include <gtest/gtest.h>

#include "audio/WavFile.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "speech/EspeakSapi.h"
#include "speech/tests/SpeechFakes.h"
#include "speech/tests/SpeechTestSupport.h"

namespace pw {
namespace {

using test::EventLog;

class EspeakFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_voice.createWindow()) << "espeak-ng could not be started";
        m_voice.enumEnginNamesToComboBox(m_voices);
        ASSERT_GT(m_voices.count(), 1);
        ASSERT_TRUE(m_voice.changeVoice(m_voices));
        EXPECT_FALSE(m_voice.isSpeaking()) << "a voice that has said nothing is not speaking";
        m_voice.setListener(&m_log, &m_log);
    }

    // Writes text into name in format entry and waits for the end.
    std::string speakToFile(const std::string& name, const std::u16string& text, bool isXml,
                            int formatEntry = kDefaultFormatIndex) {
        MemoryChoiceList formats;
        m_voice.fillFormatComboBox(formats);
        formats.select(formatEntry);
        EXPECT_TRUE(m_voice.changeFormat(formats));
        const std::string path = m_dir.file(name);
        m_log.events.clear();
        EXPECT_TRUE(m_voice.speakToWav(fromUtf8(path), text, isXml));
        EXPECT_TRUE(m_ui->runUntil([&] { return m_log.count(SapiEvent::kFinished) > 0; }, 10000));
        return path;
    }

    test::ScopedRecordingUi m_ui;
    test::TempDir m_dir;
    EspeakSapi m_voice;
    MemoryChoiceList m_voices;
    EventLog m_log;
};

TEST_F(EspeakFile, TheDefaultVoiceSpeaksEnglish) {
    // Both voices default to the first entry, so it must suit English sentences.
    EXPECT_NE(m_voices.text(0).find(u"English"), std::u16string::npos) << toUtf8(m_voices.text(0));
}

TEST_F(EspeakFile, WordEventsSelectEachWordThenTheEndComesOnce) {
    struct Case {
        std::u16string text;
        bool isXml;
        int pitch;
        std::vector<std::u16string> words;
    };
    const Case cases[] = {
        {u"Caf\u00e9 au lait, na\u00efve fa\u00e7ade.",
         false,
         0,
         {u"Caf\u00e9", u"au", u"lait", u"na\u00efve", u"fa\u00e7ade"}},
        {u"Hello <silence msec=\"300\"/>big <emph>wide</emph> world &amp; sky",
         true,
         3,
         {u"Hello", u"big", u"wide", u"world", u"&amp;", u"sky"}},
        {u"\U0001F600 smile <pitch middle='4'>and</pitch> laugh",
         true,
         0,
         {u"\U0001F600", u"smile", u"and", u"laugh"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.text));
        m_voice.setPitch(c.pitch);
        speakToFile("words.wav", c.text, c.isXml);
        ASSERT_FALSE(m_log.events.empty());
        EXPECT_FALSE(m_log.offUiThread);
        EXPECT_EQ(m_log.count(SapiEvent::kFinished), 1);
        EXPECT_EQ(m_log.events.back().type, SapiEvent::kFinished);
        EXPECT_EQ(m_log.events.back().owner, &m_log);
        EXPECT_EQ(test::wordsOf(m_log.events, c.text), c.words);
        // Nothing more arrives afterwards.
        const size_t seen = m_log.events.size();
        m_ui->runFor(300);
        EXPECT_EQ(m_log.events.size(), seen);
    }
}

TEST_F(EspeakFile, EachFormatIsWrittenAsChosen) {
    struct Case {
        int entry;
        int rate;
        int channels;
        int bits;
    };
    const Case cases[] = {
        {0, 8000, 1, 8},    {14, 16000, 1, 16}, {19, 22050, 2, 16},
        {30, 44100, 1, 16}, {35, 48000, 2, 16},
    };
    const std::u16string shortText = u"One two three.";
    const std::u16string longText = u"One two three. Four five six seven eight nine ten.";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const test::SoxInfo a = test::soxInfo(speakToFile("short.wav", shortText, false, c.entry));
        const test::SoxInfo b = test::soxInfo(speakToFile("long.wav", longText, false, c.entry));
        for (const test::SoxInfo& info : {a, b}) {
            EXPECT_EQ(info.rate, c.rate);
            EXPECT_EQ(info.channels, c.channels);
            EXPECT_EQ(info.bits, c.bits);
        }
        EXPECT_GT(a.seconds, 0.5);
        EXPECT_GT(b.seconds, a.seconds + 1.0);
    }
}

TEST_F(EspeakFile, StopLeavesAWholeShorterFileAndTheVoiceOffTheFile) {
    const std::string path = m_dir.file("stopped.wav");
    ASSERT_TRUE(m_voice.speakToWav(fromUtf8(path), test::longText(), false));
    EXPECT_TRUE(m_voice.isWritingFile());
    m_ui->runFor(150);
    m_voice.stop();
    EXPECT_FALSE(m_voice.isWritingFile());
    EXPECT_FALSE(m_voice.isSpeaking());
    const test::SoxInfo info = test::soxInfo(path);
    EXPECT_EQ(info.rate, 22050);
    EXPECT_GT(info.seconds, 0.0);
    // The whole text lasts about 1100 s.
    EXPECT_LT(info.seconds, 900.0);
    // The stop is reported as the end, once.
    EXPECT_TRUE(m_ui->runUntil([&] { return m_log.count(SapiEvent::kFinished) > 0; }, 1000));
    m_ui->runFor(200);
    EXPECT_EQ(m_log.count(SapiEvent::kFinished), 1);
}

TEST_F(EspeakFile, TheJapaneseVoiceSpellsNumbersAndReadsThemThroughItsDictionary) {
    // The readings dictionary lives in "Lists/" of the program's folder.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(test::sourceDir());
    const int japanese = test::findEntry(m_voices, u"Japanese");
    ASSERT_GE(japanese, 0);
    speakToFile("english.wav", u"12,345", false);
    EXPECT_EQ(m_voice.spokenText(), u"12,345");

    m_voices.select(japanese);
    ASSERT_TRUE(m_voice.changeVoice(m_voices));
    EXPECT_TRUE(m_voice.isJapaneseVoice());
    // 1まん2せん3びゃく4じゅう5, then the digits' readings; 0123 and 7 keep their digits.
    speakToFile("japanese.wav", u"12,345 と 0123 と 7", false);
    EXPECT_EQ(m_voice.spokenText(),
              u"いちまんにせんさんびゃくよんじゅうご と ぜろいちにさん と なな");
    EXPECT_GT(wavDuration(m_dir.file("japanese.wav")), 1000u);

    speakToFile("markup.wav", u"<silence msec=\"250\"/>12", true);
    EXPECT_EQ(m_voice.spokenText(), u"<silence msec=\"250\"/>じゅうに");
    std::filesystem::current_path(here);
}

TEST_F(EspeakFile, SpeakingWhilePausedResumesAndIgnoresTheNewText) {
    const std::u16string first = test::longText();
    ASSERT_TRUE(m_voice.speakToWav(fromUtf8(m_dir.file("p.wav")), first, false));
    m_voice.pause();
    ASSERT_TRUE(m_voice.isPaused());
    m_voice.speak(u"second text", 0);
    EXPECT_FALSE(m_voice.isPaused());
    EXPECT_EQ(m_voice.spokenText(), first);
    m_voice.stop();
}

}  // namespace
}  // namespace pw
