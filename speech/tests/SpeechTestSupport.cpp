// Helpers for the speech tests.
#include "speech/tests/SpeechTestSupport.h"

#include <cstdlib>

#include "audio/tests/AudioTestSupport.h"

namespace pw::test {
namespace {

std::string soxi(const std::string& option, const std::string& path) {
    std::string out;
    return runProgram({"soxi", option, path}, &out) == 0 ? out : std::string();
}

}  // namespace

std::vector<std::u16string> wordsOf(const std::vector<SapiEvent>& events,
                                    const std::u16string& text) {
    std::vector<std::u16string> words;
    for (const SapiEvent& event : events) {
        if (event.type != SapiEvent::kWordBoundary) {
            continue;
        }
        const int32_t at = event.wordPosition - event.markupPrefixLength;
        if (at < 0 || event.wordLength < 0 ||
            static_cast<size_t>(at + event.wordLength) > text.size()) {
            words.push_back(u"<out of range>");
            continue;
        }
        words.push_back(
            text.substr(static_cast<size_t>(at), static_cast<size_t>(event.wordLength)));
    }
    return words;
}

SoxInfo soxInfo(const std::string& path) {
    SoxInfo info;
    info.rate = std::atoi(soxi("-r", path).c_str());
    info.channels = std::atoi(soxi("-c", path).c_str());
    info.bits = std::atoi(soxi("-b", path).c_str());
    info.seconds = std::atof(soxi("-D", path).c_str());
    return info;
}

int findEntry(const ChoiceList& list, const std::u16string& name) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.text(i).rfind(name, 0) == 0) {
            return i;
        }
    }
    return -1;
}

std::u16string longText() {
    std::u16string text;
    for (int i = 0; i < 400; ++i) {
        text += u"The quick brown fox jumps over the lazy dog. ";
    }
    return text;
}

}  // namespace pw::test
