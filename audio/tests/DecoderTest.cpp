// Decoders: Ogg loops, MP3 lengths, and the tempo, pitch and rate pipeline.
#include <chrono>
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "audio/Mpg123Decoder.h"
#include "audio/OggDecoder.h"
#include "audio/TempoStream.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using test::TempDir;

const std::vector<test::Tone> kThreeTones = {{1.0, 440}, {1.0, 660}, {1.0, 880}};

// One second each of 440, 660 and 880 Hz at 44100 Hz, with loop comments.
std::string threeToneOgg(const TempDir& dir, const std::string& loopStart,
                         const std::string& loopLength) {
    const std::string wav = dir.file("tones.wav");
    const std::string ogg = dir.file("tones.ogg");
    test::writeTones(wav, 44100, 1, kThreeTones);
    EXPECT_EQ(test::runProgram({"sox", wav, "--comment", "LOOPSTART=" + loopStart, "--add-comment",
                                "LOOPLENGTH=" + loopLength, ogg}),
              0);
    return ogg;
}

// Reads seconds of sound from the decoder, a tenth of a second at a time.
test::Sound decode(PCMDecoder& decoder, double seconds, bool loop, bool* ended = nullptr) {
    test::Sound sound;
    sound.rate = decoder.sampleRate();
    sound.channels = 1;
    const size_t frameBytes = static_cast<size_t>(decoder.channels()) * 2;
    std::vector<char> buffer(static_cast<size_t>(decoder.sampleRate() / 10) * frameBytes);
    while (sound.seconds() < seconds) {
        size_t bytes = 0;
        bool end = false;
        EXPECT_TRUE(decoder.read(buffer.data(), buffer.size(), bytes, end, loop));
        const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
        for (size_t i = 0; i < bytes / frameBytes; ++i) {
            sound.mono.push_back(samples[i * static_cast<size_t>(decoder.channels())] / 32768.0f);
        }
        if (end) {
            if (ended) {
                *ended = true;
            }
            break;
        }
    }
    return sound;
}

test::Sound readStream(TempoStream& stream) {
    test::Sound sound;
    sound.rate = stream.outputRate();
    sound.channels = 1;
    const auto channels = static_cast<size_t>(stream.outputChannels());
    std::vector<float> piece(1000 * channels);
    bool ended = false;
    while (!ended) {
        const size_t n = stream.read(piece.data(), 1000, ended);
        for (size_t i = 0; i < n; ++i) {
            sound.mono.push_back(piece[i * channels]);
        }
        if (n == 0 && !ended) {
            ADD_FAILURE() << "a file stream ran dry before its end";
            break;
        }
    }
    return sound;
}

// The frequency heard in each whole second, from the middle of it.
std::vector<int> secondsFrequencies(const test::Sound& sound) {
    std::vector<int> out;
    for (int s = 0; s + 1 <= static_cast<int>(sound.seconds() + 0.01); ++s) {
        out.push_back(static_cast<int>(std::lround(test::frequency(sound, s + 0.1, s + 0.9) / 10)) *
                      10);
    }
    return out;
}

TEST(OggDecoder, RepeatsTheLoopItsCommentsGive) {
    TempDir dir;
    OggDecoder decoder;
    ASSERT_TRUE(decoder.open(threeToneOgg(dir, "44100", "88200")));
    EXPECT_EQ(decoder.loopStart(), 44100);
    EXPECT_EQ(decoder.loopLength(), 88200);
    EXPECT_EQ(decoder.totalSamples(), 132300);
    bool ended = false;
    const test::Sound sound = decode(decoder, 6.0, true, &ended);
    EXPECT_FALSE(ended);
    EXPECT_EQ(secondsFrequencies(sound), (std::vector<int>{440, 660, 880, 660, 880, 660}));
}

TEST(OggDecoder, EndsAfterTheLastSampleWithoutLoop) {
    TempDir dir;
    OggDecoder decoder;
    ASSERT_TRUE(decoder.open(threeToneOgg(dir, "44100", "88200")));
    bool ended = false;
    const test::Sound sound = decode(decoder, 10.0, false, &ended);
    EXPECT_TRUE(ended);
    EXPECT_EQ(sound.mono.size(), 132300u);
    EXPECT_EQ(decoder.tell(), 3000);

    ASSERT_TRUE(decoder.seek(1500));
    EXPECT_EQ(decoder.tell(), 1500);
    EXPECT_NEAR(test::frequency(decode(decoder, 0.3, false), 0.0, 0.3), 660, 5);
}

TEST(OggDecoder, UnplayableLoopsFallBackAndNothingHangs) {
    TempDir dir;
    struct Case {
        const char* start;
        const char* length;
        std::vector<int> expected;
    };
    // A loop start past the end is ignored: the whole file repeats. A loop
    // too short to be one is ignored, its start still where the end leads.
    const std::vector<Case> cases = {
        {"500000", "44100", {440, 660, 880, 440, 660}},
        {"44100", "1", {440, 660, 880, 660, 880}},
        {"-5", "x", {440, 660, 880, 440, 660}},
        {"88200", "88200", {440, 660, 880, 880, 880}},  // runs past the end: back to its start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "+" + c.length);
        OggDecoder decoder;
        ASSERT_TRUE(decoder.open(threeToneOgg(dir, c.start, c.length)));
        EXPECT_EQ(secondsFrequencies(decode(decoder, 5.0, true)), c.expected);
    }
    test::writeAll(dir.file("not.ogg"), std::string(5000, 'x'));
    OggDecoder decoder;
    EXPECT_FALSE(decoder.open(dir.file("not.ogg")));
    EXPECT_FALSE(decoder.open(dir.file("missing.ogg")));
    size_t bytes = 0;
    bool ended = false;
    char buffer[64];
    EXPECT_FALSE(decoder.read(buffer, sizeof buffer, bytes, ended, true));
}

