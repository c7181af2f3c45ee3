// The table of headless subcommands.
#include "app/Commands.h"

#include <ostream>

#include "app/ReplaceCommand.h"

namespace pw {
namespace {

int help(const std::vector<std::string>&, std::ostream& out, std::ostream&) {
    printUsage(out);
    return 0;
}

}  // namespace

const std::vector<Subcommand>& subcommands() {
    static const std::vector<Subcommand> table = {
        {"--help", "", "Show this help and exit.", &help},
        {"--replace", "", "Print each line of standard input as it will be spoken.",
         &replaceCommand},
    };
    return table;
}

bool isSubcommand(const std::string& argument) {
    return argument.rfind("--", 0) == 0;
}

void printUsage(std::ostream& out) {
    out << "Usage: phrasewright [LEARNING-FILE]\n"
           "       phrasewright --COMMAND [ARGUMENTS...]\n\n"
           "Without a command, opens the main window (and LEARNING-FILE, if given).\n"
           "Commands run without a window:\n";
    for (const auto& command : subcommands()) {
        std::string left =
            std::string(command.name) + (*command.arguments ? " " : "") + command.arguments;
        if (left.size() < 22) {
            left.resize(22, ' ');
        } else {
            left += "  ";
        }
        out << "  " << left << command.help << "\n";
    }
}

int runSubcommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        for (const auto& command : subcommands()) {
            if (args[0] == command.name) {
                return command.run(std::vector<std::string>(args.begin() + 1, args.end()), out,
                                   err);
            }
        }
        err << "phrasewright: unknown command " << args[0] << "\n\n";
    }
    printUsage(err);
    return 2;
}

}  // namespace pw
