// Helpers for the export tests.
#include "export/tests/ExportTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/TestFiles.h"

namespace pw::test {
namespace {

// Lines of "milliseconds TAB text".
std::vector<TimedText> parseTimedLines(const std::string& output) {
    std::vector<TimedText> entries;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            entries.push_back(
                {static_cast<uint32_t>(std::stoul(line.substr(0, tab))), line.substr(tab + 1)});
        }
    }
    return entries;
}

}  // namespace

void writeLearningFile(const std::string& path, const std::vector<SentencePair>& pairs) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SentenceList>\n";
    for (const SentencePair& pair : pairs) {
        xml += "<SentenceGroup";
        if (!pair.startTime.empty()) {
            xml += " startTime=\"" + pair.startTime + "\"";
        }
        xml += "><sentence><![CDATA[" + pair.sentence + "]]></sentence><translation><![CDATA[" +
               pair.translation + "]]></translation></SentenceGroup>\n";
    }
    writeAll(path, xml + "</SentenceList>\n");
}

std::string pythonWithMutagen() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        if (runProgram({candidate, "-c", "import mutagen"}) == 0) {
            return candidate;
        }
    }
    return {};
}

std::vector<TimedText> mutagenSylt(const std::string& mp3Path) {
    const std::string python = pythonWithMutagen();
    if (python.empty()) {
        return {};
    }
    const std::string script =
        "import sys\n"
        "from mutagen.id3 import ID3\n"
        "tag = ID3(sys.argv[1])\n"
        "frames = tag.getall('SYLT')\n"
        "if frames:\n"
        "    for text, ms in frames[0].text:\n"
        "        sys.stdout.buffer.write(('%d\\t%s\\n' % (ms, text)).encode('utf-8'))\n";
    std::string output;
    if (runProgram({python, "-c", script, mp3Path}, &output) != 0) {
        return {};
    }
    return parseTimedLines(output);
}

int64_t ffprobeDurationMs(const std::string& path) {
    std::string output;
    if (runProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                    "stream=start_time,duration", "-of", "default=noprint_wrappers=1", path},
                   &output) != 0) {
        return -1;
    }
    double start = 0;
    double duration = -1;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos || line.substr(equals + 1) == "N/A") {
            continue;
        }
        const double value = std::stod(line.substr(equals + 1));
        (line.compare(0, equals, "start_time") == 0 ? start : duration) = value;
    }
    return duration < 0 ? -1 : static_cast<int64_t>(std::llround((duration - start) * 1000.0));
}

std::vector<TimedText> ffmpegLrc(const std::string& lrcPath) {
    // As SubRip: a number, "hh:mm:ss,mmm --> ...", the text, an empty line.
    std::string output;
    if (runProgram({"ffmpeg", "-v", "error", "-i", lrcPath, "-f", "srt", "-"}, &output) != 0) {
        return {};
    }
    std::vector<TimedText> entries;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" --> ") == std::string::npos) {
            continue;
        }
        const uint32_t ms = static_cast<uint32_t>(
            std::stoul(line.substr(0, 2)) * 3600000 + std::stoul(line.substr(3, 2)) * 60000 +
            std::stoul(line.substr(6, 2)) * 1000 + std::stoul(line.substr(9, 3)));
        std::string text;
        std::getline(lines, text);
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        entries.push_back({ms, text});
    }
    return entries;
}

}  // namespace pw::test