TEST(Mpg123Decoder, DecodesAnMp3ToItsLength) {
    TempDir dir;
    const std::string mp3 = dir.file("tone.mp3");
    test::writeTones(mp3, 22050, 2, {{1.0, 440}});
    Mpg123Decoder decoder;
    ASSERT_TRUE(decoder.open(mp3));
    EXPECT_EQ(decoder.channels(), 2);
    EXPECT_EQ(decoder.sampleRate(), 22050);
    EXPECT_NEAR(static_cast<double>(decoder.totalSamples()), 22050, 1152);
    bool ended = false;
    const test::Sound sound = decode(decoder, 5.0, false, &ended);
    EXPECT_TRUE(ended);
    EXPECT_EQ(static_cast<int64_t>(sound.mono.size()), decoder.totalSamples());
    EXPECT_NEAR(test::frequency(sound, 0.1, 0.9), 440, 3);
    EXPECT_FALSE(decoder.open(dir.file("missing.mp3")));
}

TEST(Decoders, RefuseAFifoOrAFolderAtOnce) {
    // A recording named by the learner may be a named pipe with no writer.
    TempDir dir;
    test::makeFifo(dir.file("pipe.mp3"));
    const std::vector<std::string> paths = {dir.file("pipe.mp3"), dir.path()};
    for (const std::string& path : paths) {
        const std::pair<const char*, std::function<bool()>> decoders[] = {
            {"mpg123", [&] { return Mpg123Decoder().open(path); }},
            {"vorbis", [&] { return OggDecoder().open(path); }},
            {"sndfile", [&] { return TempoStream().open(path); }},
        };
        for (const auto& [name, open] : decoders) {
            bool opened = true;
            EXPECT_TRUE(test::returnsWithin(std::chrono::seconds(1), dir.file("pipe.mp3"),
                                            [&] { opened = open(); }))
                << name << " waited on " << path;
            EXPECT_FALSE(opened) << name << " " << path;
        }
    }
}

TEST(TempoStream, TempoShortensPitchTransposesRateConverts) {
    TempDir dir;
    const std::string wav = dir.file("tone.wav");
    test::writeTones(wav, 44100, 2, {{1.5, 440}});
    struct Case {
        const char* name;
        double tempo;
        double semitones;
        int rate;
        int channels;
        double frames;
        double hz;
    };
    const std::vector<Case> cases = {
        {"as it is", 1.0, 0, 0, 0, 66150, 440},
        {"150 %", 1.5, 0, 0, 0, 44100, 440},
        {"50 %", 0.5, 0, 0, 0, 132300, 440},
        {"an octave up", 1.0, 12, 0, 0, 66150, 880},
        {"16 kHz mono", 1.0, 0, 16000, 1, 24000, 440},
        {"16 kHz mono at 150 %", 1.5, 0, 16000, 1, 16000, 440},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempoStream stream;
        ASSERT_TRUE(stream.open(wav));
        stream.setOutputFormat(c.rate, c.channels, Resampler::Quality::Good);
        stream.setTempo(c.tempo);
        stream.setPitchSemitones(c.semitones);
        const test::Sound sound = readStream(stream);
        EXPECT_NEAR(static_cast<double>(sound.mono.size()), c.frames, c.frames * 0.002 + 2);
        EXPECT_NEAR(test::frequency(sound, 0.1, sound.seconds() - 0.1), c.hz, c.hz * 0.01);
        EXPECT_NEAR(static_cast<double>(stream.sourcePositionAt(stream.outputFrames())), 66150,
                    100);
    }
}

TEST(TempoStream, PlaysFromASeekToAnEnd) {
    TempDir dir;
    const std::string wav = dir.file("tones.wav");
    test::writeTones(wav, 44100, 1, kThreeTones);
    for (const double tempo : {1.0, 1.5}) {
        SCOPED_TRACE(tempo);
        TempoStream stream;
        ASSERT_TRUE(stream.open(wav));
        stream.setTempo(tempo);
        stream.seek(44100);
        stream.setEnd(88200);
        const test::Sound sound = readStream(stream);
        EXPECT_NEAR(static_cast<double>(sound.mono.size()), 44100 / tempo, 2);
        EXPECT_NEAR(test::frequency(sound, 0.05, sound.seconds() - 0.05), 660, 4);
        EXPECT_EQ(stream.sourcePositionAt(stream.outputFrames()), 88200);
        EXPECT_NEAR(static_cast<double>(stream.sourcePositionAt(stream.outputFrames() / 2)), 66150,
                    2);
    }
    TempoStream stream;
    EXPECT_FALSE(stream.open(dir.file("missing.wav")));
    bool ended = false;
    float out[4];
    EXPECT_EQ(stream.read(out, 2, ended), 0u);
    EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace pw
