// The table of headless subcommands.
#include "app/cli/Subcommand.h"

#include <algorithm>
#include <ostream>

#include "app/cli/ExportCommand.h"
#include "app/cli/ImportCommand.h"
#include "app/cli/ListCommand.h"
#include "app/cli/ReplaceCommand.h"
#include "app/cli/SayCommand.h"

namespace pw {

void CommandTable::add(Subcommand command) {
    auto same = std::find_if(m_commands.begin(), m_commands.end(),
                             [&](const Subcommand& c) { return c.name == command.name; });
    if (same != m_commands.end()) {
        *same = std::move(command);
    } else {
        m_commands.push_back(std::move(command));
    }
}

const Subcommand* CommandTable::find(const std::string& name) const {
    for (const auto& command : m_commands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

void CommandTable::printUsage(std::ostream& out) const {
    out << "Usage: phrasewright [LEARNING-FILE]\n"
           "       phrasewright --COMMAND [ARGUMENTS...]\n\n"
           "Without a command, opens the main window (and LEARNING-FILE, if given).\n"
           "Commands run without a window:\n";
    for (const auto& command : m_commands) {
        std::string left =
            command.name + (command.arguments.empty() ? "" : " ") + command.arguments;
        if (left.size() < 22) {
            left.resize(22, ' ');
        } else {
            left += "  ";
        }
        out << "  " << left << command.summary << "\n";
    }
}

int CommandTable::run(const std::vector<std::string>& args, CommandStreams& io) const {
    if (!args.empty()) {
        if (args[0] == kHelp) {
            printUsage(io.out);
            return 0;
        }
        if (const Subcommand* command = find(args[0])) {
            return command->run(std::vector<std::string>(args.begin() + 1, args.end()), io);
        }
        io.err << "phrasewright: unknown command " << args[0] << "\n\n";
    }
    printUsage(io.err);
    return 2;
}

CommandTable headlessCommands() {
    CommandTable table;
    // The table answers --help itself, so commands added later are listed too.
    table.add({CommandTable::kHelp, "", "Show this help and exit.", {}});
    table.add(listCommand());
    table.add(replaceCommand());
    table.add(importCommand());
    table.add(exportCommand());
    table.add(sayCommand());
    return table;
}

bool isSubcommand(const std::string& argument) {
    return argument.rfind("--", 0) == 0;
}

}  // namespace pw
