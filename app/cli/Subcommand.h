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
//
// A command gives a name, its arguments for the usage line, a one-line
// summary, the function that runs it and, for --help, what it prints:
//
//   Subcommand countCommand() {
//       return {"--count-words", "FILE", "Count the words of a text file.",
//               [](const std::vector<std::string>& args, CommandStreams& io) { ... },
//               "Prints each word and its count, one a line. Exit status 0, or 1 when "
//               "FILE cannot be read."};
//   }
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
    // What the command prints and its exit status, for --help; lines of
    // plain text, wrapped by the writer. May be left empty.
    std::string details = {};
};

class CommandTable {
public:
    static constexpr const char* kHelp = "--help";
    static constexpr const char* kVersion = "--version";

    // Adds command; one of the same name is replaced.
    void add(Subcommand command);
    const Subcommand* find(const std::string& name) const;
    const std::vector<Subcommand>& commands() const { return m_commands; }

    void printUsage(std::ostream& out) const;
    // The usage, then each command's details (what --help prints).
    void printHelp(std::ostream& out) const;
    // Runs the command named by args[0]. An unknown command, an option such
    // as "-h" that names none, or an option after a learning file's name
    // prints the usage to err and returns 2.
    int run(const std::vector<std::string>& args, CommandStreams& io) const;

private:
    std::vector<Subcommand> m_commands;
};

// --help, --version, --list, --replace, --import, --export, --count-words and --say.
CommandTable headlessCommands();

// True for an argument that names a subcommand rather than a learning file.
bool isSubcommand(const std::string& argument);
// True for a command line that is the table's to run rather than a learning
// file to open in the window: one with an argument that starts with "-" (a
// subcommand, or an option, which is never taken for a file's name).
bool isForCommandTable(const std::vector<std::string>& arguments);

// The program's version, as --version prints it.
const char* programVersion();

}  // namespace pw
