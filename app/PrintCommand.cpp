// The headless printing of a learning file.
#include "app/PrintCommand.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "app/cli/CommandLine.h"
#include "browser/WebBrowser.h"
#include "content/SentenceListModel.h"
#include "core/AppFiles.h"
#include "core/AppPaths.h"
#include "core/Utf.h"
#include "printing/PrintPage.h"
#include "printing/ui/HtmlPrinter.h"

namespace pw {
namespace {

constexpr const char* kUsage =
    "Usage: phrasewright --print FILE --pdf OUT.pdf [--rows A-B] [--template T]\n";
constexpr const char* kNoDisplay =
    "phrasewright: --print lays the page out with the web engine, which needs a display; "
    "none is open here. Run it under a virtual one: xvfb-run -a phrasewright --print ...\n";
constexpr int kStepTimeoutMs = 60000;

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

// The toolkit for one command: started, and shut down again at the end.
class ScopedToolkit {
public:
    ScopedToolkit() {
        wxApp::SetInstance(new wxApp);
        static char name[] = "phrasewright";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        m_started = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
    }
    ~ScopedToolkit() {
        if (m_started) {
            wxTheApp->OnExit();
        }
        wxEntryCleanup();
    }
    bool started() const { return m_started; }

    // Runs the toolkit's events until done() or the time is up.
    bool waitFor(const std::function<bool()>& done) {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kStepTimeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            if (loop.Pending()) {
                loop.Dispatch();
                continue;
            }
            wxTheApp->ProcessPendingEvents();
            wxTheApp->ProcessIdle();
            wxMilliSleep(1);
        }
        return true;
    }

private:
    bool m_started = false;
};

}  // namespace

std::optional<PrintArguments> parsePrintArguments(const std::vector<std::string>& args,
                                                  std::string& error) {
    PrintArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--pdf" && hasValue) {
            parsed.pdf = args[++i];
        } else if (arg == "--template" && hasValue) {
            parsed.templatePath = args[++i];
        } else if (arg == "--rows" && hasValue) {
            if (!parseRows(args[++i], parsed.firstRow, parsed.lastRow)) {
                error = "--rows takes A-B, rows numbered from 1: " + args[i];
                return std::nullopt;
            }
        } else if (!takeLearningFile(arg, !hasValue, parsed.file, error)) {
            return std::nullopt;
        }
    }
    if (parsed.file.empty() || parsed.pdf.empty()) {
        error = "a learning file and --pdf OUT.pdf are needed";
        return std::nullopt;
    }
    return parsed;
}

int runPrint(const PrintArguments& arguments, std::ostream& out, std::ostream& err) {
    SentenceListModel list;
    std::vector<int> rows;
    if (const int status = openCommandRows(list, arguments.file, arguments.firstRow,
                                           arguments.lastRow, rows, err)) {
        return status;
    }
    PrintPage page;
    page.fill(list, rows);
    page.setProgramFolder(fromUtf8(moduleDirectory()));

    const std::string templatePath =
        arguments.templatePath.empty() ? shippedFile(kPrintTemplatePath)
                                       : resolveStartPath(arguments.templatePath, startDirectory());
    const std::u16string text = readPrintTemplate(templatePath);
    const std::optional<std::u16string> html = page.expand(text);
    if (!html) {
        err << "phrasewright: " << templatePath
            << (text.empty() ? " cannot be read"
                             : " has no repeated block (<!--repeat--> ... <!--/repeat-->)")
            << "\n";
        return 1;
    }
    const std::string pdf = fromStartFolder(arguments.pdf);

    if (!hasDisplay()) {
        err << kNoDisplay;
        return 1;
    }
    ScopedToolkit toolkit;
    if (!toolkit.started()) {
        err << kNoDisplay;
        return 1;
    }
    // The view lives in a window that is never shown.
    BaseWindow host;
    host.createTopLevel();
    WebBrowser browser;
    if (!browser.create(host, 0, 0, 800, 1000)) {
        err << "phrasewright: " << toUtf8(browser.lastError()) << "\n";
        return 1;
    }
    // The template's own address, so that what it links is found beside it.
    browser.navigate(templatePath);
    bool written = false;
    bool writeEnded = false;
    writePrintPage(browser, *html, [&](bool ok) {
        writeEnded = true;
        written = ok;
    });
    if (!toolkit.waitFor([&] { return writeEnded; }) || !written) {
        err << "phrasewright: the page could not be laid out\n";
        return 1;
    }
    bool printed = false;
    bool printEnded = false;
    std::u16string why;
    const bool started = browser.printToFile(pdf, [&](bool ok, const std::u16string& error) {
        printEnded = true;
        printed = ok;
        why = error;
    });
    if (!started) {
        err << "phrasewright: the web engine here cannot print into files\n";
        return 1;
    }
    if (!toolkit.waitFor([&] { return printEnded; }) || !printed) {
        err << "phrasewright: " << pdf << " could not be written"
            << (why.empty() ? std::string() : ": " + toUtf8(why)) << "\n";
        return 1;
    }
    out << rows.size() << " sentences of " << arguments.file << " printed to " << pdf << "\n";
    return 0;
}

Subcommand printCommand() {
    return {"--print", "FILE --pdf OUT.pdf ...",
            "Print sentences through the print template into a PDF file (needs a display; "
            "the options: --print alone).",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                std::string error;
                const std::optional<PrintArguments> arguments = parsePrintArguments(args, error);
                if (!arguments) {
                    io.err << "phrasewright: " << error << "\n" << kUsage;
                    return 2;
                }
                return runPrint(*arguments, io.out, io.err);
            }};
}

}  // namespace pw
