// Headless speech into a WAV file.
#include "app/cli/SayCommand.h"

#include <iterator>
#include <ostream>

#include "app/cli/CommandLine.h"
#include "app/cli/ScopedHeadlessUi.h"
#include "audio/WavFile.h"
#include "core/Utf.h"
#include "speech/Speaker.h"

namespace pw {
namespace {

constexpr const char* kUsage =
    "Usage: phrasewright --say [--voice 1|2] [--rate R] --out FILE.wav\n";
// Long texts at the slowest speed take a while even without real time.
constexpr int kSpeechTimeoutMs = 600000;

bool parseInt(const std::string& text, int minimum, int maximum, int& value) {
    size_t used = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size() && value >= minimum && value <= maximum;
}

// Remembers the end of the speech.
class EndListener : public SapiEventListener {
public:
    void onSapiEvent(const SapiEvent& event) override {
        m_ended = m_ended || event.type == SapiEvent::kFinished;
    }
    bool ended() const { return m_ended; }

private:
    bool m_ended = false;
};

}  // namespace

std::optional<SayArguments> parseSayArguments(const std::vector<std::string>& args,
                                              std::string& error) {
    SayArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i + 1 >= args.size() || (arg != "--voice" && arg != "--rate" && arg != "--out")) {
            error = arg.rfind("--", 0) == 0 && i + 1 >= args.size() ? arg + " needs a value"
                                                                    : "unknown argument " + arg;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        int number = 0;
        if (arg == "--out") {
            parsed.out = value;
        } else if (arg == "--voice") {
            if (!parseInt(value, 1, 2, parsed.voice)) {
                error = "--voice takes 1 or 2: " + value;
                return std::nullopt;
            }
        } else if (!parseInt(value, Speaker::kMinRate, Speaker::kMaxRate, number)) {
            error = "--rate takes a speed from -10 to 10: " + value;
            return std::nullopt;
        } else {
            parsed.rate = number;
        }
    }
    if (parsed.out.empty()) {
        error = "--out FILE.wav is needed";
        return std::nullopt;
    }
    return parsed;
}

int runSay(const SayArguments& arguments, CommandStreams& io) {
    std::string input((std::istreambuf_iterator<char>(io.in)), std::istreambuf_iterator<char>());
    if (input.rfind("\xEF\xBB\xBF", 0) == 0) {
        input.erase(0, 3);
    }
    const std::u16string text = fromUtf8(input);
    if (text.find_first_not_of(u" \t\r\n") == std::u16string::npos) {
        io.err << "phrasewright: nothing to say: standard input is empty\n";
        return 1;
    }
    ScopedHeadlessUi ui;
    Speaker speaker;
    if (!speaker.initialize()) {
        io.err << "phrasewright: the speech engine could not be started\n";
        return 1;
    }
    speaker.loadSettings();
    const int index = arguments.voice - 1;
    // Without a stored voice the window takes one for the file's script;
    // here the text is the file.
    speaker.suggestVoice(index, textScript(text));
    if (arguments.rate) {
        speaker.setRate(index, *arguments.rate);
    }
    speaker.setVoiceEnabled(index, true);
    EndListener end;
    speaker.setSpeechListener(&end);
    const std::string path = fromStartFolder(arguments.out);
    if (speaker.convertToWav(fromUtf8(path), index, text, false) != TTS::kConvertStarted) {
        io.err << "phrasewright: " << arguments.out << " could not be written\n";
        return 1;
    }
    ui->runUntil([&] { return end.ended(); }, kSpeechTimeoutMs);
    speaker.setSpeechListener(nullptr);
    if (!end.ended() || wavDuration(path) == 0) {
        io.err << "phrasewright: " << arguments.out << " could not be written\n";
        return 1;
    }
    return 0;
}

Subcommand sayCommand() {
    return {"--say", "--out FILE.wav ...",
            "Speak standard input into a WAV file with the speaker's voices (--voice 1|2, "
            "--rate R).",
            [](const std::vector<std::string>& args, CommandStreams& io) {
                std::string error;
                const std::optional<SayArguments> arguments = parseSayArguments(args, error);
                if (!arguments) {
                    io.err << "phrasewright: " << error << "\n" << kUsage;
                    return 2;
                }
                return runSay(*arguments, io);
            }};
}

}  // namespace pw
