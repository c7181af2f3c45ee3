// Reading synchronised lyrics from hand-built tags: every version, text
// encoding and header variant, the exact failure for damaged and lying tags,
// and that a huge file is read only as far as its tag.
#include <unistd.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "audio/SyltTagReader.h"
#include "audio/tests/Id3TestTag.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

namespace id3 = test::id3;
using id3::Entry;

const std::vector<Entry> kEntries = {
    {u"Good morning.", 0},
    {u"Grüße aus Köln", 65535},
    {u"café", 65536},
    {u"See you", 754321},
};

LyricsInfo readBytes(const std::string& bytes) {
    std::istringstream in(bytes);
    LyricsInfo lyrics;
    readSyltTag(in, lyrics);
    return lyrics;
}

void expectEntries(const LyricsInfo& lyrics, const std::vector<Entry>& entries,
                   const std::string& label) {
    ASSERT_EQ(lyrics.size(), entries.size()) << label;
    ASSERT_EQ(lyrics.values.size(), entries.size()) << label;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(lyrics.texts[i], entries[i].text) << label << " entry " << i;
        EXPECT_EQ(lyrics.values[i], entries[i].time) << label << " entry " << i;
    }
}

void expectEntries(const std::string& bytes, const std::vector<Entry>& entries,
                   const std::string& label) {
    try {
        expectEntries(readBytes(bytes), entries, label);
    } catch (const LyricsManagerException& e) {
        ADD_FAILURE() << label << ": " << e.what();
    }
}

// The code of the exception a read throws, 0 when it succeeds.
int failureCode(const std::string& bytes, std::u16string* message = nullptr) {
    try {
        readBytes(bytes);
    } catch (const LyricsManagerException& e) {
        EXPECT_EQ(e.function(), "LyricsInfoManager::readSyltTag");
        if (message) {
            *message = e.message();
        }
        return e.code();
    }
    return 0;
}

TEST(ReadSyltTag, EveryVersionAndTextEncoding) {
    // A 2.4 frame of more than 127 bytes ahead of the lyrics: its syncsafe
    // size reads differently as a plain number.
    const std::string title(300, 'T');
    struct Case {
        const char* label;
        int major;
        unsigned char encoding;
    };
    const Case cases[] = {
        {"2.2 Latin-1", 2, 0}, {"2.2 UTF-16", 2, 1}, {"2.3 Latin-1", 3, 0},  {"2.3 UTF-16", 3, 1},
        {"2.4 Latin-1", 4, 0}, {"2.4 UTF-16", 4, 1}, {"2.4 UTF-16BE", 4, 2}, {"2.4 UTF-8", 4, 3},
    };
    for (const Case& c : cases) {
        const bool v22 = c.major == 2;
        const std::string frames =
            id3::frame(c.major, v22 ? "TT2" : "TIT2", std::string(1, '\0') + title) +
            id3::frame(c.major, v22 ? "SLT" : "SYLT", id3::syltBody(c.encoding, kEntries));
        expectEntries(id3::tag(c.major, frames, 0, 64) + id3::kAudio, kEntries, c.label);
    }
}

TEST(ReadSyltTag, TextsInEveryUtf16Layout) {
    // Writers differ in where they put byte-order marks: on the descriptor
    // only, on every text, big-endian, or none at all.
    const std::string time = id3::bigEndian(1200, 4);
    struct Case {
        const char* label;
        std::string descriptor;
        std::string text;
    };
    const Case cases[] = {
        {"mark on every text", id3::kBomLe + id3::kNul16,
         id3::kBomLe + id3::utf16(u"日本語 🎵") + id3::kNul16},
        {"mark on the descriptor only", id3::kBomLe + id3::kNul16,
         id3::utf16(u"日本語 🎵") + id3::kNul16},
        {"big-endian descriptor", id3::kBomBe + id3::kNul16,
         id3::utf16(u"日本語 🎵", true) + id3::kNul16},
        {"big-endian text", id3::kNul16, id3::kBomBe + id3::utf16(u"日本語 🎵", true) + id3::kNul16},
        {"no marks", id3::kNul16, id3::utf16(u"日本語 🎵") + id3::kNul16},
        {"marks inside the text", id3::kNul16,
         id3::kBomLe + id3::utf16(u"日本") + id3::kBomLe + id3::utf16(u"語 🎵") + id3::kNul16},
    };
    for (const Case& c : cases) {
        const std::string body = std::string(
                                     "\x01"
                                     "eng\x02\x01",
                                     6) +
                                 c.descriptor + c.text + time;
        expectEntries(id3::tag(3, id3::frame(3, "SYLT", body)), {{u"日本語 🎵", 1200}}, c.label);
    }
}

