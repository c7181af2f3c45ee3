// The headless audio export.
#include "app/cli/ExportCommand.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

#include "app/cli/CommandLine.h"
#include "app/cli/ScopedHeadlessUi.h"
#include "content/SentenceListModel.h"
#include "core/AppFiles.h"
#include "core/HeadlessUi.h"
#include "core/Utf.h"
#include "export/AudioConversion.h"
#include "export/ConverterOptions.h"
#include "export/SentenceFinisher.h"
#include "speech/Speaker.h"

namespace pw {
namespace {

constexpr const char* kUsage =
    "Usage: phrasewright --export FILE --out DIR [--rows A-B] [--spell] [--interval MS]\n"
    "                    [--lyrics NAME] [--jobs N]\n";

class Reporter : public ConversionListener {
public:
    Reporter(const AudioConversion& conversion, const std::string& extension, std::ostream& out)
        : m_conversion(conversion), m_extension(extension), m_out(out) {}

    void rowChanged(size_t) override {}
    void rowFinished(size_t row) override {
        const ConversionRow& r = m_conversion.rows()[row];
        const AudioConversion::Progress progress = m_conversion.progress();
        m_out << '[' << progress.done << '/' << progress.total << "] " << toUtf8(r.outputName)
              << m_extension << ": " << toUtf8(r.progress) << std::endl;
    }
    void conversionEnded() override { m_ended = true; }
    bool ended() const { return m_ended; }

private:
    const AudioConversion& m_conversion;
    std::string m_extension;
    std::ostream& m_out;
    bool m_ended = false;
};

}  // namespace

std::optional<ExportArguments> parseExportArguments(const std::vector<std::string>& args,
                                                    std::string& error) {
    ExportArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const auto value = [&]() -> const std::string& { return args[++i]; };
        if (arg == "--spell") {
            parsed.spell = true;
        } else if (arg == "--out" && hasValue) {
            parsed.outputFolder = value();
        } else if (arg == "--rows" && hasValue) {
            if (!parseRows(value(), parsed.firstRow, parsed.lastRow)) {
                error = "--rows takes A-B, rows numbered from 1: " + args[i];
                return std::nullopt;
            }
        } else if (arg == "--interval" && hasValue) {
            if (!parseNumber(value(), 0, ConverterOptions::kMaxInterval, parsed.intervalMs)) {
                error = "--interval takes milliseconds from 0 to 10000: " + args[i];
                return std::nullopt;
            }
        } else if (arg == "--lyrics" && hasValue) {
            parsed.lyrics = value();
        } else if (arg == "--jobs" && hasValue) {
            if (!parseNumber(value(), 1, 256, parsed.jobs)) {
                error = "--jobs takes a number from 1 to 256: " + args[i];
                return std::nullopt;
            }
        } else if (!takeLearningFile(arg, !hasValue && arg != "--spell", parsed.file, error)) {
            return std::nullopt;
        }
    }
    if (parsed.file.empty() || parsed.outputFolder.empty()) {
        error = "a learning file and --out DIR are needed";
        return std::nullopt;
    }
    return parsed;
}

int runExport(const ExportArguments& arguments, std::ostream& out, std::ostream& err) {
    const auto started = std::chrono::steady_clock::now();
    ScopedHeadlessUi ui;
    SentenceListModel list;
    std::vector<int> records;
    if (const int status = openCommandRows(list, arguments.file, arguments.firstRow,
                                           arguments.lastRow, records, err)) {
        return status;
    }

    const std::vector<PlayerFormat> formats = loadPlayerFormats(learnerFile(kLyricsFormatsPath));
    ConverterOptions options;
    options.outputPath = fromUtf8(fromStartFolder(arguments.outputFolder));
    options.intervalMs = arguments.intervalMs;
    options.spellOutWords = arguments.spell;
    if (!arguments.lyrics.empty()) {
        const int format = findPlayerFormat(formats, fromUtf8(arguments.lyrics));
        if (format < 0) {
            err << "phrasewright: no lyrics format \"" << arguments.lyrics << "\" in "
                << kLyricsFormatsPath << "; there are:\n";
            for (const PlayerFormat& f : formats) {
                err << "  " << toUtf8(f.name) << " (" << toUtf8(f.headerName) << ")\n";
            }
            return 2;
        }
        options.lyricsFormat = format + 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(toUtf8(options.outputPath), ec);
    if (ec) {
        err << "phrasewright: cannot make the folder " << toUtf8(options.outputPath) << ": "
            << ec.message() << "\n";
        return 1;
    }

    Speaker speaker;
    speaker.initialize();
    speaker.loadSettings();
    const std::string encoder = findEncoder();
    if (encoder.empty()) {
        err << "phrasewright: the LAME encoder (Plugins/lame or lame) is not there: "
               "writing WAV files without lyrics\n";
    }
    ConversionSettings settings = conversionSettings(options, formats, encoder, speaker);
    settings.jobs = arguments.jobs;

    AudioConversion conversion(speaker, makeConversionRows(list, records, false));
    Reporter reporter(conversion, encoder.empty() ? ".wav" : ".mp3", out);
    conversion.setListener(&reporter);
    if (!conversion.start(settings)) {
        err << "phrasewright: the conversion could not start\n";
        return 1;
    }
    while (!(*ui).runUntil([&] { return reporter.ended(); }, 60000)) {
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char summary[160];
    std::snprintf(summary, sizeof summary,
                  "%zu of %zu sentences converted, %zu skipped, %zu failed, in %.1f s",
                  conversion.completedCount(), conversion.rows().size(), conversion.skippedCount(),
                  conversion.failedCount(), seconds);
    // Lyrics that could not be attached were told as a box, on err.
    out << summary << std::endl;
    if (conversion.failedCount() > 0) {
        for (const ConversionRow& row : conversion.rows()) {
            if (row.progress.rfind(u"Failed", 0) == 0) {
                err << "phrasewright: " << toUtf8(row.outputName) << ": " << toUtf8(row.progress)
                    << "\n";
            }
        }
        return 1;
    }
    return 0;
}

Subcommand exportCommand() {
    return {"--export", "FILE --out DIR ...",
            "Convert sentences into audio files, one a sentence (the options: --export alone).",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                std::string error;
                const std::optional<ExportArguments> arguments = parseExportArguments(args, error);
                if (!arguments) {
                    io.err << "phrasewright: " << error << "\n" << kUsage;
                    return 2;
                }
                return runExport(*arguments, io.out, io.err);
            },
            "Speaks the chosen sentences into DIR, one MP3 (or WAV without the LAME encoder) a "
            "sentence, printing a line per finished file and a summary line on standard output; "
            "the files that failed go to standard error.\nExit status: 0 when every sentence "
            "was converted or skipped; 1 when FILE cannot be opened, DIR cannot be made or a "
            "sentence failed; 2 for a wrong command line."};
}

}  // namespace pw
