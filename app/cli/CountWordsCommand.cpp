// The headless word count.
#include "app/cli/CountWordsCommand.h"

#include <fstream>
#include <iterator>

#include "app/cli/CommandLine.h"
#include "core/Utf.h"
#include "printing/WordCounter.h"
#include "xml/TextFile.h"

namespace pw {

int printWordCount(std::istream& text, std::ostream& out) {
    std::string bytes{std::istreambuf_iterator<char>(text), std::istreambuf_iterator<char>()};
    std::u16string decoded;
    decodeTextBytes(bytes, decoded, kDetectEncoding);
    WordCounter counter;
    counter.load();
    const WordCount& count = counter.count(decoded);
    out << toUtf8(countMessage(count));
    for (const WordTally& tally : count.newWords) {
        out << tally.count << '\t' << toUtf8(tally.word) << '\n';
    }
    out.flush();
    return 0;
}

Subcommand countWordsCommand() {
    return {"--count-words", "[FILE]",
            "Count the words of FILE (or standard input) and list those not learned yet.",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                if (args.size() > 1 || (!args.empty() && isSubcommand(args[0]))) {
                    io.err << "phrasewright: --count-words takes one text file, or reads "
                              "standard input\n";
                    return 2;
                }
                if (args.empty()) {
                    return printWordCount(io.in, io.out);
                }
                std::ifstream file(resolveStartPath(args[0], startDirectory()), std::ios::binary);
                if (!file) {
                    io.err << "phrasewright: cannot read " << args[0] << "\n";
                    return 1;
                }
                return printWordCount(file, io.out);
            }};
}

}  // namespace pw
