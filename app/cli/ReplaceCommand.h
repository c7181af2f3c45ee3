// "phrasewright --replace": shows what the replacement dictionaries make of
// text before it is spoken, without a window.
#pragma once

#include <iosfwd>

#include "app/cli/Subcommand.h"

namespace pw {

// Sets up the speaker's dictionaries from the program folder (the current
// directory), then prints each line of in after replaceText. Lines are UTF-8;
// a CR before the line end is dropped. Returns the exit status: 0, or 1 when
// a replacement rule failed (its message box goes to standard error).
int printReplacedLines(std::istream& in, std::ostream& out);

// The subcommand: its input to its output; takes no arguments.
Subcommand replaceCommand();

}  // namespace pw