TEST(ReadSyltTag, ExtendedHeadersUnsynchronisationAndFrameFlags) {
    const std::string body = id3::syltBody(0, {{u"ÿÿ", 70000}, {u"end", 0xFFFFFFFF}});
    const std::vector<Entry> expected = {{u"ÿÿ", 70000}, {u"end", 0xFFFFFFFF}};
    const std::string sylt3 = id3::frame(3, "SYLT", body);
    // Version 2.3: the size leaves itself out; 2.4: syncsafe, counting itself.
    const std::string extended3 = id3::bigEndian(6, 4) + std::string(6, '\0');
    const std::string extended4 = id3::syncsafe(6) + std::string("\x01\x00", 2);
    const std::string dataLength = id3::syncsafe(static_cast<uint32_t>(body.size()));
    struct Case {
        const char* label;
        std::string tag;
    };
    const Case cases[] = {
        {"2.3 extended header", id3::tag(3, extended3 + sylt3, 0x40)},
        {"2.4 extended header", id3::tag(4, extended4 + id3::frame(4, "SYLT", body), 0x40)},
        {"2.3 unsynchronised tag", id3::tag(3, id3::unsynchronise(extended3 + sylt3), 0xC0)},
        {"2.2 unsynchronised tag",
         id3::tag(2, id3::unsynchronise(id3::frame(2, "SLT", body)), 0x80)},
        {"2.4 unsynchronised frame with data length",
         id3::tag(4, id3::frame(4, "SYLT", dataLength + id3::unsynchronise(body), 0x0003))},
        {"2.4 tag-wide unsynchronisation",
         id3::tag(4, id3::frame(4, "SYLT", id3::unsynchronise(body)), 0x80)},
        {"2.4 grouped frame", id3::tag(4, id3::frame(4, "SYLT", "\x07" + body, 0x0040))},
        {"2.3 grouped frame", id3::tag(3, id3::frame(3, "SYLT", "\x07" + body, 0x0020))},
    };
    for (const Case& c : cases) {
        expectEntries(c.tag + id3::kAudio, expected, c.label);
    }

    // Some writers of 2.4 tags store frame sizes plainly; a size whose bytes
    // are not syncsafe is read that way.
    const std::vector<Entry> longEntry = {{std::u16string(150, u'a'), 9}};
    const std::string longBody = id3::syltBody(0, longEntry);
    ASSERT_GT(longBody.size(), 128u);
    ASSERT_LT(longBody.size(), 256u);
    expectEntries(id3::tag(4, id3::frame(3, "SYLT", longBody)), longEntry,
                  "2.4 frame size written plainly");
}

TEST(ReadSyltTag, DamagedEntriesEndTheListCleanly) {
    const std::string head(
        "\x01"
        "eng\x02\x01\xFF\xFE\x00\x00",
        10);
    const std::string first = id3::utf16(u"one") + id3::kNul16 + id3::bigEndian(100, 4);
    struct Case {
        const char* label;
        std::string tail;
        std::vector<Entry> expected;
    };
    const Case cases[] = {
        {"odd byte at the end", std::string("\x41", 1), {{u"one", 100}}},
        {"unterminated text", id3::utf16(u"two"), {{u"one", 100}}},
        {"short time", id3::utf16(u"two") + id3::kNul16 + "\x00\x01", {{u"one", 100}}},
        {"lone surrogates",
         id3::utf16(u"a") + std::string("\x00\xD8", 2) + id3::utf16(u"b") +
             std::string("\x00\xDC", 2) + id3::kNul16 + id3::bigEndian(5, 4) +
             std::string("\x3D\xD8", 2) + id3::kNul16 + id3::bigEndian(6, 4),
         {{u"one", 100}, {u"a\uFFFDb\uFFFD", 5}, {u"\uFFFD", 6}}},
    };
    for (const Case& c : cases) {
        expectEntries(id3::tag(3, id3::frame(3, "SYLT", head + first + c.tail)), c.expected,
                      c.label);
    }
    // A descriptor cut off by the end of the frame leaves no entries.
    expectEntries(id3::tag(3, id3::frame(3, "SYLT", head.substr(0, 8))), {},
                  "unterminated descriptor");
}

