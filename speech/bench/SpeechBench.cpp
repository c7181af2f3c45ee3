// How soon speech is heard, and how fast it is synthesised. The first needs
// an output device (on a machine without one, see scripts/pulse-server.sh).
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "audio/AudioEngine.h"
#include "audio/PcmOutputStream.h"
#include "audio/WavFile.h"
#include "core/Utf.h"
#include "speech/ChoiceList.h"
#include "speech/EspeakSapi.h"

namespace pw {
namespace {

using Clock = std::chrono::steady_clock;

const std::u16string kSentence = u"Could you tell me the way to the station, please?";

bool prepare(EspeakSapi& voice, benchmark::State& state) {
    MemoryChoiceList voices;
    if (!voice.createWindow()) {
        state.SkipWithError("espeak-ng could not be started");
        return false;
    }
    voice.enumEnginNamesToComboBox(voices);
    voice.changeVoice(voices);
    return true;
}

// From speak() to the first samples taken by the output device.
void BM_SpeakToFirstSampleHeard(benchmark::State& state) {
    if (!AudioEngine::instance().initialize()) {
        state.SkipWithError("no output device");
        return;
    }
    EspeakSapi voice;
    if (!prepare(voice, state)) {
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        voice.speak(kSentence, Sapi::kSpeakNoEventTimer);
        const PcmOutputStream* stream = voice.outputStream();
        while (stream && stream->writtenFrames() - stream->queuedFrames() == 0) {
            std::this_thread::yield();
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        voice.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
BENCHMARK(BM_SpeakToFirstSampleHeard)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// A paragraph into a 22 kHz mono file: seconds of speech per second of work.
void BM_SynthesisSpeed(benchmark::State& state) {
    EspeakSapi voice;
    if (!prepare(voice, state)) {
        return;
    }
    std::u16string text;
    for (int i = 0; i < 10; ++i) {
        text += kSentence + u" ";
    }
    const std::string path = "/tmp/pw_speech_bench.wav";
    double spoken = 0;
    double worked = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        voice.speakToWav(fromUtf8(path), text, false);
        while (voice.isSpeaking()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        worked += std::chrono::duration<double>(Clock::now() - start).count();
        voice.stop();
        WaveFormat format;
        spoken += static_cast<double>(readWavInfo(path, format)) / format.avgBytesPerSec;
    }
    state.counters["x_real_time"] = spoken / worked;
    state.counters["speech_s"] = spoken / static_cast<double>(state.iterations());
    std::remove(path.c_str());
}
BENCHMARK(BM_SynthesisSpeed)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
