// The lyrics writers: player formats, row wrapping, LRC files and SYLT tags,
// read back with our own reader.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "audio/SyltTagReader.h"
#include "audio/tests/Id3TestTag.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "export/LyricsInfoManager.h"

namespace pw {
namespace {

PlayerFormat lrcFormat(std::u16string encoding = u"UTF-8") {
    PlayerFormat format;
    format.name = u"LRC";
    format.headerName = PlayerFormat::kLrcHeader;
    format.encoding = std::move(encoding);
    format.width = 4000;
    format.fontSize = 10;
    return format;
}

PlayerFormat syltFormat(std::u16string language = u"eng") {
    PlayerFormat format;
    format.name = u"SYLT";
    format.headerName = PlayerFormat::kSyltHeader;
    format.language = std::move(language);
    return format;
}

LyricsManagerException thrownBy(const std::function<void()>& body) {
    try {
        body();
    } catch (const LyricsManagerException& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was thrown";
    return LyricsManagerException(u"", 0, "", 0);
}

TEST(PlayerFormats, AttributesAndTheirDefaults) {
    test::TempDir dir;
    test::writeAll(dir.file("Lyrics.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Lyrics>"
                   "<PlayerFormat name=\"A\" appName=\"app\" headerName=\"SYLT\" version=\"1.2\" "
                   "language=\"jpn\" encoding=\"UTF-16\" x=\"3\" y=\"4\" width=\"240\" "
                   "rowCount=\"5\" fontSize=\"12\" extendedTag=\":\"/>"
                   "<PlayerFormat name=\"B\"/><Format name=\"ignored\"/></Lyrics>");
    const std::vector<PlayerFormat> formats = loadPlayerFormats(dir.file("Lyrics.xml"));
    ASSERT_EQ(formats.size(), 2u);
    const PlayerFormat& a = formats[0];
    EXPECT_EQ(a.name, u"A");
    EXPECT_EQ(a.appName, u"app");
    EXPECT_TRUE(a.isSylt());
    EXPECT_EQ(a.version, u"1.2");
    EXPECT_EQ(a.syltLanguage(), "jpn");
    EXPECT_EQ(a.encoding, u"UTF-16");
    EXPECT_EQ(std::vector<int>({a.x, a.y, a.width, a.rowCount, a.fontSize}),
              std::vector<int>({3, 4, 240, 5, 12}));
    EXPECT_EQ(a.extendedTag, u":");
    const PlayerFormat& b = formats[1];
    EXPECT_TRUE(b.headerName.empty());
    EXPECT_EQ(std::vector<int>({b.x, b.y, b.width, b.rowCount, b.fontSize}),
              std::vector<int>({0, 0, 0, 0, 0}));
    EXPECT_EQ(b.extendedTag, u".");
    EXPECT_EQ(findPlayerFormat(formats, u"B"), 1);
    EXPECT_EQ(findPlayerFormat(formats, u"SYLT"), 0);
    EXPECT_EQ(findPlayerFormat(formats, u"C"), -1);
}

TEST(PlayerFormats, FormatElementsServeWhenThereIsNoPlayerFormat) {
    test::TempDir dir;
    test::writeAll(
        dir.file("Lyrics.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Lyrics><Format name=\"one\" headerName=\".lrc\"/><Format name=\"two\"/></Lyrics>");
    const std::vector<PlayerFormat> formats = loadPlayerFormats(dir.file("Lyrics.xml"));
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].name, u"one");
    EXPECT_TRUE(formats[0].isLrc());
    EXPECT_TRUE(loadPlayerFormats(dir.file("missing.xml")).empty());
}

TEST(PlayerFormats, TheShippedFileOffersLrcAndSylt) {
    const auto formats = loadPlayerFormats(test::sourceDir() + "/Resources/Lyrics.xml");
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_TRUE(formats[0].isLrc());
    EXPECT_EQ(formats[0].encoding, u"UTF-8");
    EXPECT_EQ(formats[1].encoding, u"Shift_JIS");
    EXPECT_TRUE(formats[2].isSylt());
    for (const PlayerFormat& format : formats) {
        EXPECT_FALSE(format.name.empty());
    }
}

TEST(RowWrapping, Cases) {
    struct Case {
        const char* what;
        std::u16string text;
        int width;
        int fontSize;
        std::vector<std::u16string> rows;
    };
    const Case cases[] = {
        {"a width of 40 wraps at 100",
         std::u16string(25, u'a'),
         40,
         10,
         {std::u16string(20, u'a'), std::u16string(5, u'a')}},
        {"cut after the last space",
         u"the quick brown fox jumps over",
         100,
         10,
         {u"the quick brown fox ", u"jumps over"}},
        {"a word longer than a row",
         u"abcdefghijklmnopqrstuvwxyz",
         100,
         10,
         {u"abcdefghijklmnopqrst", u"uvwxyz"}},
        {"a space at the start is no place to cut",
         u" abcdefghijklmnopqrstu",
         100,
         10,
         {u" abcdefghijklmnopqrs", u"tu"}},
        {"wide characters count the whole size",
         u"一二三四五六七八九十壱",
         100,
         10,
         {u"一二三四五六七八九十", u"壱"}},
        {"sizes below 10 count as 10",
         u"一二三四五六七八九十壱",
         100,
         4,
         {u"一二三四五六七八九十", u"壱"}},
        {"line breaks and controls are skipped", u"ab\r\ncd\tef", 100, 10, {u"abcdef"}},
        {"a character wider than any row keeps the whole text",
         u"漢字\r\nです",
         100,
         200,
         {u"漢字です"}},
        {"what follows such a character stays in the last row",
         u"ab\r\n漢字",
         100,
         200,
         {u"a", u"b", u"漢字"}},
        {"empty text is one empty row", u"", 100, 10, {u""}},
    };
    for (const Case& c : cases) {
        PlayerFormat format;
        format.width = c.width;
        format.fontSize = c.fontSize;
        EXPECT_EQ(wrapRows(c.text, format), c.rows) << c.what;
    }
}

TEST(LrcTimeTags, Cases) {
    struct Case {
        uint32_t ms;
        std::u16string extendedTag;
        std::u16string tag;
    };
    const Case cases[] = {
        {83456, u".", u"[01:23.45]"}, {83456, u"", u"[01:23]"},     {83456, u":", u"[01:23:45]"},
        {0, u".", u"[00:00.00]"},     {59999, u".", u"[00:59.99]"}, {6000000, u".", u"[100:00.00]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(lrcTimeTag(c.ms, c.extendedTag)), toUtf8(c.tag)) << c.ms;
    }
}

TEST(LrcFile, EachEntryStartsAfterThoseBeforeAndSharesItsTimeAmongItsRows) {
    test::TempDir dir;
    PlayerFormat format = lrcFormat();
    format.width = 100;  // 20 letters a row
    LyricsInfoManager manager({format});
    manager.lyrics().add(u"Hello.", 2000);
    manager.lyrics().add(u"aaaaaaaaaaaaaaaaaaaabbbbbbbbbbbbbbbbbbbbcc", 3000);
    manager.lyrics().add(u"Bye.", 500);
    manager.createLrcFile(dir.file("talk.mp3"));
    EXPECT_EQ(test::readAll(dir.file("talk.lrc")),
              "[00:00.00]Hello.\r\n"
              "[00:02.00]aaaaaaaaaaaaaaaaaaaa\r\n"
              "[00:03.00]bbbbbbbbbbbbbbbbbbbb\r\n"
              "[00:04.00]cc\r\n"
              "[00:05.00]Bye.\r\n");
}

TEST(LrcFile, WrittenInTheFormatsEncoding) {
    struct Case {
        std::u16string encoding;
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"UTF-8", u"日本", "[00:00.00]\xE6\x97\xA5\xE6\x9C\xAC\r\n"},
        {u"UTF-8N", u"A", "\xEF\xBB\xBF[00:00.00]A\r\n"},
        {u"UTF-16", u"A", std::string("\xFF\xFE", 2) + test::id3::utf16(u"[00:00.00]A\r\n")},
        // Shift_JIS whatever the locale says.
        {u"Shift_JIS", u"日本", "[00:00.00]\x93\xFA\x96\x7B\r\n"},
        // A character the encoding lacks costs that character, not the line.
        {u"Shift_JIS", u"a😀b", "[00:00.00]a?b\r\n"},
        {u"Binary", u"é", "[00:00.00]\xC3\xA9\r\n"},
    };
    test::ScopedEnv locale("LC_ALL", "C");
    for (const Case& c : cases) {
        test::TempDir dir;
        LyricsInfoManager manager({lrcFormat(c.encoding)});
        manager.lyrics().add(c.text, 1000);
        manager.createLrcFile(dir.file("a.mp3"));
        EXPECT_EQ(test::readAll(dir.file("a.lrc")), c.bytes) << toUtf8(c.encoding);
    }
}

TEST(LrcFile, Failures) {
    test::TempDir dir;
    PlayerFormat unnamed = lrcFormat();
    unnamed.name.clear();
    LyricsInfoManager noName({unnamed});
    noName.lyrics().add(u"x", 1);
    auto e = thrownBy([&] { noName.createLrcFile(dir.file("a.mp3")); });
    EXPECT_EQ(e.code(), LyricsManagerException::kLrcFileFailed);
    EXPECT_EQ(e.message(), u"LyricsHeader に名前が設定されていないため");
    EXPECT_EQ(e.function(), "LyricsInfoManager::createLrcFile");

    LyricsInfoManager empty({lrcFormat()});
    e = thrownBy([&] { empty.createLrcFile(dir.file("a.mp3")); });
    EXPECT_EQ(e.message(), u"歌詞に使用するセンテンスが設定されていないため");

    LyricsInfoManager nowhere({lrcFormat()});
    nowhere.lyrics().add(u"x", 1);
    const std::string path = dir.file("missing/a.mp3");
    e = thrownBy([&] { nowhere.createLrcFile(path); });
    EXPECT_EQ(e.code(), LyricsManagerException::kLrcFileFailed);
    EXPECT_EQ(toUtf8(e.message()), dir.file("missing/a.lrc") + " ファイルを作成できなかったため");
    EXPECT_NE(e.fullMessage().find(u"ErrorCode: 0x5\r\nLlrc ファイルの作成に失敗しました"),
              std::u16string::npos);
}

class SyltTag : public ::testing::Test {
protected:
    void SetUp() override { test::writeAll(m_mp3, test::id3::kAudio); }

    LyricsInfoManager manager(std::u16string language = u"eng") {
        LyricsInfoManager m({syltFormat(std::move(language))});
        m.lyrics().add(u"Good morning.", 1500);
        m.lyrics().add(u"おはようございます。", 2000);
        m.lyrics().add(u"Past a minute 😀", 700);
        return m;
    }

    test::TempDir m_dir;
    std::string m_mp3 = m_dir.file("talk.mp3");
};

TEST_F(SyltTag, ReadsBackWithStartTimesSummedFromTheDurations) {
    LyricsInfoManager writer = manager();
    writer.lyrics().add(u"Over sixty-five seconds", 65000);
    // A NUL would end its text early and the rest would be read as times.
    writer.lyrics().add(std::u16string(u"a\0b", 3), 1);
    writer.lyrics().add(u"last", 1);
    writer.setSyltTag(m_mp3);
    LyricsInfo read;
    readSyltTag(m_mp3, read);
    std::vector<std::u16string> texts = writer.lyrics().texts;
    texts[4] = u"ab";
    EXPECT_EQ(read.texts, texts);
    EXPECT_EQ(read.values, (std::vector<uint32_t>{0, 1500, 3500, 4200, 69200, 69201}));
    // The audio follows the new tag unchanged.
    const std::string bytes = test::readAll(m_mp3);
    EXPECT_EQ(bytes.substr(bytes.size() - test::id3::kAudio.size()), test::id3::kAudio);
}

TEST_F(SyltTag, TheTagAndFrameAreLaidOutAsID3v23WithAMarkBeforeEachText) {
    manager().setSyltTag(m_mp3);
    const std::string bytes = test::readAll(m_mp3);
    ASSERT_EQ(bytes.substr(0, 6), std::string("ID3\x03\0\0", 6));
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const size_t tagSize = byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9);
    EXPECT_EQ(bytes.size(), 10 + tagSize + test::id3::kAudio.size());  // no padding
    EXPECT_EQ(bytes.substr(10, 4), "SYLT");
    const size_t frameSize = byte(14) << 24 | byte(15) << 16 | byte(16) << 8 | byte(17);
    EXPECT_EQ(frameSize + 10, tagSize);
    const std::string body = bytes.substr(20, frameSize);
    EXPECT_EQ(body.substr(0, 10), std::string("\x01"
                                              "eng\x02\x01\xFF\xFE\0\0",
                                              10));
    const std::string first = "\xFF\xFE" + test::id3::utf16(u"Good morning.") +
                              std::string(2, '\0') + test::id3::bigEndian(0, 4);
    const std::string second = "\xFF\xFE" + test::id3::utf16(u"おはようございます。") +
                               std::string(2, '\0') + test::id3::bigEndian(1500, 4);
    EXPECT_EQ(body.substr(10, first.size() + second.size()), first + second);
}

TEST_F(SyltTag, TheLanguageIsTheFormatsWhenItHasThreeLetters) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"en", "eng"}, {u"jpn", "jpn"}, {u"", "eng"}, {u"engl", "eng"}};
    for (const auto& [language, written] : cases) {
        test::writeAll(m_mp3, test::id3::kAudio);
        manager(language).setSyltTag(m_mp3);
        EXPECT_EQ(test::readAll(m_mp3).substr(21, 3), written) << toUtf8(language);
    }
}

