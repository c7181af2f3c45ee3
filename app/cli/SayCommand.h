// phrasewright --say [--voice 1|2] [--rate R] --out FILE.wav
// Speaks standard input into a WAV file as the window would speak it: through
// the learner's dictionaries, with the speaker's stored voices, speeds and
// format, unless the options say otherwise.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/Subcommand.h"

namespace pw {

struct SayArguments {
    int voice = 1;            // 1 speaks as sentences are, 2 as translations
    std::optional<int> rate;  // -10..10; the stored speed of the voice when absent
    std::string out;
};

// The arguments after "--say"; nothing, with the reason in error, when they
// do not make sense.
std::optional<SayArguments> parseSayArguments(const std::vector<std::string>& args,
                                              std::string& error);

// 0 when the file was written; 1, with the reason on err, when it was not.
int runSay(const SayArguments& arguments, CommandStreams& io);

Subcommand sayCommand();

}  // namespace pw
