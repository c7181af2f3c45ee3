// The headless listing of a learning file's records.
#include "app/cli/ListCommand.h"

#include <ostream>

#include "app/cli/CommandLine.h"
#include "app/cli/CommandUi.h"
#include "content/SentenceListModel.h"
#include "core/Utf.h"

namespace pw {
namespace {

// One line per record: tabs and line breaks inside a cell become spaces.
std::string cell(const std::u16string& text) {
    std::string utf8 = toUtf8(text);
    for (char& c : utf8) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return utf8;
}

// The reason as lines for a terminal.
std::string terminalText(const std::u16string& text) {
    std::string out;
    for (char c : toUtf8(text)) {
        if (c != '\r') {
            out.push_back(c);
        }
    }
    return out;
}

int runList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0].empty()) {
        err << "Usage: phrasewright --list FILE\n";
        return 2;
    }
    const std::string path = resolveStartPath(args[0], startDirectory());
    SentenceListModel list;
    bool opened = false;
    {
        // The reason a box would give is printed once, from the list's own
        // account of what failed.
        ScopedCommandUi quiet(ScopedCommandUi::Boxes::Dropped);
        opened = list.open(path);
    }
    if (!opened) {
        err << "phrasewright: cannot open " << args[0] << "\n"
            << terminalText(list.openError()) << "\n"
            << searchedFoldersNote(path);
        return 1;
    }
    for (int i = 0; i < list.recordCount(); ++i) {
        for (int column = 0; column < SentenceListModel::kColumnCount; ++column) {
            out << cell(list.cellText(i, column)) << '\t';
        }
        out << list.startTime(i) << '\n';
    }
    out.flush();
    return out ? 0 : 1;
}

}  // namespace

Subcommand listCommand() {
    return {"--list", "FILE", "Print the records of a learning file, one a line.",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                return runList(args, io.out, io.err);
            },
            "Opens FILE as the program does (an MP3 through the XML file of its name, else "
            "its synchronised lyrics) and prints one line per record with seven fields "
            "separated by tabs: the check marks, the trial count, the sentence, the "
            "translation, the dictation score, the writing score, and the start time in "
            "milliseconds (-1 when the record has none). Tabs and line breaks inside a field "
            "become spaces. A relative FILE is looked for in the current folder first, then in "
            "the program's folder.\nExit status: 0; 1 when FILE cannot be opened (the reason "
            "goes to standard error); 2 for a wrong command line."};
}

}  // namespace pw
