// Helpers for the speech tests: what the word events select, what soxi says
// of a WAV file, and a long text.
#pragma once

#include <string>
#include <vector>

#include "speech/ChoiceList.h"
#include "speech/SapiEvent.h"

namespace pw::test {

// The caller's text each word event selects, markup prefix subtracted.
std::vector<std::u16string> wordsOf(const std::vector<SapiEvent>& events,
                                    const std::u16string& text);

struct SoxInfo {
    int rate = 0;
    int channels = 0;
    int bits = 0;
    double seconds = 0;
};
// What soxi reads from the file; zeros when it cannot.
SoxInfo soxInfo(const std::string& path);

// The entry whose text starts with name, or -1.
int findEntry(const ChoiceList& list, const std::u16string& name);

// About twenty minutes of speech.
std::u16string longText();

// How one speed sounded: the length of the spoken sound and its pitch.
struct SpokenSpeed {
    int rate = 0;
    double seconds = 0;
    double pitch = 0;
};
// The rates the slow-speech checks speak at: normal, then -4 down to -10.
std::vector<int> slowRates();
// Each slower rate takes longer than the one above it, -10 at least three
// times as long as 0, the pitch unchanged within 5 %. speeds follow
// slowRates(); what was measured goes to the test's output.
void expectSlowerAtEachStep(const std::vector<SpokenSpeed>& speeds);

}  // namespace pw::test