TEST_F(SyltTag, AnOlderTagStaysBehindTheNewOne) {
    const std::string old =
        test::id3::tag(3, test::id3::frame(3, "SYLT", test::id3::syltBody(1, {{u"old", 9}}))) +
        test::id3::kAudio;
    test::writeAll(m_mp3, old);
    manager().setSyltTag(m_mp3);
    const std::string bytes = test::readAll(m_mp3);
    ASSERT_GT(bytes.size(), old.size());
    EXPECT_EQ(bytes.substr(bytes.size() - old.size()), old);
    LyricsInfo read;
    readSyltTag(m_mp3, read);
    EXPECT_EQ(read.texts.front(), u"Good morning.");
}

TEST_F(SyltTag, FailuresNameTheFileAndLeaveItAsItWas) {
    auto e = thrownBy([&] { manager().setSyltTag(m_dir.file("none.mp3")); });
    EXPECT_EQ(e.code(), LyricsManagerException::kSyltTagFailed);
    EXPECT_EQ(e.function(), "LyricsInfoManager::setSyltTag");
    EXPECT_EQ(toUtf8(e.message()), m_dir.file("none.mp3") + "\nファイルが見つからないため");

    test::writeAll(m_dir.file("empty.mp3"), "");
    e = thrownBy([&] { manager().setSyltTag(m_dir.file("empty.mp3")); });
    EXPECT_EQ(toUtf8(e.message()), m_dir.file("empty.mp3") + "\nファイルのサイズが０のため");

    // A file that cannot be replaced keeps every byte.
    ASSERT_EQ(chmod(m_mp3.c_str(), 0444), 0);
    e = thrownBy([&] { manager().setSyltTag(m_mp3); });
    EXPECT_EQ(e.code(), LyricsManagerException::kSyltTagFailed);
    EXPECT_EQ(test::readAll(m_mp3), test::id3::kAudio);
    chmod(m_mp3.c_str(), 0644);
}

