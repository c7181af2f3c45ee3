// Fifty sentence pairs into fifty MP3 files (translation, a second of
// silence, sentence), twice in one run: by the shell pipeline a learner would
// otherwise write (espeak-ng -w for each piece, sox to join them with the
// silence, lame), and by "phrasewright --export". Each runs once; the figure
// is its wall-clock time.
//
//   build/bench/export_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

constexpr int kPairs = 50;

struct Pair {
    std::string sentence;
    std::string translation;
};

const std::vector<Pair>& pairs() {
    static const std::vector<Pair> all = [] {
        const char* subjects[] = {"My brother", "The teacher", "Our neighbour", "That old man",
                                  "Every student"};
        const char* actions[] = {
            "walks to the station", "reads the newspaper",  "cooks dinner for the family",
            "waits for the bus",    "writes a long letter", "plays the piano",
            "cleans the kitchen",   "visits the museum",    "buys fresh bread",
            "calls a friend"};
        const char* times[] = {"every morning", "on Sundays", "after work", "before breakfast",
                               "in the evening"};
        std::vector<Pair> list;
        for (int i = 0; i < kPairs; ++i) {
            const std::string who = subjects[i % 5];
            const std::string what = actions[i % 10];
            const std::string when = times[(i / 10) % 5];
            list.push_back({who + " " + what + " " + when + ".",
                            "Someone " + what + ", " + when + ", as a habit."});
        }
        return list;
    }();
    return all;
}

// The folder of the program, beside this benchmark's folder.
std::string programFolder() {
    return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin").string();
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

void run(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
    }
}

void BM_ShellPipeline(benchmark::State& state) {
    test::TempDir dir;
    std::string script =
        "set -e\ncd " + quoted(dir.path()) + "\nsox -n -r 22050 -c 1 silence.wav trim 0 1\n";
    for (size_t i = 0; i < pairs().size(); ++i) {
        const std::string n = std::to_string(i + 1);
        script += "espeak-ng -v en-us -w t.wav " + quoted(pairs()[i].translation) + "\n";
        script += "espeak-ng -v en-us -w s.wav " + quoted(pairs()[i].sentence) + "\n";
        script += "sox t.wav silence.wav s.wav joined.wav\n";
        script +=
            "lame --quiet --alt-preset cbr 128 joined.wav " + quoted(n + " lesson.mp3") + "\n";
    }
    test::writeAll(dir.file("convert.sh"), script);
    run(state, "bash " + quoted(dir.file("convert.sh")));
}

void BM_PhrasewrightExport(benchmark::State& state) {
    test::TempDir dir;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SentenceList>\n";
    for (const Pair& pair : pairs()) {
        xml += "<SentenceGroup><sentence><![CDATA[" + pair.sentence +
               "]]></sentence><translation><![CDATA[" + pair.translation +
               "]]></translation></SentenceGroup>\n";
    }
    test::writeAll(dir.file("lesson.xml"), xml + "</SentenceList>\n");
    run(state, quoted(programFolder() + "/phrasewright") + " --export " +
                   quoted(dir.file("lesson.xml")) + " --out " + quoted(dir.file("out")) +
                   " > /dev/null");
}

BENCHMARK(BM_ShellPipeline)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PhrasewrightExport)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
