// The practice logic's own share of a key press: typeChar with everything it
// updates, then the view state the painter reads. Sentences of growing
// length, wrapped as the drawn view wraps them.
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "core/ProfileSettings.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "practice/CharacterClasses.h"
#include "practice/PracticeSession.h"
#include "practice/bench/LongSentence.h"

namespace pw {
namespace {

class SilentSpeaker : public IPracticeSpeaker {
public:
    void speakSentence(const std::u16string&) override {}
    void speakTranslation(const std::u16string&) override {}
    void speakWord(const std::u16string&) override {}
    bool playRecording(const std::string&, int, int) override { return false; }
    void stop() override {}
    void togglePause() override {}
    bool isSpeaking() const override { return false; }
};

class QuietKeys : public KeySound {
public:
    void play() override {}
};

void BM_KeyPress(benchmark::State& state) {
    test::TempDir dir;
    ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
    const std::u16string sentence = bench::longSentence(static_cast<size_t>(state.range(0)));
    const std::string list = dir.file("long.xml");
    test::writeAll(list, "<SentenceList><SentenceGroup><sentence><![CDATA[" + toUtf8(sentence) +
                             "]]></sentence><translation><![CDATA[長い文]]></translation>"
                             "<explanation><![CDATA[<b>note</b>]]></explanation>"
                             "</SentenceGroup></SentenceList>");
    SilentSpeaker speaker;
    QuietKeys keys;
    PracticeSetup setup;
    setup.keySound = &keys;
    setup.logPath = dir.file("Log.xml");
    setup.themePath = dir.file("ThemeList.xml");
    PracticeSession session(speaker, setup);
    session.create();
    const FixedWidthMeasurer font(9, 20);
    session.setFonts(font, font);
    session.setPaneSize(1200, 800);
    session.openFile(fromUtf8(list));

    const auto start = [&] {
        session.run().setState(PracticeState::Stop);
        session.startRun(RunKind::AllRows);
    };
    start();
    size_t keysTyped = 0;
    for (auto _ : state) {
        if (session.state() != PracticeState::Typing) {
            state.PauseTiming();
            start();
            state.ResumeTiming();
        }
        // The key the learner would type next, or a miss every 16th key.
        char16_t key = session.sentence().expected();
        if (keysTyped % 16 == 15 || !typing::isWordChar(key)) {
            key = u'q';
        }
        session.onChar(key);
        benchmark::DoNotOptimize(session.view().sentenceLines.data());
        ++keysTyped;
    }
    state.SetItemsProcessed(static_cast<int64_t>(keysTyped));
}
BENCHMARK(BM_KeyPress)->Arg(80)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
