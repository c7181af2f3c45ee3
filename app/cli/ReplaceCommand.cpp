// The headless check of the replacement dictionaries.
#include "app/cli/ReplaceCommand.h"

#include <istream>
#include <ostream>

#include "app/cli/CommandUi.h"
#include "core/Utf.h"
#include "dictionary/DictionaryWindow.h"

namespace pw {

int printReplacedLines(std::istream& in, std::ostream& out) {
    // A rule that fails says so in a box (printed on standard error); the
    // exit status says it to a script.
    ScopedCommandUi boxes(ScopedCommandUi::Boxes::PassedOn);
    DictionaryWindow::setUpSpeakerDictionaries();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::u16string text = fromUtf8(line);
        DictionaryWindow::replaceText(text);
        // A rule may put line breaks into the text: print them as they are,
        // and flush so that the answer to a typed line comes at once.
        out << toUtf8(text) << std::endl;
    }
    return boxes.boxCount() == 0 ? 0 : 1;
}

Subcommand replaceCommand() {
    return {"--replace", "", "Print each line of standard input as it will be spoken.",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                if (!args.empty()) {
                    io.err << "phrasewright: --replace takes no arguments; it reads lines from "
                              "standard input\n";
                    return 2;
                }
                return printReplacedLines(io.in, io.out);
            },
            "Reads lines of UTF-8 text from standard input and prints each as the speaker "
            "will say it, after the word and pattern dictionaries of Resources/ (dict.txt, "
            "RegexDict.txt). A rule that fails is reported on standard error and ends the "
            "replacement of that line.\nExit status: 0; 1 when a rule failed; 2 for a wrong "
            "command line."};
}

}  // namespace pw
