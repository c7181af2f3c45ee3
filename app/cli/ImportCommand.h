// phrasewright --import SOURCE [--audio FILE] [--translations FILE]
//                      [--columns S,T,E] --out FILE.xml
// makes a learning file of sentence pairs (TSV, CSV, a flash-card export) or
// of subtitles (SRT, WebVTT) with their recording.
#pragma once

#include "app/cli/Subcommand.h"

namespace pw {

// Prints each line that was skipped or noted to err, then the summary (to
// out when the file was written, else to err). Exit status 0 when everything
// was imported, 3 when rows or cues were skipped, 1 when nothing was written,
// 2 for arguments that do not make sense.
Subcommand importCommand();

}  // namespace pw
