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

// Turns the Japanese readings on for this run, with the analyser of the
// stored "IME" settings; false (saying why on err) when it cannot be opened.
bool enableReadings(std::ostream& err);

// The subcommand: its input to its output; "--readings" adds the readings.
Subcommand replaceCommand();

}  // namespace pw