TEST_F(SyltTag, InsertSubtitleChoosesTheWriterByTheFormat) {
    LyricsInfoManager none;
    none.lyrics().add(u"x", 1);
    auto e = thrownBy([&] { none.insertSubtitleToMP3(m_mp3); });
    EXPECT_EQ(e.message(), u"MP3 に歌詞をつけることは出来ませんでした。");
    EXPECT_EQ(e.function(), "LyricsInfoManager::insertSubtitleToMP3");

    PlayerFormat player = syltFormat();
    player.headerName = u"PLAYER";
    LyricsInfoManager manager({lrcFormat(), syltFormat(), player});
    manager.lyrics().add(u"Hello", 1000);
    manager.insertSubtitleToMP3(m_mp3);
    EXPECT_EQ(test::readAll(m_dir.file("talk.lrc")), "[00:00.00]Hello\r\n");
    EXPECT_EQ(test::readAll(m_mp3), test::id3::kAudio);

    manager.setFormatIndex(1);
    manager.insertSubtitleToMP3(m_mp3);
    LyricsInfoManager reader;
    reader.readSyltTag(m_mp3);
    EXPECT_EQ(reader.lyrics().texts, manager.lyrics().texts);

    // Player blocks are not written: the file stays as it is.
    const std::string tagged = test::readAll(m_mp3);
    manager.setFormatIndex(2);
    e = thrownBy([&] { manager.insertSubtitleToMP3(m_mp3); });
    EXPECT_EQ(e.code(), LyricsManagerException::kSyltTagFailed);
    EXPECT_EQ(test::readAll(m_mp3), tagged);
}

}  // namespace
}  // namespace pw
