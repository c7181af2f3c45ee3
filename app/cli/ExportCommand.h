// phrasewright --export FILE --out DIR [--rows A-B] [--spell] [--interval MS]
//              [--lyrics NAME] [--jobs N]
// Converts the sentences of a learning file into one audio file each, as the
// audio conversion dialog does, without a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/cli/Subcommand.h"

namespace pw {

struct ExportArguments {
    std::string file;
    std::string outputFolder;
    int firstRow = 1;  // from 1, inclusive
    int lastRow = 0;   // 0: the last record
    bool spell = false;
    int intervalMs = 1000;
    std::string lyrics;  // a format's name or header name; empty: no lyrics
    int jobs = 0;        // 0: one per core
};

// The arguments after "--export"; nothing, with the reason in error, when
// they do not make sense.
std::optional<ExportArguments> parseExportArguments(const std::vector<std::string>& args,
                                                    std::string& error);

// Prints a line for each sentence as it is done ("[2/5] 2 lesson.mp3: Complete")
// and a summary; 1 when a sentence failed or nothing could start, with the
// reason on err.
int runExport(const ExportArguments& arguments, std::ostream& out, std::ostream& err);

Subcommand exportCommand();

}  // namespace pw
