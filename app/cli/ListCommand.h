// phrasewright --list FILE: prints the records of a learning file.
#pragma once

#include "app/cli/Subcommand.h"

namespace pw {

// Opens FILE as the sentence list would (an MP3 through its ".xml" file or
// its lyrics) and prints one line per record: the six cells of its row and
// its startTime in milliseconds (-1 when it has none), separated by TABs. A
// file that cannot be opened prints the reason, the parse error included, to
// err and gives 1.
Subcommand listCommand();

}  // namespace pw
