// phrasewright --print FILE --pdf OUT.pdf [--rows A-B] [--template T]
// Lays the sentences of a learning file out through the print template, as
// the print dialog does, and prints the page into a PDF file. The page is
// made by the web engine, which needs a display (xvfb-run will do); without
// one the command says so and fails.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/Subcommand.h"

namespace pw {

struct PrintArguments {
    std::string file;
    std::string pdf;
    std::string templatePath;  // empty: the shipped "Resources/print.html"
    int firstRow = 1;          // from 1, inclusive
    int lastRow = 0;           // 0: the last record
};

// The arguments after "--print"; nothing, with the reason in error, when
// they do not make sense.
std::optional<PrintArguments> parsePrintArguments(const std::vector<std::string>& args,
                                                  std::string& error);

// 0 when the PDF was written; 1 (why on err) when the file, the template,
// the display or the engine failed; 2 for rows the file does not have.
int runPrint(const PrintArguments& arguments, std::ostream& out, std::ostream& err);

Subcommand printCommand();

}  // namespace pw
