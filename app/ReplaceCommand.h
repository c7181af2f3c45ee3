// "phrasewright --replace": shows what the replacement dictionaries make of
// text before it is spoken, without a window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pw {

// Sets up the speaker's dictionaries from the program folder (the current
// directory), then prints each line of in after replaceText. Lines are UTF-8;
// a CR before the line end is dropped. Returns the exit status.
int printReplacedLines(std::istream& in, std::ostream& out);

// The subcommand: standard input to out; takes no arguments.
int replaceCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pw
