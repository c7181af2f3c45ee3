// Whole conversions: the real voices speak into WAV files, the LAME encoder
// makes the MP3 files, and other programs read what we wrote.
#include <filesystem>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "audio/SyltTagReader.h"
#include "audio/tests/AudioTestSupport.h"
#include "content/SentenceListModel.h"
#include "core/TempFolder.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "export/AudioConversion.h"
#include "export/ConverterOptions.h"
#include "export/SentenceFinisher.h"
#include "export/tests/ExportTestSupport.h"
#include "speech/Speaker.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

constexpr int kRunTimeoutMs = 120000;

class Ending : public ConversionListener {
public:
    void rowChanged(size_t) override {}
    void rowFinished(size_t row) override {
        finished.push_back(row);
        if (onFinished) {
            onFinished(row);
        }
    }
    void conversionEnded() override { ++ended; }

    std::vector<size_t> finished;
    std::function<void(size_t)> onFinished;
    int ended = 0;
};

class Conversion : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_speaker.initialize()) << "the speech engine is needed";
        m_speaker.selectFormat(14);  // 16 kHz mono, as the settings start
        m_settings.outputFolder = m_out.path();
        m_settings.encoder = findEncoder();
        ASSERT_FALSE(m_settings.encoder.empty()) << "lame is needed (Debian: lame)";
        m_settings.intervalMs = 700;
        m_settings.jobs = 2;
    }

    std::vector<ConversionRow> rows(const std::vector<test::SentencePair>& pairs,
                                    const std::string& name = "lesson") {
        const std::string path = m_in.file(name + ".xml");
        test::writeLearningFile(path, pairs);
        EXPECT_TRUE(m_list.open(path));
        std::vector<int> all;
        for (int i = 0; i < m_list.recordCount(); ++i) {
            all.push_back(i);
        }
        return makeConversionRows(m_list, all, false);
    }

    // Runs conversion to its end.
    void run(AudioConversion& conversion) {
        conversion.setListener(&m_ending);
        const int endedBefore = m_ending.ended;
        ASSERT_TRUE(conversion.start(m_settings));
        ASSERT_TRUE(m_ui->runUntil([&] { return m_ending.ended > endedBefore; }, kRunTimeoutMs));
        EXPECT_FALSE(conversion.isRunning());
    }

public:
    static PlayerFormat sylt() {
        PlayerFormat format;
        format.name = u"SYLT";
        format.headerName = PlayerFormat::kSyltHeader;
        return format;
    }
    static PlayerFormat lrc() {
        PlayerFormat format;
        format.name = u"LRC";
        format.headerName = PlayerFormat::kLrcHeader;
        format.encoding = u"UTF-8";
        format.width = 4000;
        return format;
    }

protected:
    // The output folder's file names.
    std::set<std::string> outputFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_out.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    test::ScopedRecordingUi m_ui;
    Speaker m_speaker;
    SentenceListModel m_list;
    test::TempDir m_in;
    test::TempDir m_out;
    ConversionSettings m_settings;
    Ending m_ending;
};

TEST_F(Conversion, EachSentenceBecomesAnMp3WithItsLyricsWherePeersFindThem) {
    m_settings.lyrics = sylt();
    AudioConversion conversion(m_speaker,
                               rows({{"Good morning, everybody.", "皆さん、おはよう。", ""},
                                     {"No translation here.", "", ""},
                                     {"See you tomorrow.", "また明日。", ""}}));
    run(conversion);
    EXPECT_EQ(conversion.completedCount(), 3u);
    EXPECT_EQ(outputFiles(),
              (std::set<std::string>{"1 lesson.mp3", "2 lesson.mp3", "3 lesson.mp3"}));
    for (const ConversionRow& row : conversion.rows()) {
        EXPECT_EQ(row.progress, progress::kComplete);
    }
    EXPECT_TRUE(m_ui->boxes.empty());

    for (int i = 0; i < 3; ++i) {
        const std::string mp3 = m_out.file(std::to_string(i + 1) + " lesson.mp3");
        LyricsInfo lyrics;
        ASSERT_NO_THROW(readSyltTag(mp3, lyrics)) << mp3;
        const ConversionRow& row = conversion.rows()[i];
        std::vector<std::u16string> texts;
        if (!row.translation.empty()) {
            texts.push_back(row.translation);
        }
        texts.push_back(row.sentence);
        EXPECT_EQ(lyrics.texts, texts) << mp3;
        EXPECT_EQ(lyrics.values.front(), 0u);

        // mutagen reads the same frame: texts in UTF-16 and times.
        const std::vector<test::TimedText> peer = test::mutagenSylt(mp3);
        ASSERT_EQ(peer.size(), lyrics.size()) << mp3;
        for (size_t k = 0; k < peer.size(); ++k) {
            EXPECT_EQ(peer[k].ms, lyrics.values[k]);
            EXPECT_EQ(peer[k].text, toUtf8(lyrics.texts[k]));
        }

        if (lyrics.size() == 2) {
            // The sentence's lyric starts where it is heard, after the silence.
            test::runProgram({"mpg123", "-q", "-w", m_in.file("decoded.wav"), mp3});
            const test::Sound sound = test::readSound(m_in.file("decoded.wav"));
            const auto gaps = test::findGaps(sound, 0.0, sound.seconds(), 0.5);
            ASSERT_FALSE(gaps.empty()) << mp3;
            EXPECT_NEAR(gaps.front().end * 1000, lyrics.values[1], 60) << mp3;
            EXPECT_NEAR(gaps.front().length() * 1000, m_settings.intervalMs, 120) << mp3;
        }
    }
}

