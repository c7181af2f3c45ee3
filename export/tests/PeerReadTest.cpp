// What other programs read of the files we write: mutagen our SYLT frames,
// ffmpeg our LRC files, mpg123 and ffprobe the length of our MP3 files.
#include <filesystem>
#include <iterator>

#include <gtest/gtest.h>

#include "audio/SyltTagReader.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "export/ConverterOptions.h"
#include "export/LyricsInfoManager.h"
#include "export/SentenceFinisher.h"
#include "export/tests/ExportTestSupport.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

// One MPEG-2 layer III frame at 16 kHz.
constexpr double kFrameMs = 36;

class Peers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::pythonWithMutagen().empty()) << "mutagen is needed (python3-mutagen)";
        ASSERT_EQ(test::runProgram({"ffprobe", "-version"}), 0) << "ffprobe is needed (ffmpeg)";
        m_encoder = findEncoder();
        ASSERT_FALSE(m_encoder.empty()) << "lame is needed";
    }

    // The pieces of a sentence: a second of 440 Hz, then 0.6 s of 660 Hz
    // after 800 ms of silence.
    FinishRequest request(const PlayerFormat& lyrics) {
        test::writeTones(m_work.file("t.wav"), 16000, 1, {{1.0, 440}});
        test::writeTones(m_work.file("s.wav"), 16000, 1, {{0.6, 660}});
        FinishRequest r;
        r.pieces = {{m_work.file("t.wav"), u"おはよう", 800},
                    {m_work.file("s.wav"), u"Morning.", 800}};
        r.destination = m_out.file("1 lesson");
        r.encoder = m_encoder;
        r.lyrics = lyrics;
        r.scratchBase = m_work.file("1-output");
        return r;
    }

    FinishResult finish(const FinishRequest& r) {
        std::atomic<bool> stop{false};
        return finishSentence(r, stop, [](const std::u16string&) {});
    }

    std::string m_encoder;
    test::TempDir m_work;
    test::TempDir m_out;
};

PlayerFormat syltFormat() {
    PlayerFormat format;
    format.name = u"SYLT";
    format.headerName = PlayerFormat::kSyltHeader;
    return format;
}

TEST_F(Peers, TheMp3LastsAsLongAsItsPiecesAndSilencesAndMutagenFindsTheLyrics) {
    const FinishResult result = finish(request(syltFormat()));
    ASSERT_EQ(result.outcome, FinishResult::Complete) << toUtf8(result.failure);
    EXPECT_EQ(result.durationMs, 2400u);
    const std::string mp3 = m_out.file("1 lesson.mp3");
    EXPECT_NEAR(test::ffprobeDurationMs(mp3), 2400, kFrameMs);
    ASSERT_EQ(test::runProgram({"mpg123", "-q", "-w", m_work.file("decoded.wav"), mp3}), 0);
    const test::Sound sound = test::readSound(m_work.file("decoded.wav"));
    EXPECT_NEAR(sound.seconds() * 1000, 2400, kFrameMs);
    const std::vector<test::TimedText> lyrics = test::mutagenSylt(mp3);
    EXPECT_EQ(lyrics, (std::vector<test::TimedText>{{0, "おはよう"}, {1800, "Morning."}}));
    // The second lyric starts where its sound does.
    const auto gaps = test::findGaps(sound, 0.0, sound.seconds(), 0.3);
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_NEAR(gaps[0].end * 1000, 1800, 40);
    // Nothing of the work is left.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_work.path()), fs::directory_iterator()), 1);
}

TEST_F(Peers, FfmpegReadsOurLrcFiles) {
    PlayerFormat format;
    format.name = u"LRC";
    format.headerName = PlayerFormat::kLrcHeader;
    format.encoding = u"UTF-8";  // ffmpeg would take a byte-order mark for text
    format.width = 4000;
    ASSERT_EQ(finish(request(format)).outcome, FinishResult::Complete);
    EXPECT_EQ(test::ffmpegLrc(m_out.file("1 lesson.lrc")),
              (std::vector<test::TimedText>{{0, "おはよう"}, {1800, "Morning."}}));
}

TEST_F(Peers, MutagenReadsEveryEntryOfALongFrame) {
    const std::string mp3 = m_work.file("long.mp3");
    test::writeTones(mp3, 16000, 1, {{0.5, 440}});
    LyricsInfoManager manager({syltFormat()});
    std::vector<test::TimedText> expected;
    uint32_t start = 0;
    for (int i = 0; i < 40; ++i) {
        const std::u16string text = u"第" + fromUtf8(std::to_string(i)) + u"文 sentence 😀";
        manager.lyrics().add(text, 3000);
        expected.push_back({start, toUtf8(text)});
        start += 3000;  // past 65 536 ms from the 22nd entry on
    }
    manager.setSyltTag(mp3);
    EXPECT_EQ(test::mutagenSylt(mp3), expected);
    EXPECT_NEAR(test::ffprobeDurationMs(mp3), 500, kFrameMs);
}

}  // namespace
}  // namespace pw
