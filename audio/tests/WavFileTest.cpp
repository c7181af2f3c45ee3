// WAV files: untrusted headers, durations, and the three rewrites, each
// result read back by sox.
#include <sys/stat.h>

#include <cstring>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "audio/PcmConvert.h"
#include "audio/WavFile.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using test::TempDir;

void put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
void put32(std::string& s, uint32_t v) {
    put16(s, static_cast<uint16_t>(v & 0xFFFF));
    put16(s, static_cast<uint16_t>(v >> 16));
}

// A WAV image whose every field a case may spoil.
struct Image {
    std::string riff = "RIFF";
    std::string wave = "WAVE";
    std::string fmtId = "fmt ";
    uint32_t fmtSize = 16;
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 16000;
    uint32_t avg = 32000;
    uint16_t block = 2;
    uint16_t bits = 16;
    std::string between;  // chunks between "fmt " and "data"
    std::optional<uint32_t> declared;
    std::vector<int16_t> samples = std::vector<int16_t>(20, 7);
    size_t extraBytes = 0;  // odd bytes after the samples

    std::string bytes() const {
        std::string data;
        for (int16_t s : samples) {
            put16(data, static_cast<uint16_t>(s));
        }
        data.append(extraBytes, '\x01');
        std::string out = riff;
        put32(out, 0);
        out += wave + fmtId;
        put32(out, fmtSize);
        put16(out, tag);
        put16(out, channels);
        put32(out, rate);
        put32(out, avg);
        put16(out, block);
        put16(out, bits);
        out.append(fmtSize - 16, '\0');
        out += between + "data";
        put32(out, declared.value_or(static_cast<uint32_t>(data.size())));
        out += data;
        const auto riffSize = static_cast<uint32_t>(out.size() - 8);
        std::memcpy(out.data() + 4, &riffSize, 4);
        return out;
    }
};

Image pcm(uint32_t rate, uint16_t channels, std::vector<int16_t> samples) {
    Image image;
    image.rate = rate;
    image.channels = channels;
    image.block = static_cast<uint16_t>(channels * 2);
    image.avg = rate * image.block;
    image.samples = std::move(samples);
    return image;
}

std::string chunk(const std::string& id, uint32_t size, size_t bodyBytes) {
    std::string out = id;
    put32(out, size);
    out.append(bodyBytes, '\0');
    return out;
}

std::vector<int16_t> samplesOf(const std::string& path) {
    WavLayout layout;
    EXPECT_TRUE(readWavLayout(path, layout)) << path;
    const std::string bytes = test::readAll(path);
    std::vector<int16_t> out(layout.dataSize / 2);
    std::memcpy(out.data(), bytes.data() + layout.dataOffset, out.size() * 2);
    return out;
}

// What sox makes of a file we wrote: rate, channels, bits and sample frames.
void expectPeerReads(const std::string& path, int rate, int channels, int64_t frames) {
    std::string out;
    ASSERT_EQ(test::runProgram({"soxi", "-r", path}, &out), 0) << "soxi cannot read " << path;
    EXPECT_EQ(std::stoi(out), rate);
    ASSERT_EQ(test::runProgram({"soxi", "-c", path}, &out), 0);
    EXPECT_EQ(std::stoi(out), channels);
    ASSERT_EQ(test::runProgram({"soxi", "-b", path}, &out), 0);
    EXPECT_EQ(std::stoi(out), 16);
    ASSERT_EQ(test::runProgram({"soxi", "-s", path}, &out), 0);
    EXPECT_EQ(std::stoll(out), frames);
}

// Every header this program writes: 18-byte format, RIFF size = data + 38.
void expectOwnHeader(const std::string& path) {
    const std::string bytes = test::readAll(path);
    ASSERT_GE(bytes.size(), kWavHeaderSize);
    uint32_t riffSize;
    uint32_t fmtSize;
    uint32_t dataSize;
    std::memcpy(&riffSize, bytes.data() + 4, 4);
    std::memcpy(&fmtSize, bytes.data() + 16, 4);
    std::memcpy(&dataSize, bytes.data() + 42, 4);
    EXPECT_EQ(fmtSize, 18u);
    EXPECT_EQ(dataSize, bytes.size() - kWavHeaderSize);
    EXPECT_EQ(riffSize, dataSize + 38);
}

