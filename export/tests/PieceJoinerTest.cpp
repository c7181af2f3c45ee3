// Joining a sentence's pieces: silences, formats, and lyrics that start where
// their pieces start.
#include <gtest/gtest.h>

#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/TestFiles.h"
#include "export/PieceJoiner.h"

namespace pw {
namespace {

class PieceJoining : public ::testing::Test {
protected:
    std::string tone(const std::string& name, double seconds, int rate = 16000, int channels = 1,
                     double frequency = 440) {
        const std::string path = m_dir.file(name);
        test::writeTones(path, rate, channels, {{seconds, frequency}});
        return path;
    }
    uint32_t frames(const JoinedSound& sound) const {
        return static_cast<uint32_t>(sound.data.size() / sound.format.blockAlign);
    }

    test::TempDir m_dir;
    JoinedSound m_sound;
    LyricsInfo m_lyrics;
};

TEST_F(PieceJoining, SilencesGoBetweenPiecesAndEachEntryLastsUntilTheNext) {
    const std::vector<Piece> pieces = {{tone("t.wav", 1.0), u"Translation", 1000},
                                       {tone("s.wav", 0.5), u"Sentence", 1000}};
    ASSERT_TRUE(joinPieces(pieces, 0, m_sound, m_lyrics));
    EXPECT_EQ(m_sound.format, pcmFormat(16000, 1));
    EXPECT_EQ(frames(m_sound), 16000u + 16000u + 8000u);
    EXPECT_EQ(m_sound.durationMs(), 2500u);
    EXPECT_EQ(m_lyrics.texts, (std::vector<std::u16string>{u"Translation", u"Sentence"}));
    // The last entry lasts its piece and its own silence.
    EXPECT_EQ(m_lyrics.values, (std::vector<uint32_t>{2000, 1500}));
}

TEST_F(PieceJoining, TheSpellingAfterAShortSilenceStartsWhereItIsHeard) {
    const std::vector<Piece> pieces = {{tone("t.wav", 1.0), u"T", 1000},
                                       {tone("s.wav", 0.5), u"S", 1000},
                                       {tone("sp.wav", 0.3), u"S", 100}};
    ASSERT_TRUE(joinPieces(pieces, 0, m_sound, m_lyrics));
    ASSERT_EQ(m_lyrics.size(), 3u);
    // Starts 0, 2000 and 2600 ms: the spelling follows its 100 ms silence.
    EXPECT_EQ(m_lyrics.values, (std::vector<uint32_t>{2000, 600, 400}));
    const test::Sound heard = test::readSound([&] {
        const std::string path = m_dir.file("joined.wav");
        writeWav(path, m_sound.format, m_sound.data);
        return path;
    }());
    const std::vector<test::Span> gaps = test::findGaps(heard, 0.0, heard.seconds());
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_NEAR(gaps[1].end, 2.6, 0.01);
}

TEST_F(PieceJoining, DifferentFormatsMeetAtTheHighestRateAndMostChannels) {
    const std::vector<Piece> pieces = {{tone("speech.wav", 1.0, 16000, 1), u"A", 500},
                                       {tone("recorded.wav", 1.0, 44100, 2), u"B", 500}};
    ASSERT_TRUE(joinPieces(pieces, 0, m_sound, m_lyrics));
    EXPECT_EQ(m_sound.format, pcmFormat(44100, 2));
    EXPECT_EQ(frames(m_sound), 44100u + 22050u + 44100u);
    EXPECT_EQ(m_lyrics.values, (std::vector<uint32_t>{1500, 1500}));
}

TEST_F(PieceJoining, TheEncodersLowestRateIsKeptTo) {
    ASSERT_TRUE(joinPieces({{tone("low.wav", 0.5, 8000), u"A", 0}}, 16000, m_sound, m_lyrics));
    EXPECT_EQ(m_sound.format.samplesPerSec, 16000u);
    EXPECT_EQ(frames(m_sound), 8000u);
}

TEST_F(PieceJoining, MissingPiecesAreLeftOutAndPiecesWithoutTextLengthenTheEntryBefore) {
    const std::vector<Piece> pieces = {{tone("a.wav", 1.0), u"A", 1000},
                                       {m_dir.file("never-spoken.wav"), u"gone", 1000},
                                       {tone("b.wav", 0.5), u"", 1000},
                                       {tone("c.wav", 0.5), u"C", 250}};
    ASSERT_TRUE(joinPieces(pieces, 0, m_sound, m_lyrics));
    EXPECT_EQ(m_sound.durationMs(), 3250u);
    EXPECT_EQ(m_lyrics.texts, (std::vector<std::u16string>{u"A", u"C"}));
    EXPECT_EQ(m_lyrics.values, (std::vector<uint32_t>{2750, 750}));
}

TEST_F(PieceJoining, NothingToJoinOrAnUnreadablePieceFails) {
    EXPECT_FALSE(joinPieces({{m_dir.file("none.wav"), u"x", 0}}, 0, m_sound, m_lyrics));
    test::writeAll(m_dir.file("junk.wav"), std::string(200, 'j'));
    EXPECT_FALSE(joinPieces({{tone("a.wav", 0.2), u"a", 0}, {m_dir.file("junk.wav"), u"j", 0}}, 0,
                            m_sound, m_lyrics));
}

}  // namespace
}  // namespace pw
