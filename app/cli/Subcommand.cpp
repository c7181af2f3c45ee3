// The table of headless subcommands.
#include "app/cli/Subcommand.h"

#include <algorithm>
#include <ostream>

#include "app/cli/CountWordsCommand.h"
#include "app/cli/ExportCommand.h"
#include "app/cli/ImportCommand.h"
#include "app/cli/ListCommand.h"
#include "app/cli/ReplaceCommand.h"
#include "app/cli/SayCommand.h"
#include "core/AppFiles.h"

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

namespace {

// Prints text wrapped at 76 columns, each line indented by four blanks.
void printWrapped(std::ostream& out, const std::string& text) {
    constexpr size_t kWidth = 76;
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(" \n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > kWidth) {
            out << "    " << line << "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        if (end < text.size() && text[end] == '\n') {
            out << "    " << line << "\n";
            line.clear();
        }
        start = end + 1;
    }
    if (!line.empty()) {
        out << "    " << line << "\n";
    }
}

}  // namespace

void CommandTable::printHelp(std::ostream& out) const {
    printUsage(out);
    for (const auto& command : m_commands) {
        if (command.details.empty()) {
            continue;
        }
        out << "\n"
            << command.name << (command.arguments.empty() ? "" : " ") << command.arguments << "\n";
        printWrapped(out, command.details);
    }
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
            printHelp(io.out);
            io.out << "\n" << AppFiles::instance().describe();
            return 0;
        }
        if (args[0] == kVersion) {
            io.out << "phrasewright " << programVersion() << "\n";
            return 0;
        }
        if (const Subcommand* command = find(args[0])) {
            return command->run(std::vector<std::string>(args.begin() + 1, args.end()), io);
        }
        // The first argument that is an option decides what is reported.
        const auto option = std::find_if(args.begin(), args.end(),
                                         [](const std::string& a) { return a.starts_with("-"); });
        const std::string& named = option != args.end() ? *option : args[0];
        if (named != args[0] && (find(named) || named == kHelp || named == kVersion)) {
            io.err << "phrasewright: " << named << " must come first\n\n";
        } else {
            io.err << "phrasewright: "
                   << (isSubcommand(named) ? "unknown command " : "unknown option ") << named
                   << "\n\n";
        }
    }
    printUsage(io.err);
    return 2;
}

CommandTable headlessCommands() {
    CommandTable table;
    // The table answers --help itself, so commands added later are listed too.
    table.add({CommandTable::kHelp, "", "Show this help and exit.", {}});
    table.add({CommandTable::kVersion, "", "Print the program's version and exit.", {}});
    table.add(listCommand());
    table.add(replaceCommand());
    table.add(importCommand());
    table.add(exportCommand());
    table.add(countWordsCommand());
    table.add(sayCommand());
    return table;
}

bool isSubcommand(const std::string& argument) {
    return argument.rfind("--", 0) == 0;
}

bool isForCommandTable(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(),
                       [](const std::string& argument) { return argument.starts_with("-"); });
}

const char* programVersion() {
    return PW_VERSION;
}

}  // namespace pw