TEST(ReadWavInfo, UntrustedHeadersGiveTheSizeHeldOrZero) {
    struct Case {
        const char* name;
        std::function<void(Image&)> spoil;
        uint32_t expected;
    };
    const std::vector<Case> cases = {
        {"64 bytes in all", [](Image&) {}, 40},
        {"63 bytes in all",
         [](Image& i) {
             i.samples.resize(9);
             i.extraBytes = 1;
         },
         0},
        {"no RIFF", [](Image& i) { i.riff = "RIFX"; }, 0},
        {"no WAVE", [](Image& i) { i.wave = "AVI "; }, 0},
        {"no fmt chunk first", [](Image& i) { i.fmtId = "JUNK"; }, 0},
        {"fmt of 20 bytes", [](Image& i) { i.fmtSize = 20; }, 0},
        {"fmt of 18 bytes", [](Image& i) { i.fmtSize = 18; }, 40},
        {"float samples", [](Image& i) { i.tag = 3; }, 0},
        {"zero channels", [](Image& i) { i.channels = 0; }, 0},
        {"zero rate", [](Image& i) { i.rate = 0; }, 0},
        {"zero block align", [](Image& i) { i.block = 0; }, 0},
        {"zero bits", [](Image& i) { i.bits = 0; }, 0},
        {"declares more than it holds", [](Image& i) { i.declared = 1000000; }, 40},
        {"declares 4 GiB", [](Image& i) { i.declared = 0xFFFFFFFF; }, 40},
        {"holds more than it declares", [](Image& i) { i.declared = 20; }, 20},
        {"fact chunk stepped over", [](Image& i) { i.between = chunk("fact", 4, 4); }, 40},
        {"fact chunk beyond the file", [](Image& i) { i.between = chunk("fact", 0xFFFFFFF0, 4); },
         0},
        {"another chunk before data", [](Image& i) { i.between = chunk("LIST", 4, 4); }, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        c.spoil(image);
        const std::string path = dir.file("case.wav");
        test::writeAll(path, image.bytes());
        WaveFormat format;
        EXPECT_EQ(readWavInfo(path, format), c.expected);
        WavLayout layout;
        EXPECT_EQ(parseWavLayout(image.bytes(), layout), c.expected != 0);
        EXPECT_EQ(layout.dataSize, c.expected);
    }
}

TEST(ReadWavInfo, CopiesTheFormatAndReportsMissingFiles) {
    TempDir dir;
    Image image = pcm(22050, 2, std::vector<int16_t>(40, 1));
    image.fmtSize = 18;
    test::writeAll(dir.file("a.wav"), image.bytes());
    WaveFormat format;
    EXPECT_EQ(readWavInfo(dir.file("a.wav"), format), 80u);
    EXPECT_EQ(format, pcmFormat(22050, 2));
    EXPECT_EQ(readWavInfo(dir.file("missing.wav"), format), 0u);
    EXPECT_EQ(readWavInfo(dir.path(), format), 0u);
    // A named pipe with no writer must not hang the reader.
    ASSERT_EQ(mkfifo(dir.file("pipe.wav").c_str(), 0600), 0);
    EXPECT_EQ(readWavInfo(dir.file("pipe.wav"), format), 0u);
}

TEST(WriteWav, WritesWhatPeersReadAndKeepsAReadOnlyFile) {
    TempDir dir;
    const std::string path = dir.file("w.wav");
    const std::vector<int16_t> pcm = test::sinePcm(22050, 1, 0.5, 440);
    const std::string data(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
    ASSERT_TRUE(writeWav(path, pcmFormat(22050, 1), data));
    expectOwnHeader(path);
    expectPeerReads(path, 22050, 1, 11025);
    EXPECT_EQ(wavDuration(path), 501u);

    chmod(path.c_str(), 0444);
    EXPECT_FALSE(writeWav(path, pcmFormat(22050, 1), data.substr(0, 100)));
    EXPECT_EQ(test::readAll(path).size(), kWavHeaderSize + data.size());
}

TEST(WavDuration, DividesByWholeBytesPerMillisecond) {
    struct Case {
        uint32_t avg;
        size_t samples;
        uint32_t expected;
    };
    // 44100 bytes a second count as 44 a millisecond, as always.
    const std::vector<Case> cases = {
        {32000, 16000, 1000}, {44100, 22050, 1002}, {999, 100, 0}, {0, 100, 0}};
    TempDir dir;
    for (const Case& c : cases) {
        Image image = pcm(16000, 1, std::vector<int16_t>(c.samples, 0));
        image.avg = c.avg;
        test::writeAll(dir.file("d.wav"), image.bytes());
        EXPECT_EQ(wavDuration(dir.file("d.wav")), c.expected) << c.avg;
    }
    EXPECT_EQ(wavDuration(dir.file("missing.wav")), 0u);
}

TEST(ResampleWav, DoublingRuleAveragesNeighboursOfEachChannel) {
    TempDir dir;
    const std::string mono = dir.file("mono.wav");
    // Ten samples at least: shorter files count as unusable.
    test::writeAll(mono, pcm(8000, 1, {0, 100, 200, -100, 0, 0, 0, 0, 0, -7}).bytes());
    ASSERT_TRUE(resampleWav(mono, 16000));
    EXPECT_EQ(samplesOf(mono), (std::vector<int16_t>{0, 50, 100, 150, 200, 50, -100, -50, 0,  0,
                                                     0, 0,  0,   0,   0,   0,  0,    -3,  -7, -7}));
    expectOwnHeader(mono);
    expectPeerReads(mono, 16000, 1, 20);

    // Left and right are averaged with their own neighbours, never each other.
    const std::string stereo = dir.file("stereo.wav");
    test::writeAll(stereo, pcm(11025, 2, {0, 1000, 100, 3000, 0, 0, 0, 0, 0, 0}).bytes());
    ASSERT_TRUE(resampleWav(stereo, 22050));
    const std::vector<int16_t> out = samplesOf(stereo);
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 8),
              (std::vector<int16_t>{0, 1000, 50, 2000, 100, 3000, 50, 1500}));
    expectPeerReads(stereo, 22050, 2, 10);
}

