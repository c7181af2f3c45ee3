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

}  // namespace pw::test
