// The headless subcommands: "phrasewright --NAME ARGS..." runs one and exits
// without opening a window or needing a display. Message boxes print
// "caption: text" to standard error there.
//
// To add one, write its function and add a row to the table in Commands.cpp.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pw {

struct Subcommand {
    const char* name;       // with its dashes: "--help"
    const char* arguments;  // for the usage line: "FILE", or ""
    const char* help;       // one line
    // args are the arguments after the name; returns the exit status.
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

const std::vector<Subcommand>& subcommands();

// True for an argument that names a subcommand rather than a learning file.
bool isSubcommand(const std::string& argument);

void printUsage(std::ostream& out);

// Runs the subcommand named by args[0]; an unknown one prints the usage to
// err and returns 2.
int runSubcommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pw