TEST(ResampleWav, SincRuleAsWritten) {
    TempDir dir;
    const std::string path = dir.file("s.wav");
    // Halving lands on whole input positions, where only one tap counts.
    std::vector<int16_t> samples = {16384, 5, -16384, 5, 0, 5, 8192};
    samples.resize(21, 5);
    samples[20] = -8192;
    test::writeAll(path, pcm(16000, 1, samples).bytes());
    ASSERT_TRUE(resampleWav(path, 8000));
    // (x + 1) / 2 * 65535 - 32768, truncated toward 0: 16384 gives 16383,
    // -8192 stays, 5 gives 4, 0 stays 0;
    // 21 frames halved are 10.5, rounded to 11.
    EXPECT_EQ(samplesOf(path),
              (std::vector<int16_t>{16383, -16384, 0, 8191, 4, 4, 4, 4, 4, 4, -8192}));
    expectPeerReads(path, 8000, 1, 11);
}

TEST(ResampleWav, KeepsChannelsApartAndAToneItsPitch) {
    TempDir dir;
    const std::string levels = dir.file("levels.wav");
    std::vector<int16_t> samples;
    for (int i = 0; i < 1600; ++i) {
        samples.push_back(8000);
        samples.push_back(-8000);
    }
    test::writeAll(levels, pcm(16000, 2, samples).bytes());
    ASSERT_TRUE(resampleWav(levels, 22050));
    const std::vector<int16_t> out = samplesOf(levels);
    ASSERT_EQ(out.size(), 2u * 2205);
    // Away from the ends the two levels stay where they were.
    for (size_t frame = 100; frame < 2100; frame += 97) {
        EXPECT_NEAR(out[2 * frame], 8000, 400) << frame;
        EXPECT_NEAR(out[2 * frame + 1], -8000, 400) << frame;
    }

    const std::string tone = dir.file("tone.wav");
    test::writeTones(tone, 22050, 1, {{0.5, 440}});
    ASSERT_TRUE(resampleWav(tone, 16000));
    expectPeerReads(tone, 16000, 1, 8000);
    EXPECT_NEAR(test::frequency(test::readSound(tone), 0.05, 0.45), 440, 2);
}

TEST(ResampleWav, SameRateOrUnusableInputChangesNothing) {
    TempDir dir;
    const std::string path = dir.file("r.wav");
    const std::string original = pcm(16000, 1, std::vector<int16_t>(40, 3)).bytes();
    test::writeAll(path, original);
    EXPECT_TRUE(resampleWav(path, 16000));
    EXPECT_FALSE(resampleWav(path, 0));
    EXPECT_EQ(test::readAll(path), original);

    Image eightBit = pcm(16000, 1, std::vector<int16_t>(40, 3));
    eightBit.bits = 8;
    eightBit.block = 1;
    eightBit.avg = 16000;
    test::writeAll(path, eightBit.bytes());
    EXPECT_FALSE(resampleWav(path, 32000));
    EXPECT_EQ(test::readAll(path), eightBit.bytes());
    EXPECT_FALSE(resampleWav(dir.file("missing.wav"), 32000));
}

