// The headless subcommands: "phrasewright --NAME ARGS..." runs one and exits
// without opening a window or needing a display. Message boxes print
// "caption: text" to standard error there.
//
// Each command is a Subcommand in a CommandTable; headlessCommands() holds
// those of this folder, and the program adds its own (those that need the
// toolkit) before it runs one:
//
//   CommandTable table = headlessCommands();
//   CommandStreams io{std::cin, std::cout, std::cerr};
//   return table.run({"--list", "lesson.xml"}, io);
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace pw {

// Where a command reads its input and writes its output and messages.
struct CommandStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

struct Subcommand {
    std::string name;       // with its dashes: "--help"
    std::string arguments;  // for the usage line: "FILE", or ""
    std::string summary;    // one line
    // args are the arguments after the name; returns the exit status.
    std::function<int(const std::vector<std::string>& args, CommandStreams& io)> run;
};

class CommandTable {
public:
    static constexpr const char* kHelp = "--help";

    // Adds command; one of the same name is replaced.
    void add(Subcommand command);
    const Subcommand* find(const std::string& name) const;
    const std::vector<Subcommand>& commands() const { return m_commands; }

    void printUsage(std::ostream& out) const;
    // Runs the command named by args[0]; an unknown one prints the usage to
    // err and returns 2.
    int run(const std::vector<std::string>& args, CommandStreams& io) const;

private:
    std::vector<Subcommand> m_commands;
};

// --help, --list, --replace, --import, --export and --say.
CommandTable headlessCommands();

// True for an argument that names a subcommand rather than a learning file.
bool isSubcommand(const std::string& argument);

}  // namespace pw
