// replaceText over 1 000 typical sentences with a 100 000-entry word
// dictionary and 50 pattern rules; each stage alone, and the rules without
// their time budget. Items are sentences: read the time per sentence from
// the items-per-second column (or the "per_sentence" counter).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/HeadlessUi.h"
#include "core/Utf.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/DictionaryWindow.h"
#include "dictionary/RegexDictionaryData.h"

namespace pw {
namespace {

const char* const kWords[] = {
    "the",    "a",      "I",         "you",    "she",     "we",       "they",  "is",
    "was",    "have",   "would",     "like",   "to",      "go",       "the",   "station",
    "please", "could",  "tell",      "me",     "where",   "Mr.",      "Smith", "lives",
    "today",  "at",     "10:00",     "e.g.",   "because", "weather",  "nice",  "after",
    "school", "3",      "km",        "1,500",  "dollars", "東京",     "に",    "行きます",
    "漢字",   "colour", "favourite", "didn't", "can't",   "New York", "and",   "or",
    "very",   "much",   "!",         "?",      "every",   "morning",  "train", "book",
};

std::vector<std::u16string> sentences() {
    std::mt19937 random(7);
    std::vector<std::u16string> result;
    for (int i = 0; i < 1000; ++i) {
        std::string sentence;
        const int words = 6 + static_cast<int>(random() % 12);
        for (int w = 0; w < words; ++w) {
            if (w) {
                sentence += ' ';
            }
            sentence += kWords[random() % std::size(kWords)];
        }
        sentence += '.';
        result.push_back(fromUtf8(sentence));
    }
    return result;
}

std::unique_ptr<DictionaryData> wordDictionary() {
    std::mt19937 random(11);
    auto dictionary = std::make_unique<DictionaryData>();
    std::u16string key;
    while (dictionary->size() < 100000) {
        // Mostly word-like keys of 3 to 14 letters, with some phrases and
        // Japanese; the values are as long as readings tend to be.
        key.clear();
        const int length = 3 + static_cast<int>(random() % 12);
        const bool japanese = random() % 10 == 0;
        for (int i = 0; i < length; ++i) {
            key += japanese ? static_cast<char16_t>(0x4E00 + random() % 2000)
                            : static_cast<char16_t>(u'a' + random() % 26);
        }
        if (random() % 8 == 0) {
            key += u" of";
        }
        dictionary->set(key, key + u"-reading", -1);
    }
    for (const char16_t* key : {u"Mr.", u"e.g.", u"New York", u"東京", u"colour"}) {
        dictionary->set(key, std::u16string(key) + u" said", -1);
    }
    dictionary->reset();
    return dictionary;
}

std::unique_ptr<RegexDictionaryData> patternDictionary() {
    auto dictionary = std::make_unique<RegexDictionaryData>();
    const std::pair<const char16_t*, const char16_t*> rules[] = {
        {u"\\b(\\d{1,2}):00\\b", u"$1 o'clock"},
        {u"(\\d),(\\d{3})", u"$1$2"},
        {u"(\\d+)\\s*km\\b", u"$1 kilometres"},
        {u"\\s{2,}", u" "},
        {u"[!?]{2,}", u"!"},
        {u"\\bcan't\\b", u"cannot"},
        {u"\\bdidn't\\b", u"did not"},
        {u"(?i)\\bmr\\.", u"Mister"},
        {u"([一-龯々]+)[（(]([ぁ-ゖ]+)[）)]", u"$2"},
        {u"\\b(\\w+) \\1\\b", u"$1"},
    };
    for (const auto& [pattern, replacement] : rules) {
        dictionary->set(pattern, replacement, -1);
    }
    // Forty more rules of the same kind that rarely match.
    for (int i = 0; i < 40; ++i) {
        const std::u16string n = fromUtf8(std::to_string(i));
        dictionary->set(u"\\bword" + n + u"(s?)\\b", u"term" + n + u"$1", -1);
    }
    dictionary->reset();
    return dictionary;
}

void runSentences(benchmark::State& state, std::unique_ptr<BaseDictionaryData> words,
                  std::unique_ptr<BaseDictionaryData> patterns) {
    DictionaryList& wordList = DictionaryWindow::wordDictionaries();
    DictionaryList& patternList = DictionaryWindow::patternDictionaries();
    wordList.clear();
    patternList.clear();
    if (words) {
        wordList.append(std::move(words));
    }
    if (patterns) {
        patternList.append(std::move(patterns));
    }
    const std::vector<std::u16string> texts = sentences();
    std::u16string text;
    for (auto _ : state) {
        for (const std::u16string& sentence : texts) {
            text = sentence;
            DictionaryWindow::replaceText(text);
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
    state.counters["per_sentence"] =
        benchmark::Counter(static_cast<double>(state.iterations() * texts.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    wordList.clear();
    patternList.clear();
}

void BM_ReplaceText(benchmark::State& state) {
    runSentences(state, wordDictionary(), patternDictionary());
}

void BM_WordsOnly(benchmark::State& state) {
    runSentences(state, wordDictionary(), nullptr);
}

void BM_PatternsOnly(benchmark::State& state) {
    runSentences(state, nullptr, patternDictionary());
}

void BM_PatternsWithoutBudget(benchmark::State& state) {
    const auto budget = RegexDictionaryData::ruleTimeBudget();
    RegexDictionaryData::setRuleTimeBudget(std::chrono::milliseconds(0));
    runSentences(state, nullptr, patternDictionary());
    RegexDictionaryData::setRuleTimeBudget(budget);
}

// The first call compiles the 50 rules (with JIT).
void BM_FirstCallCompilesTheRules(benchmark::State& state) {
    std::u16string text;
    for (auto _ : state) {
        state.PauseTiming();
        auto dictionary = patternDictionary();
        text = u"A sentence of ordinary length, at 10:00.";
        state.ResumeTiming();
        dictionary->replace(text);
    }
}

// Keeps the error box of the runaway rule off the terminal.
class QuietUi : public HeadlessUi {
public:
    int messageBox(const std::u16string&, const std::u16string&, unsigned) override { return IdOk; }
};

// How long a runaway rule holds the speaker up on 20 KB of text: one long
// run of "a" (the engine's match limit ends it) and many short runs (only
// the time budget does).
void BM_RunawayRule(benchmark::State& state) {
    auto previous = installUi(std::make_unique<QuietUi>());
    std::u16string body;
    if (state.range(0) == 0) {
        body = std::u16string(20000, u'a') + u"b";
    } else {
        while (body.size() < 20000) {
            body += std::u16string(18, u'a') + u"b";
        }
    }
    RegexDictionaryData dictionary;
    dictionary.set(u"(a+)+$", u"!", -1);
    std::u16string text;
    for (auto _ : state) {
        text = body;
        dictionary.replace(text);
    }
    installUi(std::move(previous));
}

BENCHMARK(BM_ReplaceText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternsWithoutBudget)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstCallCompilesTheRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunawayRule)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
