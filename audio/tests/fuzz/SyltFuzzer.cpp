// Fuzz target: synchronised lyrics from arbitrary bytes, both as a whole file
// and as the body of a lyrics frame inside a sound tag of each version.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "audio/SyltTagReader.h"

namespace {

void read(const std::string& bytes) {
    std::istringstream in(bytes);
    pw::LyricsInfo lyrics;
    try {
        pw::readSyltTag(in, lyrics);
    } catch (const pw::LyricsManagerException& e) {
        if (e.message().empty() || e.fullMessage().empty()) {
            std::abort();
        }
        return;
    }
    if (lyrics.texts.size() != lyrics.values.size()) {
        std::abort();
    }
}

std::string syncsafe(size_t value) {
    std::string out;
    for (int shift = 21; shift >= 0; shift -= 7) {
        out.push_back(static_cast<char>((value >> shift) & 0x7F));
    }
    return out;
}

std::string plain(size_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    read(bytes);
    if (size >= 0x100000) {
        return 0;
    }
    // The same bytes as a lyrics frame, so that the body reader sees them all.
    read("ID3\x02" + std::string(2, '\0') + syncsafe(size + 6) + "SLT" + plain(size, 3) + bytes);
    read("ID3\x03" + std::string(2, '\0') + syncsafe(size + 10) + "SYLT" + plain(size, 4) +
         std::string(2, '\0') + bytes);
    read("ID3\x04" + std::string(2, '\0') + syncsafe(size + 10) + "SYLT" + syncsafe(size) +
         std::string(2, '\0') + bytes);
    return 0;
}
