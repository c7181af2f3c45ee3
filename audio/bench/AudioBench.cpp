// Decoding with tempo change, segment cutting, and the delay from play() to
// the first sample handed to the device.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/AudioEngine.h"
#include "audio/AudioVoice.h"
#include "audio/BassPlayer.h"
#include "audio/TempoStream.h"
#include "audio/tests/AudioTestSupport.h"

namespace pw {
namespace {

constexpr double kSeconds = 60.0;

// A minute of 44.1 kHz stereo MP3, tones changing every half second.
const std::string& minuteMp3() {
    static const std::string path = [] {
        std::string file = "/tmp/pw-bench-minute.mp3";
        std::vector<test::Tone> tones;
        for (int i = 0; i < kSeconds * 2; ++i) {
            tones.push_back({0.5, 220.0 + 40 * (i % 9), 0.4});
        }
        test::writeTones(file, 44100, 2, tones);
        return file;
    }();
    return path;
}

int64_t nowNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_DecodeAndTempo150(benchmark::State& state) {
    const std::string& mp3 = minuteMp3();
    std::vector<float> piece(4096 * 2);
    for (auto _ : state) {
        TempoStream stream;
        stream.open(mp3);
        stream.setTempo(1.5);
        bool ended = false;
        size_t frames = 0;
        while (!ended) {
            frames += stream.read(piece.data(), 4096, ended);
        }
        benchmark::DoNotOptimize(frames);
    }
    // Seconds of recording handled per second of work: times real time.
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeAndTempo150)->Unit(benchmark::kMillisecond);

// Five seconds from the middle; arguments: speed, sample rate.
void BM_SaveSegmentAsWav(benchmark::State& state) {
    BassPlayer player;
    player.open(minuteMp3());
    player.setSpeed(static_cast<int>(state.range(0)));
    player.setSampleRate(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            player.saveSegmentAsWav(30000, 35000, "/tmp/pw-bench-segment.wav"));
    }
}
BENCHMARK(BM_SaveSegmentAsWav)
    ->Args({100, 0})
    ->Args({150, 0})
    ->Args({100, 16000})
    ->Unit(benchmark::kMillisecond);

// Delay from play() to the first sample handed to the device; with
// argument 1 the output has been stopped as idle before each play().
void BM_PlayToFirstSample(benchmark::State& state) {
    AudioEngine& engine = AudioEngine::instance();
    if (!engine.initialize()) {
        state.SkipWithError("no output device (see scripts/pulse-server.sh)");
        return;
    }
    const bool idle = state.range(0) == 1;
    engine.setIdleStopMs(idle ? 100 : 2000);
    const std::string wav = "/tmp/pw-bench-tone.wav";
    test::writeTones(wav, 44100, 2, {{0.2, 440, 0.1}});
    BassPlayer player;
    player.open(wav);
    player.setVolume(0);
    player.play();
    for (auto _ : state) {
        player.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(idle ? 600 : 20));
        const int64_t start = nowNanos();
        player.play();
        while (player.voice()->firstMixNanos() == 0) {
            std::this_thread::yield();
        }
        state.SetIterationTime(static_cast<double>(player.voice()->firstMixNanos() - start) / 1e9);
    }
    player.stop();
    engine.setIdleStopMs(2000);
}
BENCHMARK(BM_PlayToFirstSample)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