TEST(ReadSyltTag, AFileCutInsideTheLyricsFrameListsItsCompleteEntries) {
    // A download cut short: every entry up to the end of the file is kept.
    const std::vector<Entry> firstTwo(kEntries.begin(), kEntries.begin() + 2);
    for (const unsigned char encoding : {0, 1}) {
        const std::string body = id3::syltBody(encoding, kEntries);
        const std::string partial = id3::syltBody(encoding, firstTwo);
        struct Case {
            const char* label;
            std::string tag;
            size_t headerBytes;  // before the body
        };
        const Case cases[] = {
            {"2.2", id3::tag(2, id3::frame(2, "SLT", body)), 10 + 6},
            {"2.3", id3::tag(3, id3::frame(3, "TIT2", "\0x") + id3::frame(3, "SYLT", body)),
             10 + 12 + 10},
            {"2.4", id3::tag(4, id3::frame(4, "SYLT", body)), 10 + 10},
        };
        for (const Case& c : cases) {
            const std::string label =
                std::string(c.label) + " encoding " + std::to_string(encoding);
            // Cut inside the third entry's text, then inside its time.
            const size_t third = c.headerBytes + partial.size();
            expectEntries(c.tag.substr(0, third + 3), firstTwo, label + ", text cut");
            expectEntries(c.tag.substr(0, third + (encoding ? 12 : 6)), firstTwo,
                          label + ", time cut");
            expectEntries(c.tag.substr(0, c.headerBytes + body.size() - 4),
                          {kEntries.begin(), kEntries.end() - 1}, label + ", last time cut");
        }
    }
    // The same through an unsynchronised tag, whose bytes shift as FF gains a 00.
    const std::string body = id3::syltBody(0, {{u"ÿÿ", 70000}, {u"end", 9}});
    const std::string tag = id3::tag(3, id3::unsynchronise(id3::frame(3, "SYLT", body)), 0x80);
    expectEntries(tag.substr(0, tag.size() - 6), {{u"ÿÿ", 70000}}, "2.3 unsynchronised");
}

TEST(ReadSyltTag, DamagedAndLyingTagsAreRejectedWithTheirCode) {
    const std::string body = id3::syltBody(1, kEntries);
    const std::string sylt = id3::frame(3, "SYLT", body);
    const std::string good = id3::tag(3, sylt) + id3::kAudio;
    std::string lyingFrame = id3::tag(3, id3::frame(3, "TIT2", "\0x") + sylt);
    lyingFrame.replace(14, 4, id3::bigEndian(0x9FFFFF, 4));  // TIT2 claims 10 MB
    std::string lyingSylt = id3::tag(3, sylt);
    lyingSylt.replace(14, 4, id3::bigEndian(static_cast<uint32_t>(body.size()) + 1, 4));
    std::string unsyncsafeSize = good;
    unsyncsafeSize[8] = '\x80';
    struct Case {
        const char* label;
        std::string bytes;
        int code;
    };
    const Case cases[] = {
        {"empty file", "", 2},
        {"no tag", id3::kAudio, 2},
        {"header cut short", good.substr(0, 8), 2},
        {"version 2.5", id3::tag(5, sylt), 2},
        {"tag size not syncsafe", unsyncsafeSize, 2},
        {"compressed 2.2 tag", id3::tag(2, id3::frame(2, "SLT", body), 0x40), 2},
        {"file ends inside the tag before the lyrics",
         id3::tag(3, id3::frame(3, "TIT2", std::string(500, 'x')) + sylt).substr(0, 300), 2},
        {"frame claims more than the tag holds", lyingFrame + id3::kAudio, 2},
        {"lyrics frame claims one byte more", lyingSylt + id3::kAudio, 2},
        {"extended header claims more than the tag",
         id3::tag(3, id3::bigEndian(0x7FFFFFFF, 4) + sylt, 0x40), 2},
        {"2.4 extended header smaller than itself", id3::tag(4, id3::syncsafe(2) + sylt, 0x40), 2},
        {"compressed 2.3 frame", id3::tag(3, id3::frame(3, "SYLT", body, 0x0080)), 2},
        {"encrypted 2.4 frame", id3::tag(4, id3::frame(4, "SYLT", body, 0x0004)), 2},
        {"data length flag on an empty frame", id3::tag(4, id3::frame(4, "SYLT", "", 0x0001)), 2},
        {"body shorter than its header",
         id3::tag(3, id3::frame(3, "SYLT",
                                "\x01"
                                "en")),
         2},
        {"no lyrics frame", id3::tag(3, id3::frame(3, "TIT2", "\0x"), 0, 100), 3},
        {"frame of 10 MB ends the list",
         id3::tag(3, "APIC" + id3::bigEndian(0xA00000, 4) + "\0\0" + sylt), 3},
    };
    for (const Case& c : cases) {
        std::u16string message;
        EXPECT_EQ(failureCode(c.bytes, &message), c.code) << c.label;
        EXPECT_FALSE(message.empty()) << c.label;
    }
    EXPECT_EQ(failureCode(good), 0);
}

