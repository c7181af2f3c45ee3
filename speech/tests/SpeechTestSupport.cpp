// Helpers for the speech tests.
#include "speech/tests/SpeechTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

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

namespace pw::test {

std::vector<int> slowRates() {
    return {0, -4, -5, -6, -7, -8, -9, -10};
}

void expectSlowerAtEachStep(const std::vector<SpokenSpeed>& speeds) {
    ASSERT_EQ(speeds.size(), slowRates().size());
    const SpokenSpeed& normal = speeds.front();
    ASSERT_GT(normal.seconds, 0.5) << "nothing was heard at rate 0";
    ASSERT_GT(normal.pitch, 0.0) << "no voiced sound at rate 0";
    for (size_t i = 0; i < speeds.size(); ++i) {
        const SpokenSpeed& s = speeds[i];
        std::printf("rate %3d: %6.2f s (%.2f x normal), pitch %5.1f Hz (%+.1f %%)\n", s.rate,
                    s.seconds, s.seconds / normal.seconds, s.pitch,
                    100.0 * (s.pitch - normal.pitch) / normal.pitch);
        if (i > 0) {
            EXPECT_GT(s.seconds, speeds[i - 1].seconds)
                << "rate " << s.rate << " is not slower than " << speeds[i - 1].rate;
        }
        EXPECT_NEAR(s.pitch, normal.pitch, normal.pitch * 0.05) << "rate " << s.rate;
    }
    EXPECT_GE(speeds.back().seconds, 3.3 * normal.seconds);
}

}  // namespace pw::test
