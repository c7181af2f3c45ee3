// The headless listing of a learning file's records.
#include "app/cli/ListCommand.h"

#include <memory>
#include <ostream>

#include "app/cli/CommandLine.h"
#include "content/SentenceListModel.h"
#include "core/HeadlessUi.h"
#include "core/Utf.h"

namespace pw {
namespace {

// Keeps message boxes off the output: the reason they give is printed once,
// from the list's own account of what failed.
class SilentUi : public HeadlessUi {
public:
    int messageBox(const std::u16string&, const std::u16string&, unsigned flags) override {
        return defaultAnswer(flags);
    }
};

class ScopedSilentUi {
public:
    ScopedSilentUi() : m_previous(installUi(std::make_unique<SilentUi>())) {}
    ~ScopedSilentUi() { installUi(std::move(m_previous)); }

private:
    std::unique_ptr<UiServices> m_previous;
};

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
        ScopedSilentUi silent;
        opened = list.open(path);
    }
    if (!opened) {
        err << "phrasewright: cannot open " << args[0] << "\n"
            << terminalText(list.openError()) << "\n";
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
            }};
}

}  // namespace pw