TEST(ReadSyltTag, AFailedReadLeavesTheLyricsAsTheyWere) {
    LyricsInfo lyrics;
    lyrics.add(u"kept", 7);
    std::istringstream in(id3::tag(3, id3::frame(3, "TIT2", "\0x")));
    EXPECT_THROW(readSyltTag(in, lyrics), LyricsManagerException);
    ASSERT_EQ(lyrics.size(), 1u);
    EXPECT_EQ(lyrics.texts[0], u"kept");

    try {
        readSyltTag("/nonexistent/talk.mp3", lyrics);
        FAIL() << "no exception";
    } catch (const LyricsManagerException& e) {
        EXPECT_EQ(e.code(), LyricsManagerException::kCannotOpenFile);
        EXPECT_EQ(e.message(), u"/nonexistent/talk.mp3");
    }
    EXPECT_EQ(lyrics.size(), 1u);
}

TEST(ReadSyltTag, AGigabyteFileIsReadOnlyAsFarAsItsTag) {
    test::TempDir dir;
    const std::string path = dir.file("long.mp3");
    // A sparse file: a lying 256 MB tag whose first frame claims almost
    // 10 MB, the lyrics after it, then nothing but zeros up to 1 GB.
    const std::string sylt = id3::frame(3, "SYLT", id3::syltBody(1, kEntries));
    std::string head = id3::tag(3, "APIC" + id3::bigEndian(0x9FFFFF, 4) + std::string(2, '\0'));
    head.replace(6, 4, id3::syncsafe(0x0FFFFFFF));
    {
        std::ofstream out(path, std::ios::binary);
        out << head;
        out.seekp(static_cast<std::streamoff>(head.size()) + 0x9FFFFF);
        out << sylt;
    }
    ASSERT_EQ(truncate(path.c_str(), 1LL << 30), 0);

    auto bytesRead = [] {
        std::ifstream io("/proc/self/io");
        std::string key;
        long long value = 0;
        while (io >> key >> value) {
            if (key == "rchar:") {
                return value;
            }
        }
        return -1LL;
    };
    const long long before = bytesRead();
    LyricsInfo lyrics;
    readSyltTag(path, lyrics);
    const long long after = bytesRead();
    expectEntries(lyrics, kEntries, "after a 10 MB frame");
    if (before >= 0) {
        EXPECT_LT(after - before, 256 * 1024) << "bytes read from the file";
    }
}

TEST(LyricsManagerException, MessageLayoutAndCodeTexts) {
    struct Case {
        LyricsManagerException exception;
        std::u16string text;
    };
    const Case cases[] = {
        {{u"talk.mp3", 1, "readSyltTag", 42},
         u"Function: readSyltTag\r\nLine:     42\r\nException:\r\ntalk.mp3"
         u"\r\nErrorCode: 0x1\r\nCouldn't open this mp3 file"},
        {{u"", 5, "LyricsInfoManager::createLrcFile", 7},
         u"Function: LyricsInfoManager::createLrcFile\r\nLine:     7\r\nException:"
         u"\r\nErrorCode: 0x5\r\nLlrc ファイルの作成に失敗しました"},
        {{u"no frame", 0x1F, "f", 1},
         u"Function: f\r\nLine:     1\r\nException:\r\nno frame\r\nErrorCode: 0x1f"},
        {{u"plain", 0, "f", 2}, u"Function: f\r\nLine:     2\r\nException:\r\nplain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.exception.fullMessage(), c.text);
    }
    EXPECT_EQ(LyricsManagerException::codeText(6), u"\r\nLSylt タグを MP3 に設定できませんでした");
    EXPECT_EQ(LyricsManagerException::codeText(4),
              u"\r\nLists/Lyrics.txt ファイルが正しく読み込めていません。");
    // The program's exception: callers that catch Exception see it too.
    const Exception& base = LyricsManagerException(u"x", 3, "f", 1);
    EXPECT_EQ(base.code(), 3);
}

}  // namespace
}  // namespace pw
