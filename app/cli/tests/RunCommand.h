// Runs a headless command of the table as the program does, with no input.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/Subcommand.h"

namespace pw::test {

inline int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::string& input = {}) {
    std::istringstream in(input);
    CommandStreams io{in, out, err};
    return headlessCommands().run(args, io);
}

// What a command printed and its exit status.
struct CommandOutcome {
    int status;
    std::string out;
    std::string err;
};

// Runs name with args, as "phrasewright name args...".
inline CommandOutcome runCapturing(const std::string& name, const std::vector<std::string>& args) {
    std::vector<std::string> command;
    if (!name.empty()) {
        command.push_back(name);
    }
    command.insert(command.end(), args.begin(), args.end());
    std::ostringstream out, err;
    const int status = runCommand(command, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace pw::test
