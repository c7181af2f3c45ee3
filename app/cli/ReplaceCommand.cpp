// The headless check of the replacement dictionaries.
#include "app/cli/ReplaceCommand.h"

#include <istream>
#include <ostream>

#include "app/cli/CommandUi.h"
#include "core/ProfileSettings.h"
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

bool enableReadings(std::ostream& err) {
    ImeReadings& readings = DictionaryWindow::readings();
    readings.loadSettings(ProfileSettings::instance(), false);
    readings.setEnabled(true);
    if (readings.openSelected()) {
        return true;
    }
    err << "phrasewright: --readings: the Japanese readings ("
        << toUtf8(readings.selectedIdentifier())
        << ") are not available: MeCab and its dictionary (mecab-ipadic-utf8) are needed\n";
    return false;
}

Subcommand replaceCommand() {
    return {"--replace", "[--readings]",
            "Print each line of standard input as it will be spoken (--readings: with the "
            "Japanese readings).",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                const bool readings = args.size() == 1 && args[0] == "--readings";
                if (!args.empty() && !readings) {
                    io.err << "phrasewright: --replace takes no arguments but --readings; it reads "
                              "lines from standard input\n";
                    return 2;
                }
                if (readings && !enableReadings(io.err)) {
                    return 1;
                }
                return printReplacedLines(io.in, io.out);
            },
            "Reads lines of UTF-8 text from standard input and prints each as the speaker "
            "will say it, after the word and pattern dictionaries of Resources/ (dict.txt, "
            "RegexDict.txt). A rule that fails is reported on standard error and ends the "
            "replacement of that line. With --readings, Japanese text is read through MeCab "
            "first.\nExit status: 0; 1 when a rule failed or the readings are not available; 2 for "
            "a wrong "
            "command line."};
}

}  // namespace pw
