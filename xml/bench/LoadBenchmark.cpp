// Loading a large learning file: our reader against pugixml on the same file,
// with the heap peak of each (a counting allocator) and the process's RSS.
// max_rss_MB is the whole process's, so compare it one benchmark at a time:
//   build/bench/xml_load_benchmark --benchmark_filter=BM_PugixmlLoadFile
// Our reader reads a file this large in two parts at once: compare the Time
// column, the wall clock; CPU counts the main thread only. BM_XMLParserLoadOneThread
// reads it in one part, for machines whose second core is not really free.
// Where other work shares the machine, its speed changes from one second to the
// next: add --benchmark_repetitions=30 --benchmark_enable_random_interleaving=true
// so that the repetitions of each benchmark take turns with the others'.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "xml/ParallelLoad.h"
#include "xml/TextFile.h"
#include "xml/XMLParser.h"

namespace {

// ---- Heap accounting, switched on for one untimed pass of each benchmark:
// every block carries its size in a header. Atomic: a large file is read by
// two threads.
std::atomic<bool> g_counting = false;
std::atomic<long long> g_current = 0;
std::atomic<long long> g_peak = 0;
constexpr size_t kHeader = 16;

void countAllocated(size_t size) {
    const long long now = g_current += static_cast<long long>(size);
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

[[gnu::noinline]] void* countedAlloc(size_t size) {
    auto* block = static_cast<char*>(std::malloc(size + kHeader));
    if (!block) {
        return nullptr;
    }
    std::memcpy(block, &size, sizeof size);
    if (g_counting) {
        countAllocated(size);
    }
    return block + kHeader;
}

[[gnu::noinline]] void countedFree(void* p) {
    if (!p) {
        return;
    }
    char* block = static_cast<char*>(p) - kHeader;
    if (g_counting) {
        size_t size;
        std::memcpy(&size, block, sizeof size);
        g_current -= static_cast<long long>(size);
    }
    std::free(block);
}

}  // namespace

void* operator new(size_t size) {
    if (void* p = countedAlloc(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    countedFree(p);
}
void operator delete[](void* p) noexcept {
    countedFree(p);
}
void operator delete(void* p, size_t) noexcept {
    countedFree(p);
}
void operator delete[](void* p, size_t) noexcept {
    countedFree(p);
}

// Over-aligned blocks (the slabs of the element pool) keep their header just
// before the aligned address.
void* operator new(size_t size, std::align_val_t alignment) {
    const size_t align = std::max(static_cast<size_t>(alignment), kHeader);
    auto* block =
        static_cast<char*>(std::aligned_alloc(align, (size + 2 * align - 1) / align * align));
    if (!block) {
        throw std::bad_alloc();
    }
    char* p = block + align;
    std::memcpy(p - kHeader, &size, sizeof size);
    if (g_counting) {
        countAllocated(size);
    }
    return p;
}
void operator delete(void* p, std::align_val_t alignment) noexcept {
    if (!p) {
        return;
    }
    const size_t align = std::max(static_cast<size_t>(alignment), kHeader);
    size_t size;
    std::memcpy(&size, static_cast<char*>(p) - kHeader, sizeof size);
    if (g_counting) {
        g_current -= static_cast<long long>(size);
    }
    std::free(static_cast<char*>(p) - align);
}
void operator delete(void* p, size_t, std::align_val_t alignment) noexcept {
    operator delete(p, alignment);
}

namespace {

constexpr int kRecords = 30000;

// A learning file of kRecords sentence records, about 10 MB of UTF-8 with
// English sentences, Japanese translations and marked-up explanations.
const std::string& learningFile() {
    static const std::string path = [] {
        // PW_BENCH_FILE keeps the generated file there, to look at or time by hand.
        const char* keep = std::getenv("PW_BENCH_FILE");
        const std::string file = keep ? std::string(keep)
                                      : (std::filesystem::temp_directory_path() /
                                         ("pw-bench-" + std::to_string(getpid()) + ".xml"))
                                            .string();
        static const char* const kWords[] = {"practice", "sentence", "morning", "quickly",
                                             "remember", "station",  "weather", "together",
                                             "because",  "tomorrow", "library", "kitchen"};
        static const char* const kJapanese[] = {"練習",     "文章", "朝",     "早く",
                                                "覚える",   "駅",   "天気",   "一緒に",
                                                "なぜなら", "明日", "図書館", "台所"};
        unsigned seed = 12345;
        auto next = [&seed] {
            seed = seed * 214013 + 2531011;
            return (seed >> 16) & 0x7FFF;
        };
        std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SentenceList>\r\n";
        out += "\t<title><![CDATA[Generated list]]></title>\r\n";
        for (int r = 0; r < kRecords; ++r) {
            std::string sentence, translation, explanation;
            for (int w = 0; w < 8; ++w) {
                sentence += (w ? " " : "") + std::string(kWords[next() % 12]);
            }
            for (int w = 0; w < 6; ++w) {
                translation += kJapanese[next() % 12];
            }
            explanation = "<b>" + std::string(kWords[next() % 12]) + "</b> は「" +
                          kJapanese[next() % 12] + "」の意味です。 &amp; " + kWords[next() % 12] +
                          " " + kWords[next() % 12] + ".";
            out += "\t<SentenceGroup check1=\"" + std::to_string(next() % 2) + "\" score=\"" +
                   std::to_string(next() % 101) + "\" trial=\"" + std::to_string(next() % 9) +
                   "\">\r\n\t\t<sentence><![CDATA[" + sentence +
                   ".]]></sentence>\r\n\t\t<translation><![CDATA[" + translation +
                   "。]]></translation>\r\n\t\t<explanation><![CDATA[" + explanation +
                   "]]></explanation>\r\n\t</SentenceGroup>\r\n";
        }
        out += "</SentenceList>\r\n";
        std::ofstream(file, std::ios::binary) << out;
        if (!keep) {
            std::atexit([] { std::filesystem::remove(learningFile()); });
        }
        return file;
    }();
    return path;
}

// The heap peak of one run of work (what it frees again included), in MB.
template <typename Work>
double heapPeakOf(Work work) {
    g_current = 0;
    g_peak = 0;
    g_counting = true;
    work();
    g_counting = false;
    return static_cast<double>(g_peak.load()) / 1048576.0;
}

void reportMemory(benchmark::State& state, double peak) {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.counters["heap_peak_MB"] = peak;
    state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(learningFile())) / 1048576.0;
}

// Times loading only: each document is destroyed with the timer stopped.
template <typename Document, typename Load>
void timeLoads(benchmark::State& state, Load load) {
    // Measured once, on the first run: the element pool keeps its memory for
    // later documents, and the runs that follow would not see it allocated.
    static const double peak = heapPeakOf([&] {
        Document doc;
        load(doc);
    });
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        if (!load(*doc)) {
            state.SkipWithError("the file did not load");
            return;
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    reportMemory(state, peak);
}

void BM_XMLParserLoad(benchmark::State& state) {
    timeLoads<pw::XMLParser>(state, [](pw::XMLParser& doc) {
        return doc.load(learningFile()) && doc.elements(u"SentenceGroup").size() == kRecords;
    });
}
BENCHMARK(BM_XMLParserLoad)->Unit(benchmark::kMillisecond);

// The same load read by one thread: what the file costs where the second
// core is busy, or where two virtual processors share one physical core.
void BM_XMLParserLoadOneThread(benchmark::State& state) {
    const size_t minimumSize = pw::xml::parallelLoad().minimumSize;
    pw::xml::parallelLoad().minimumSize = std::numeric_limits<size_t>::max();
    BM_XMLParserLoad(state);
    pw::xml::parallelLoad().minimumSize = minimumSize;
}
BENCHMARK(BM_XMLParserLoadOneThread)->Unit(benchmark::kMillisecond);

void BM_PugixmlLoadFile(benchmark::State& state) {
    pugi::set_memory_management_functions(countedAlloc, countedFree);
    timeLoads<pugi::xml_document>(state, [](pugi::xml_document& doc) {
        return doc.load_file(learningFile().c_str()) &&
               doc.child("SentenceList").child("SentenceGroup");
    });
}
BENCHMARK(BM_PugixmlLoadFile)->Unit(benchmark::kMillisecond);

// The parts of our load, to see where the time goes.
void BM_ReadTextFile(benchmark::State& state) {
    for (auto _ : state) {
        std::u16string text;
        benchmark::DoNotOptimize(pw::readTextFile(learningFile(), text));
    }
}
BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond);

void BM_ParseString(benchmark::State& state) {
    std::u16string text;
    pw::readTextFile(learningFile(), text);
    timeLoads<pw::XMLParser>(state, [&text](pw::XMLParser& doc) { return doc.parseString(text); });
}
BENCHMARK(BM_ParseString)->Unit(benchmark::kMillisecond);

void BM_SaveAs(benchmark::State& state) {
    pw::XMLParser doc;
    doc.load(learningFile());
    const std::string out = learningFile() + ".saved";
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.saveAs(out));
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_SaveAs)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