TEST(ReformatWav, DoublesMonoAndKeepsTheFirstChannelOfStereo) {
    TempDir dir;
    const std::string mono = dir.file("m.wav");
    test::writeAll(mono, pcm(16000, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}).bytes());
    // Only the channel count of the target counts; the rate stays.
    ASSERT_TRUE(reformatWav(mono, pcmFormat(44100, 2)));
    EXPECT_EQ(samplesOf(mono),
              (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10}));
    expectOwnHeader(mono);
    expectPeerReads(mono, 16000, 2, 10);

    ASSERT_TRUE(reformatWav(mono, pcmFormat(16000, 1)));
    EXPECT_EQ(samplesOf(mono), (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    expectPeerReads(mono, 16000, 1, 10);

    const std::string before = test::readAll(mono);
    EXPECT_TRUE(reformatWav(mono, pcmFormat(16000, 1)));
    EXPECT_FALSE(reformatWav(mono, pcmFormat(16000, 3)));
    EXPECT_EQ(test::readAll(mono), before);
}

TEST(SilenceBytes, ClampedToTenSecondsAndWholeFrames) {
    struct Case {
        WaveFormat format;
        uint32_t ms;
        uint32_t expected;
    };
    const std::vector<Case> cases = {
        {pcmFormat(16000, 1), 1, 32},          // 32000 bytes a second
        {pcmFormat(16000, 1), 20000, 320000},  // cut to 10 000 ms
        {pcmFormat(22050, 1), 10, 442},        // 441 is odd: raised by one
        {pcmFormat(22050, 2), 5, 444},         // 441 bytes: a whole frame more
        {pcmFormat(22050, 1), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(silenceBytes(c.format, c.ms), c.expected)
            << c.format.samplesPerSec << " Hz, " << c.format.channels << " ch, " << c.ms << " ms";
    }
}

TEST(AppendWav, BringsBothToTheHigherRateAndMoreChannels) {
    TempDir dir;
    const std::string first = dir.file("first.wav");
    const std::string second = dir.file("second.wav");
    test::writeTones(first, 16000, 2, {{0.5, 440}});
    test::writeTones(second, 22050, 1, {{0.25, 880}});

    ASSERT_TRUE(appendWav(first, second, 100));

    const uint64_t firstFrames = resampledFrameCount(8000, 16000, 22050);
    const uint64_t silenceFrames = 2205;
    const uint64_t secondFrames = 5513;
    expectPeerReads(second, 22050, 2, static_cast<int64_t>(secondFrames));
    expectPeerReads(first, 22050, 2,
                    static_cast<int64_t>(firstFrames + silenceFrames + secondFrames));
    expectOwnHeader(first);

    const test::Sound sound = test::readSound(first);
    const double silenceStart = static_cast<double>(firstFrames) / 22050;
    EXPECT_NEAR(test::frequency(sound, 0.05, silenceStart - 0.05), 440, 2);
    EXPECT_NEAR(test::frequency(sound, silenceStart + 0.15, sound.seconds() - 0.05), 880, 4);
    EXPECT_EQ(test::peak(sound, silenceStart + 0.005, silenceStart + 0.095), 0.0);
}

TEST(AppendWav, KeepsTheFirstHeaderWhenNothingNeedsConverting) {
    TempDir dir;
    const std::string first = dir.file("first.wav");
    const std::string second = dir.file("second.wav");
    Image a = pcm(16000, 1, std::vector<int16_t>(100, 5));
    a.between = chunk("fact", 4, 4);
    test::writeAll(first, a.bytes());
    test::writeAll(second, pcm(16000, 1, std::vector<int16_t>(50, 9)).bytes());

    ASSERT_TRUE(appendWav(first, second, 20000));
    WaveFormat format;
    EXPECT_EQ(readWavInfo(first, format), 200u + 320000u + 100u);
    const std::string bytes = test::readAll(first);
    EXPECT_EQ(bytes.substr(36, 4), "fact");
    uint32_t riffSize;
    std::memcpy(&riffSize, bytes.data() + 4, 4);
    EXPECT_EQ(riffSize, bytes.size() - 8);
    expectPeerReads(first, 16000, 1, 100 + 160000 + 50);
}

TEST(AppendWav, AFailureLeavesTheFirstFileAsItWas) {
    TempDir dir;
    const std::string first = dir.file("first.wav");
    const std::string original = pcm(16000, 1, std::vector<int16_t>(100, 5)).bytes();
    Image eightBit = pcm(16000, 1, std::vector<int16_t>(40, 3));
    eightBit.bits = 8;
    eightBit.block = 1;
    eightBit.avg = 16000;
    Image empty = pcm(16000, 1, std::vector<int16_t>(40, 3));
    empty.declared = 0;

    struct Case {
        const char* name;
        std::optional<std::string> second;
        bool readOnlyFirst;
    };
    const std::vector<Case> cases = {
        {"second missing", std::nullopt, false},
        {"second 8-bit", eightBit.bytes(), false},
        {"second empty", empty.bytes(), false},
        {"first read-only", pcm(16000, 1, std::vector<int16_t>(40, 3)).bytes(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeAll(first, original);
        chmod(first.c_str(), c.readOnlyFirst ? 0444 : 0644);
        const std::string second = dir.file(std::string(c.name) + ".wav");
        if (c.second) {
            test::writeAll(second, *c.second);
        }
        EXPECT_FALSE(appendWav(first, second, 100));
        EXPECT_EQ(test::readAll(first), original);
        chmod(first.c_str(), 0644);
    }
}

}  // namespace
}  // namespace pw