TEST_F(Conversion, ExistingFilesAreSkippedAndCompletedRowsAreNotDoneAgain) {
    AudioConversion conversion(m_speaker, rows({{"One.", "", ""}, {"Two.", "", ""}}));
    test::writeAll(m_out.file("2 lesson.mp3"), "the learner's own");
    run(conversion);
    EXPECT_EQ(conversion.rows()[0].progress, progress::kComplete);
    EXPECT_EQ(conversion.rows()[1].progress, progress::kExists);
    EXPECT_EQ(conversion.skippedCount(), 1u);
    EXPECT_EQ(test::readAll(m_out.file("2 lesson.mp3")), "the learner's own");

    // A second run leaves the completed row alone and tries the other again.
    fs::remove(m_out.file("2 lesson.mp3"));
    const auto firstWritten = fs::last_write_time(m_out.file("1 lesson.mp3"));
    run(conversion);
    EXPECT_EQ(conversion.progress().total, 1u);
    EXPECT_EQ(conversion.completedCount(), 1u);
    EXPECT_EQ(conversion.rows()[1].progress, progress::kComplete);
    EXPECT_EQ(fs::last_write_time(m_out.file("1 lesson.mp3")), firstWritten);
}

TEST_F(Conversion, ARecordedSentenceIsCutFromItsRecording) {
    // One second at 440 Hz, then one at 880 Hz: the second sentence's.
    test::writeTones(m_in.file("talk.mp3"), 44100, 2, {{1.0, 440}, {1.0, 880}});
    m_settings.recordedRate = 22050;
    m_settings.encoder.clear();
    std::vector<ConversionRow> list =
        rows({{"First.", "", "00:00:00"}, {"Second.", "", "00:01:00"}}, "talk");
    ASSERT_EQ(list.size(), 2u);
    ASSERT_TRUE(list[1].hasRecordedAudio());
    list[0].progress = progress::kComplete;
    AudioConversion conversion(m_speaker, std::move(list));
    run(conversion);
    ASSERT_EQ(conversion.completedCount(), 1u);
    const test::Sound sound = test::readSound(m_out.file("2 talk.wav"));
    EXPECT_EQ(sound.rate, 22050);
    EXPECT_NEAR(sound.seconds(), 1.0, 0.06);
    EXPECT_NEAR(test::frequency(sound, 0.1, 0.9), 880, 15);
}

TEST_F(Conversion, StopEndsTheRunAndLeavesNoHalfFiles) {
    test::TempDir scratch;
    test::ScopedEnv tmp("TMPDIR", scratch.path().c_str());
    std::vector<test::SentencePair> pairs;
    for (int i = 0; i < 8; ++i) {
        pairs.push_back({"This is sentence number " + std::to_string(i) + ".", "文", ""});
    }
    AudioConversion conversion(m_speaker, rows(pairs));
    m_ending.onFinished = [&](size_t) { conversion.stop(); };
    run(conversion);
    EXPECT_LT(conversion.completedCount(), 8u);
    EXPECT_GE(conversion.completedCount(), 1u);
    std::set<std::string> expected;
    for (const ConversionRow& row : conversion.rows()) {
        if (row.progress == progress::kComplete) {
            expected.insert(toUtf8(row.outputName) + ".mp3");
        }
    }
    EXPECT_EQ(outputFiles(), expected);
    // The working files went with the run.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(tempFolder(), ec)) {
        ADD_FAILURE() << "left behind: " << entry.path();
    }
}

