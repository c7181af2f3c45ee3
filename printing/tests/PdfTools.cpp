// The PDF tools run as programs.
#include "printing/tests/PdfTools.h"

#include <cstdlib>
#include <utility>

#include "audio/tests/AudioTestSupport.h"

namespace pw::test {

std::string missingPdfTools() {
    std::string ignored;
    for (const char* tool : {"pdfinfo", "pdftotext"}) {
        if (runProgram({tool, "-v"}, &ignored) < 0) {
            return std::string(tool) +
                   " cannot be run: install poppler-utils (scripts/install-deps.sh does)";
        }
    }
    return {};
}

int pdfPageCount(const std::string& pdf) {
    std::string info;
    if (runProgram({"pdfinfo", pdf}, &info) != 0) {
        return -1;
    }
    const size_t at = info.find("\nPages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 7);
}

std::string pdfText(const std::string& pdf) {
    std::string text;
    // In the page's own layout, so that what stands on one line stays together.
    if (runProgram({"pdftotext", "-layout", "-enc", "UTF-8", pdf, "-"}, &text) != 0) {
        return {};
    }
    // The fonts' ligatures (ff, fi, fl, ffi, ffl) come back as one character each.
    const std::pair<const char*, const char*> ligatures[] = {{"\xEF\xAC\x80", "ff"},
                                                             {"\xEF\xAC\x81", "fi"},
                                                             {"\xEF\xAC\x82", "fl"},
                                                             {"\xEF\xAC\x83", "ffi"},
                                                             {"\xEF\xAC\x84", "ffl"}};
    for (const auto& [ligature, letters] : ligatures) {
        const std::string from = ligature;
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
            text.replace(at, from.size(), letters);
        }
    }
    return text;
}

}  // namespace pw::test
