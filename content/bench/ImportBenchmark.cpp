// Importing 100 000 sentence pairs in the corpora's form (id, sentence, id,
// translation) into a learning file, and opening that file as the program
// opens any learning file:
//   build/bench/content_import_benchmark
#include <unistd.h>

#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "content/SentenceImport.h"
#include "content/SentenceListModel.h"
#include "core/testsupport/TestFiles.h"

namespace {

constexpr int kPairs = 100000;

std::string scratch(const char* name) {
    return "/tmp/pw_import_bench_" + std::to_string(getpid()) + name;
}

const std::string& pairsFile() {
    static const std::string path = [] {
        std::string tsv;
        for (int i = 0; i < kPairs; ++i) {
            const std::string n = std::to_string(i);
            tsv += n + "\tSentence number " + n + " is a little longer than a word or two.\t" +
                   std::to_string(i + 500000) + "\tDer Satz Nummer " + n +
                   " ist etwas länger als ein, zwei Wörter.\n";
        }
        std::string file = scratch(".tsv");
        pw::test::writeAll(file, tsv);
        return file;
    }();
    return path;
}

void BM_ImportPairs(benchmark::State& state) {
    const std::string out = scratch(".xml");
    for (auto _ : state) {
        pw::SentenceImport import;
        if (!import.loadSource(pairsFile())) {
            state.SkipWithError("the pairs did not load");
            return;
        }
        const pw::ImportOutcome outcome = import.write(out);
        if (outcome.status != pw::kImportComplete || outcome.sentences != kPairs) {
            state.SkipWithError("the import did not complete");
            return;
        }
    }
    state.counters["pairs"] = kPairs;
}

void BM_OpenImportedFile(benchmark::State& state) {
    const std::string out = scratch(".xml");
    pw::SentenceImport import;
    if (!import.loadSource(pairsFile()) || import.write(out).status != pw::kImportComplete) {
        state.SkipWithError("the import did not complete");
        return;
    }
    for (auto _ : state) {
        pw::SentenceListModel list;
        if (!list.open(out) || list.recordCount() != kPairs) {
            state.SkipWithError("the imported file did not open");
            return;
        }
    }
    state.counters["records"] = kPairs;
}

BENCHMARK(BM_ImportPairs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenImportedFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(pairsFile().c_str());
    std::remove(scratch(".xml").c_str());
    return 0;
}
