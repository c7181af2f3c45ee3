// What the output is fed through: the ring between the feeder and the
// device's callback, and the tempo filter that slows speech down.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "audio/AudioVoice.h"
#include "audio/TempoFilter.h"
#include "audio/tests/AudioTestSupport.h"

namespace pw {
namespace {

// Frame i of the test carries i in both channels.
std::vector<float> numbered(uint64_t first, size_t n) {
    std::vector<float> frames(n * 2);
    for (size_t i = 0; i < n; ++i) {
        frames[2 * i] = frames[2 * i + 1] = static_cast<float>(first + i);
    }
    return frames;
}

TEST(FrameRing, FramesComeOutInOrderAcrossTheWrapAndSkipsDropThem) {
    FrameRing ring(100);  // rounded up to 128
    EXPECT_EQ(ring.capacity(), 128u);
    uint64_t written = 0;
    uint64_t expected = 0;
    std::vector<float> out(2 * 128);
    // Pieces of odd sizes wrap around the end many times over.
    for (int round = 0; round < 40; ++round) {
        const size_t n = std::min<size_t>(ring.space(), 37 + round % 5);
        ring.write(numbered(written, n).data(), n);
        written += n;
        EXPECT_EQ(ring.space(), ring.capacity() - (written - expected));
        const size_t got = ring.read(out.data(), 29);
        for (size_t i = 0; i < got; ++i, ++expected) {
            ASSERT_EQ(out[2 * i], static_cast<float>(expected));
            ASSERT_EQ(out[2 * i + 1], static_cast<float>(expected));
        }
    }
    // A skip goes no further than what was written.
    ring.skipTo(written + 50);
    EXPECT_EQ(ring.readPosition(), written);
    EXPECT_EQ(ring.available(), 0u);
    ring.write(numbered(written, 10).data(), 10);
    ring.skipTo(written + 4);
    ASSERT_EQ(ring.read(out.data(), 128), 6u);
    EXPECT_EQ(out[0], static_cast<float>(written + 4));
}

TEST(TempoFilter, SlowerSoundKeepsItsPitchAndTheLengthItsInputAccountsFor) {
    const int rate = 22050;
    const std::vector<int16_t> pcm = test::sinePcm(rate, 1, 1.0, 220);
    for (double tempo : {0.625, 0.8, 1.25}) {
        SCOPED_TRACE(tempo);
        TempoFilter filter(rate, 1);
        filter.configure(tempo);
        test::Sound sound;
        sound.rate = rate;
        sound.channels = 1;
        std::vector<float> piece(1000);
        std::vector<float> out(4096);
        const auto takeAll = [&] {
            while (const size_t n = filter.take(out.data(), out.size())) {
                sound.mono.insert(sound.mono.end(), out.begin(), out.begin() + n);
            }
        };
        for (size_t at = 0; at < pcm.size(); at += piece.size()) {
            const size_t n = std::min(piece.size(), pcm.size() - at);
            for (size_t i = 0; i < n; ++i) {
                piece[i] = pcm[at + i] / 32768.0f;
            }
            filter.put(piece.data(), n);
            takeAll();
        }
        filter.flush();
        takeAll();
        EXPECT_EQ(static_cast<double>(sound.mono.size()), std::round(pcm.size() / tempo));
        EXPECT_NEAR(test::frequency(sound, 0.2, sound.seconds() - 0.2), 220, 220 * 0.02);
    }
}

}  // namespace
}  // namespace pw
