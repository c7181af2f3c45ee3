// Fuzz target: the word and pattern dictionaries on arbitrary entries and text.
// The input is UTF-8: the first line is the text, each further line an entry
// "VALUE<TAB>KEY" (for patterns "REPLACEMENT<TAB>PATTERN"). Replacing every
// key by itself, or every match by "$0", must leave the text as it was.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/HeadlessUi.h"
#include "core/Utf.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/RegexDictionaryData.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Rule errors are expected here; keep them off the output.
class QuietUi : public pw::HeadlessUi {
public:
    int messageBox(const std::u16string&, const std::u16string&, unsigned) override {
        return pw::IdOk;
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pw::installUi(std::make_unique<QuietUi>());
    pw::RegexDictionaryData::setRuleTimeBudget(std::chrono::milliseconds(50));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string input =
        pw::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const size_t firstLineEnd = std::min(input.find(u'\n'), input.size());
    const std::u16string text = input.substr(0, firstLineEnd);

    pw::DictionaryData words;
    pw::DictionaryData sameWords;
    pw::RegexDictionaryData patterns;
    size_t start = firstLineEnd + 1;
    while (start < input.size()) {
        const size_t end = std::min(input.find(u'\n', start), input.size());
        const std::u16string line = input.substr(start, end - start);
        const size_t tab = line.find(u'\t');
        const std::u16string value = line.substr(0, std::min(tab, line.size()));
        const std::u16string key = tab == std::u16string::npos ? value : line.substr(tab + 1);
        words.set(key, value, -1);
        sameWords.set(key, key, -1);
        patterns.set(key, value, static_cast<int>(start % 2) - 1);
        start = end + 1;
    }
    words.setIgnoreCase(size % 2 == 1);
    sameWords.setIgnoreCase(size % 2 == 1);
    patterns.setIgnoreCase(size % 3 == 1);

    std::u16string changed = text;
    words.replace(changed);
    patterns.replace(changed);

    std::u16string same = text;
    sameWords.replace(same);
    check(same == text || sameWords.ignoreCase());

    for (const pw::RegexRule& rule : patterns.rules()) {
        pw::RegexDictionaryData identity;
        identity.set(rule.pattern, u"$0", -1);
        identity.setIgnoreCase(patterns.ignoreCase());
        std::u16string copy = text;
        identity.replace(copy);
        check(copy == text);
    }
    return 0;
}
