// Lyrics written by another program: mutagen puts SYLT frames into real MP3
// files (ID3v2.3 and 2.4, every text encoding, times beyond 16 bits), and the
// reader must find the same texts and times.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "audio/SyltTagReader.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

// Debian's interpreter carries python3-mutagen; another python3 on the PATH may not.
std::string pythonWithMutagen() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(candidate) + " -c 'import mutagen' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) {
            return candidate;
        }
    }
    return {};
}

TEST(PeerWrittenLyrics, MutagenSyltFramesReadBackExactly) {
    const std::string python = pythonWithMutagen();
    ASSERT_FALSE(python.empty())
        << "python3 with mutagen is needed to write the test files (Debian: python3-mutagen)";
    test::TempDir dir;
    const std::string script = test::sourceDir() + "/audio/tests/fixtures/make_sylt_mp3s.py";
    const std::string command = python + " '" + script + "' '" + dir.path() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0)
        << command << " failed (it needs sox and lame as well as mutagen)";

    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir.path())) {
        if (item.path().extension() != ".expected") {
            continue;
        }
        ++files;
        const std::string name = item.path().stem().string();
        std::ifstream expected(item.path());
        std::vector<std::pair<uint32_t, std::u16string>> entries;
        for (std::string line; std::getline(expected, line);) {
            const size_t tab = line.find('\t');
            entries.emplace_back(std::stoul(line.substr(0, tab)), fromUtf8(line.substr(tab + 1)));
        }
        LyricsInfo lyrics;
        ASSERT_NO_THROW(readSyltTag(dir.file(name + ".mp3"), lyrics)) << name;
        ASSERT_EQ(lyrics.size(), entries.size()) << name;
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(lyrics.values[i], entries[i].first) << name << " entry " << i;
            EXPECT_EQ(toUtf8(lyrics.texts[i]), toUtf8(entries[i].second)) << name << " entry " << i;
        }
    }
    EXPECT_EQ(files, 6);

    // The tone alone has no tag.
    LyricsInfo lyrics;
    try {
        readSyltTag(dir.file("tone.mp3"), lyrics);
        FAIL() << "the bare tone has no lyrics";
    } catch (const LyricsManagerException& e) {
        EXPECT_EQ(e.code(), LyricsManagerException::kNoValidTag);
    }
}

}  // namespace
}  // namespace pw