TEST(ConversionStates, EachPieceWaitsForItsOwnVoicesEnd) {
    test::ScopedRecordingUi ui;
    test::FakeVoices voices;
    Speaker speaker(nullptr, voices.factory());
    speaker.initialize();
    ASSERT_EQ(voices.made.size(), 2u);
    for (test::FakeVoice* voice : voices.made) {
        voice->wavData = std::string(3200, '\x10');  // 0.1 s at 16 kHz
    }
    test::FakeVoice& sentenceVoice = *voices.made[0];
    test::FakeVoice& translationVoice = *voices.made[1];
    ConversionRow first;
    first.sentence = u"Hi.";
    first.translation = u"やあ";
    first.outputName = u"1 x";
    ConversionRow second;  // no sentence: the translation alone
    second.translation = u"空";
    second.outputName = u"2 x";
    AudioConversion conversion(speaker, {first, second});
    Ending ending;
    conversion.setListener(&ending);
    test::TempDir out;
    ConversionSettings settings;
    settings.outputFolder = out.path();
    settings.spellOutWords = true;
    settings.lyrics = Conversion::lrc();  // without an encoder: WAV files without lyrics
    ASSERT_TRUE(conversion.start(settings));
    const auto settle = [&] { ui->runFor(20); };

    EXPECT_EQ(conversion.state(), AudioConversion::kWaitTranslation);
    EXPECT_EQ(translationVoice.written, std::vector<std::u16string>{u"やあ"});
    EXPECT_EQ(conversion.rows()[0].progress, progress::kTranslating);
    // The other voice, stopped before this piece began, ends late: no matter.
    sentenceVoice.finish();
    settle();
    EXPECT_EQ(conversion.state(), AudioConversion::kWaitTranslation);
    translationVoice.finish();
    settle();
    EXPECT_EQ(conversion.state(), AudioConversion::kWaitSentence);
    EXPECT_EQ(sentenceVoice.written, std::vector<std::u16string>{u"Hi."});
    sentenceVoice.finish();
    settle();
    EXPECT_EQ(conversion.state(), AudioConversion::kWaitSpelling);
    EXPECT_EQ(sentenceVoice.written.back(), AudioConversion::spellingMarkup(u"Hi."));
    EXPECT_TRUE(sentenceVoice.lastIsXml);
    sentenceVoice.finish();
    settle();
    // The first sentence is being finished while the second is spoken.
    EXPECT_EQ(conversion.state(), AudioConversion::kWaitTranslation);
    EXPECT_EQ(translationVoice.written.back(), u"空");
    translationVoice.finish();
    ASSERT_TRUE(ui->runUntil([&] { return ending.ended > 0; }, 10000));
    EXPECT_EQ(sentenceVoice.written.size(), 2u);  // nothing for the empty sentence
    EXPECT_EQ(conversion.rows()[0].progress, progress::kComplete);
    EXPECT_EQ(conversion.rows()[1].progress, progress::kComplete);
    WaveFormat format;
    // Translation, 1000 ms, sentence, 100 ms, spelling: 0.1 s each at 16 kHz.
    EXPECT_EQ(readWavInfo(out.file("1 x.wav"), format), (3 * 1600 + 16000 + 1600) * 2u);
    EXPECT_EQ(readWavInfo(out.file("2 x.wav"), format), 3200u);
    EXPECT_EQ(format, pcmFormat(16000, 1));
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 2);
    EXPECT_TRUE(ui->boxes.empty());
}

TEST(ConversionWithoutVoices, TheFirstPieceFailsAndTheRunEnds) {
    test::ScopedRecordingUi ui;
    Speaker speaker(nullptr, [] { return std::unique_ptr<Sapi>(); });
    speaker.initialize();
    test::TempDir out;
    ConversionRow row;
    row.sentence = u"Hello.";
    row.translation = u"こんにちは";
    row.outputName = u"1 x";
    AudioConversion conversion(speaker, {row});
    Ending ending;
    conversion.setListener(&ending);
    ConversionSettings settings;
    settings.outputFolder = out.path();
    ASSERT_TRUE(conversion.start(settings));
    ASSERT_TRUE(ui->runUntil([&] { return ending.ended > 0; }, 5000));
    EXPECT_EQ(conversion.rows()[0].progress, progress::kTranslatingFailed);
    EXPECT_EQ(conversion.failedCount(), 1u);
    ASSERT_FALSE(ui->boxes.empty());
    EXPECT_EQ(ui->boxes.back().text, u"Failed: GetSapiVoice()");
}

TEST(ConversionTexts, SpellingMarkupAndProgress) {
    // Markup in the sentence is spelt, not obeyed; a pair of surrogates is one character.
    EXPECT_EQ(AudioConversion::spellingMarkup(u"<😀"),
              u"&lt;<silence msec=\"10\" />😀<silence msec=\"10\" />");

    AudioConversionProgress progress;
    progress.done = 3;
    progress.total = 10;
    EXPECT_EQ(describeProgress(progress, true), u"3 of 10 files");
    progress.remainingMs = 65400;
    EXPECT_EQ(describeProgress(progress, true), u"3 of 10 files, about 1:05 left");
    progress.remainingMs = 3723000;
    EXPECT_EQ(describeProgress(progress, true), u"3 of 10 files, about 1:02:03 left");
    progress.done = 1;
    progress.total = 1;
    progress.elapsedMs = 72000;
    EXPECT_EQ(describeProgress(progress, false), u"1 of 1 file in 1:12");
}

}  // namespace
}  // namespace pw
