// Opening a generated 30 000-record learning file into the sentence list:
// the open alone (what the table needs, as it draws rows on demand), and the
// open with every cell of every row read once (the worst a table could ask).
// Counters: heap_MB is the heap the open list holds, max_rss_MB the process's
// peak; run one benchmark at a time to compare peaks:
//   build/bench/content_open_benchmark --benchmark_filter=BM_OpenList$
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include <benchmark/benchmark.h>

#include "content/SentenceListModel.h"
#include "content/tests/GeneratedList.h"
#include "core/testsupport/TestFiles.h"

namespace {

constexpr int kRecords = 30000;

const std::string& learningFile() {
    static const std::string path = [] {
        std::string file = "/tmp/pw_content_bench_" + std::to_string(getpid()) + ".xml";
        pw::test::writeAll(file, pw::test::generatedLearningFile(kRecords));
        return file;
    }();
    return path;
}

double heapMegabytes() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

void reportMemory(benchmark::State& state, double heapBefore, double heapWithList) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["heap_MB"] = heapWithList - heapBefore;
    state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void open(benchmark::State& state, bool readEveryCell) {
    const std::string& path = learningFile();
    double heapBefore = 0;
    double heapWithList = 0;
    for (auto _ : state) {
        heapBefore = heapMegabytes();
        pw::SentenceListModel list;
        if (!list.open(path) || list.recordCount() != kRecords) {
            state.SkipWithError("the generated file did not open");
            return;
        }
        if (readEveryCell) {
            size_t characters = 0;
            for (int i = 0; i < list.recordCount(); ++i) {
                for (int c = 0; c < pw::SentenceListModel::kColumnCount; ++c) {
                    characters += list.cellText(i, c).size();
                }
            }
            benchmark::DoNotOptimize(characters);
        }
        heapWithList = heapMegabytes();
    }
    reportMemory(state, heapBefore, heapWithList);
    state.counters["records"] = kRecords;
}

void BM_OpenList(benchmark::State& state) {
    open(state, false);
}
void BM_OpenListAndReadEveryCell(benchmark::State& state) {
    open(state, true);
}

BENCHMARK(BM_OpenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenListAndReadEveryCell)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(learningFile().c_str());
    return 0;
}
