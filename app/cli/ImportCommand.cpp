// The headless import of the learner's own sentences.
#include "app/cli/ImportCommand.h"

#include <optional>
#include <ostream>

#include "app/cli/CommandLine.h"
#include "content/SentenceImport.h"
#include "core/Utf.h"

namespace pw {
namespace {

constexpr const char* kUsage =
    "Usage: phrasewright --import SOURCE [--audio FILE] [--translations FILE] "
    "[--columns S,T,E] --out FILE.xml\n";

struct ImportArguments {
    std::string source;
    std::string audio;
    std::string translations;
    std::optional<std::string> columns;
    std::string out;
};

std::optional<ImportArguments> parse(const std::vector<std::string>& args, std::ostream& err) {
    ImportArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* value = arg == "--audio"          ? &parsed.audio
                             : arg == "--translations" ? &parsed.translations
                             : arg == "--out"          ? &parsed.out
                                                       : nullptr;
        if (arg == "--columns") {
            parsed.columns.emplace();
            value = &*parsed.columns;
        }
        if (value) {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                err << "phrasewright: " << arg << " needs a value\n" << kUsage;
                return std::nullopt;
            }
            *value = args[++i];
        } else if (isSubcommand(arg) || !parsed.source.empty() || arg.empty()) {
            err << "phrasewright: unexpected argument " << arg << "\n" << kUsage;
            return std::nullopt;
        } else {
            parsed.source = arg;
        }
    }
    if (parsed.source.empty() || parsed.out.empty()) {
        err << kUsage;
        return std::nullopt;
    }
    return parsed;
}

int runImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<ImportArguments> parsed = parse(args, err);
    if (!parsed) {
        return 2;
    }
    SentenceImport import;
    const auto refuse = [&](const std::u16string& why) {
        err << "phrasewright: " << toUtf8(why) << " Nothing was written.\n";
        return static_cast<int>(kImportFailed);
    };
    if (!import.loadSource(fromStartFolder(parsed->source))) {
        return refuse(import.failure());
    }
    const bool subtitles = import.kind() == SentenceImport::Kind::Subtitles;
    if (subtitles && parsed->columns) {
        err << "phrasewright: --columns is for sentence pairs, not subtitles\n" << kUsage;
        return 2;
    }
    if (!subtitles && (!parsed->audio.empty() || !parsed->translations.empty())) {
        err << "phrasewright: --audio and --translations are for subtitles, not sentence "
               "pairs\n"
            << kUsage;
        return 2;
    }
    if ((parsed->columns && !import.setColumns(fromUtf8(*parsed->columns))) ||
        (!parsed->audio.empty() && !import.setRecording(fromStartFolder(parsed->audio))) ||
        (!parsed->translations.empty() &&
         !import.loadTranslations(fromStartFolder(parsed->translations)))) {
        return refuse(import.failure());
    }
    const ImportOutcome outcome = import.write(fromStartFolder(parsed->out));
    for (const ImportIssue& issue : outcome.issues) {
        err << toUtf8(issueText(issue)) << "\n";
    }
    (outcome.status == kImportFailed ? err : out) << toUtf8(outcome.summary) << "\n";
    out.flush();
    return outcome.status;
}

}  // namespace

Subcommand importCommand() {
    return {"--import", "SOURCE ... --out FILE.xml",
            "Make a learning file of sentence pairs (TSV, CSV) or of subtitles (SRT, WebVTT) "
            "with --audio.",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                return runImport(args, io.out, io.err);
            },
            "Writes FILE.xml from SOURCE and prints a summary line on standard output; each "
            "line or cue that cannot be read goes to standard error with its line number.\n"
            "Exit status: 0 when every line was imported; 3 when some were skipped; 1 when "
            "nothing was written; 2 for a wrong command line."};
}

}  // namespace pw
