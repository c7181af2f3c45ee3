// The command-line file.
#include "app/cli/CommandLine.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "content/SentenceListModel.h"
#include "core/Utf.h"

namespace pw {
namespace {
std::string g_startDirectory;
}

std::u16string joinArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const auto& argument : arguments) {
        joined += argument;
    }
    return fromUtf8(joined);
}

void rememberStartDirectory() {
    std::error_code ec;
    const auto current = std::filesystem::current_path(ec);
    g_startDirectory = ec ? std::string() : current.string();
}

const std::string& startDirectory() {
    return g_startDirectory;
}

std::string fromStartFolder(const std::string& path) {
    if (path.empty() || path.front() == '/' || g_startDirectory.empty()) {
        return path;
    }
    return g_startDirectory + "/" + path;
}

std::string resolveStartPath(const std::string& path, const std::string& startFolder) {
    if (path.empty() || path.front() == '/' || startFolder.empty()) {
        return path;
    }
    const std::string candidate = startFolder + "/" + path;
    std::error_code ec;
    if (std::filesystem::exists(candidate, ec)) {
        return std::filesystem::weakly_canonical(candidate, ec).string();
    }
    return path;
}

bool parseNumber(const std::string& text, int minimum, int maximum, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value >= minimum && value <= maximum;
}

bool parseRows(const std::string& text, int& first, int& last) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        if (!parseNumber(text, 1, 999999999, first)) {
            return false;
        }
        last = first;
        return true;
    }
    if (!parseNumber(text.substr(0, dash), 1, 999999999, first)) {
        return false;
    }
    const std::string end = text.substr(dash + 1);
    if (end.empty()) {
        last = 0;
        return true;
    }
    return parseNumber(end, first, 999999999, last);
}

bool takeLearningFile(const std::string& arg, bool lacksValue, std::string& file,
                      std::string& error) {
    if (arg.rfind("--", 0) == 0) {
        error = lacksValue ? arg + " needs a value" : "unknown option " + arg;
        return false;
    }
    if (!file.empty()) {
        error = "one learning file only: " + arg;
        return false;
    }
    file = arg;
    return true;
}

int openCommandRows(SentenceListModel& list, const std::string& file, int firstRow, int lastRow,
                    std::vector<int>& rows, std::ostream& err) {
    const std::string path = resolveStartPath(file, startDirectory());
    if (!list.open(path)) {
        err << "phrasewright: cannot open " << file << "\n"
            << toUtf8(list.openError()) << "\n"
            << searchedFoldersNote(path);
        return 1;
    }
    const int count = list.recordCount();
    const int last = lastRow == 0 ? count : lastRow;
    if (firstRow > count || last > count) {
        err << "phrasewright: " << file << " has " << count << " sentences\n";
        return 2;
    }
    rows.clear();
    for (int row = firstRow; row <= last; ++row) {
        rows.push_back(row - 1);
    }
    return 0;
}

std::string searchedFoldersNote(const std::string& resolvedPath) {
    std::error_code ec;
    if (resolvedPath.empty() || resolvedPath.front() == '/' ||
        std::filesystem::exists(resolvedPath, ec)) {
        return {};
    }
    // Neither where the user is nor where the program lives.
    const std::string programFolder = std::filesystem::current_path(ec).string();
    if (startDirectory().empty() || startDirectory() == programFolder) {
        return "It was looked for in the program's folder " + programFolder + ".\n";
    }
    return "It was looked for in " + startDirectory() + " and in the program's folder " +
           programFolder + ".\n";
}

}  // namespace pw
