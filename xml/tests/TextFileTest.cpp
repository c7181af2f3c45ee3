// Text files: detection, byte-order marks, code pages and safe writing.
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "xml/CodePage.h"
#include "xml/TextFile.h"

namespace pw {
namespace {

using test::readAll;
using test::TempDir;
using test::writeAll;

// Sets LC_ALL, which decides the system code page, for one test.
struct ScopedLocale : test::ScopedEnv {
    explicit ScopedLocale(const char* locale) : ScopedEnv("LC_ALL", locale) {}
};

std::string encode(std::u16string_view text, const char* charset) {
    std::string bytes;
    EXPECT_TRUE(encodeCodePage(text, charset, bytes));
    return bytes;
}

const std::u16string kJapanese = u"日本語の例文です。～ ｶﾀｶﾅ (half-width) と \"quotes\"";
const std::u16string kEnglish = u"Could you pass me the salt, please?\r\nTom & Mary <b>";

TEST(TextFile, DetectsTheEncodingOfUnmarkedText) {
    ScopedLocale japanese("ja_JP.UTF-8");
    const std::string utf8 = std::string(120, 'x') + "日本語のテキストです";
    const std::string sjis = encode(u"日本語です", kCharsetCp932);
    const std::string euc = encode(u"日本語のテキストです", kCharsetEucJp);
    struct Case {
        const char* what;
        std::string bytes;
        int code;
        std::u16string text;
    };
    const Case cases[] = {
        {"plain ASCII", "plain text\r\n", kSystemCodePage, u"plain text\r\n"},
        {"long UTF-8 with Japanese", utf8, kUtf8,
         std::u16string(120, u'x') + u"日本語のテキストです"},
        {"short UTF-8 with an accent", "caf\xC3\xA9", kUtf8, u"café"},
        {"well-formed Shift_JIS", sjis, kSystemCodePage, u"日本語です"},
        {"Shift_JIS with a stray byte", sjis + "\xFD", kSystemCodePage, u"日本語です\uFFFD"},
        {"well-formed EUC-JP", euc, kEucJp, u"日本語のテキストです"},
        {"EUC-JP ending in a stray byte", euc + "\xFF", kEucJp, u"日本語のテキストです\uFFFD"},
        {"a NUL byte makes it binary", std::string("ab\0cd", 5), kBinary, u"ab"},
    };
    for (const Case& c : cases) {
        std::string bytes = c.bytes;
        std::u16string text;
        EXPECT_EQ(decodeTextBytes(bytes, text), c.code) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

// Bytes that are well-formed both as EUC-JP and as Shift_JIS, but not as
// UTF-8 (which comes first).
bool readsBothWays(const std::string& bytes) {
    const auto size = static_cast<long long>(bytes.size());
    return eucJpCount(bytes) == size && shiftJisCount(bytes) == size && utf8Count(bytes) < size;
}

TEST(TextFile, TextThatReadsAsBothEucJpAndShiftJisIsReadAsTheMoreJapaneseOne) {
    ScopedLocale japanese("ja_JP.UTF-8");
    struct Case {
        std::u16string text;
        const char* charset;  // the file's real encoding
    };
    const Case cases[] = {
        // Half-width katakana, whose EUC-JP reading is a few unrelated kanji.
        {u"ｺﾝﾆﾁﾜｰ", kCharsetCp932},
        {u"ﾃﾞｰﾀ", kCharsetCp932},
        {u"ｱﾘｶﾞﾄｳ", kCharsetCp932},
        {u"ｹﾞﾝｷﾃﾞｽｶ", kCharsetCp932},
        {u"ﾐｾﾃｸﾀﾞｻｲ", kCharsetCp932},
        {u"<b>ｶﾀｶﾅ</b>", kCharsetCp932},
        // EUC-JP sentences, whose Shift_JIS reading is half-width punctuation and kana.
        {u"ひらがな", kCharsetEucJp},
        {u"カタカナ", kCharsetEucJp},
        {u"日本語のテキスト", kCharsetEucJp},
        {u"私は学生です。", kCharsetEucJp},
        {u"彼は毎朝駅まで歩きます。", kCharsetEucJp},
        {u"明日は雨が降るでしょう。", kCharsetEucJp},
        {u"天気がいいですね。", kCharsetEucJp},
        {u"今日は金曜日です", kCharsetEucJp},
        // Half-width katakana in EUC-JP read as Shift_JIS are kanji of the
        // first level: a tie, which EUC-JP wins.
        {u"ｺﾝﾆﾁﾜｰ", kCharsetEucJp},
    };
    for (const Case& c : cases) {
        const std::string bytes = encode(c.text, c.charset);
        ASSERT_TRUE(readsBothWays(bytes)) << c.charset << " " << toUtf8(c.text);
        const int expected = c.charset == kCharsetEucJp ? kEucJp : kSystemCodePage;
        std::string copy = bytes;
        std::u16string text;
        EXPECT_EQ(decodeTextBytes(copy, text), expected) << c.charset << " " << toUtf8(c.text);
        EXPECT_EQ(text, c.text) << c.charset;
    }

    // Through the tables of each encoding: every word of two half-width kana
    // in Shift_JIS, and every two hiragana or katakana in EUC-JP, that reads
    // both ways is read as it was written.
    int ambiguous = 0;
    auto check = [&](const std::u16string& word, const char* charset, int expected) {
        const std::string bytes = encode(word, charset);
        if (readsBothWays(bytes)) {
            ++ambiguous;
            EXPECT_EQ(detectEncoding(bytes), expected) << charset << " " << toUtf8(word);
        }
    };
    for (char16_t first = u'ｱ'; first <= u'ﾝ'; ++first) {
        for (char16_t second = u'ｰ'; second <= u'ﾝ'; ++second) {
            check(std::u16string{first, second}, kCharsetCp932, kSystemCodePage);
        }
    }
    for (const auto& [low, high] : {std::pair{u'ぁ', u'ん'}, std::pair{u'ァ', u'ヶ'}}) {
        for (char16_t first = low; first <= high; ++first) {
            for (char16_t second = low; second <= high; ++second) {
                check(std::u16string{first, second}, kCharsetEucJp, kEucJp);
            }
        }
    }
    EXPECT_GT(ambiguous, 1000);

    // A declaration decides before plausibility does.
    const std::string declaredEuc = "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a>" +
                                    encode(u"ｺﾝﾆﾁﾜｰ", kCharsetCp932) + "</a>";
    EXPECT_EQ(detectEncoding(declaredEuc), kEucJp);
    const std::string declaredSjis = "<?xml version=\"1.0\" encoding='shift_jis'?><a>" +
                                     encode(u"ひらがな", kCharsetEucJp) + "</a>";
    EXPECT_EQ(detectEncoding(declaredSjis), kSystemCodePage);
    EXPECT_EQ(declaredXmlEncoding("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"), "SHIFTJIS");
    EXPECT_EQ(declaredXmlEncoding("<a encoding=\"EUC-JP\"/>"), "");
}

TEST(TextFile, TheVectorisedUtf8CheckAgreesWithTheByteByByteOne) {
    // Forms at the edges of validity, placed across every offset of a block.
    const std::string forms[] = {
        "\xC3\xA9",
        "\xE3\x81\x82",
        "\xF0\x9F\x98\x80",
        "\xF4\x8F\xBF\xBF",  // valid
        "\xC0\x80",
        "\xC1\xBF",
        "\xE0\x80\xAF",
        "\xF0\x80\x80\xAF",  // overlong
        "\xED\xA0\x80",
        "\xED\xBF\xBF",  // surrogates
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xFF",  // too large
        "\x80",
        "\xBF\x80",
        "\xC3",
        "\xE3\x81",
        "\xF0\x9F\x98",  // broken
        "\xC3\xA9\xA9",
        std::string("a\0b", 3),
        "\xED\x9F\xBF",
        "\xEE\x80\x80",
    };
    int compared = 0;
    for (const std::string& form : forms) {
        for (size_t before = 0; before < 70; ++before) {
            for (const size_t after : {size_t{0}, size_t{1}, size_t{31}, size_t{40}}) {
                const std::string bytes = std::string(before, 'x') + form + std::string(after, 'y');
                EXPECT_EQ(classifyUtf8(bytes), classifyUtf8(bytes, false))
                    << before << "+" << after << " " << testing::PrintToString(form);
                ++compared;
            }
        }
    }
    // And random text mixing ASCII, Japanese and stray bytes.
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 214013 + 2531011;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const size_t length = next() % 200;
        while (bytes.size() < length) {
            const unsigned kind = next() % 10;
            bytes += kind < 5   ? std::string(1, static_cast<char>('a' + next() % 26))
                     : kind < 9 ? forms[next() % 4]
                                : std::string(1, static_cast<char>(0x80 + next() % 128));
        }
        EXPECT_EQ(classifyUtf8(bytes), classifyUtf8(bytes, false)) << testing::PrintToString(bytes);
    }
    EXPECT_GT(compared, 5000);
    EXPECT_EQ(classifyUtf8("plain"), kSystemCodePage);
    EXPECT_EQ(classifyUtf8(std::string(100, 'a') + "\xE3\x81\x82"), kUtf8);
    EXPECT_EQ(classifyUtf8(std::string(100, 'a') + "\xE3\x81"), -1);
    EXPECT_EQ(classifyUtf8(std::string("\xFF\0", 2)), kBinary);
}

TEST(TextFile, MarksDecideBeforeHintsAndHintsBeforeDetection) {
    struct Case {
        std::string bytes;
        int hint;
        int code;
        std::u16string text;
    };
    const Case cases[] = {
        {std::string("\xFF\xFE"
                     "A\0B\0",
                     6),
         kDetectEncoding, kUtf16, u"AB"},
        {std::string("\xFE\xFF\0A\x30\x42", 6), kDetectEncoding, kUtf16, u"Aあ"},
        {std::string("\xFF\xFE"
                     "A\0\0\0B\0",
                     8),
         kDetectEncoding, kUtf16, u"A"},
        {std::string("\xFF\xFE"
                     "A\0B",
                     5),
         kUtf8, kUtf16, u"AB"},  // odd last byte
        {"\xEF\xBB\xBF"
         "\xE3\x81\x82",
         kEucJp, kUtf8WithBom, u"あ"},
        {std::string("A\0B\0", 4), kUtf16, kUtf16, u"AB"},
        {"\xE3\x81\x82", kUtf8WithBom, kUtf8WithBom, u"あ"},
        {"", kDetectEncoding, kUtf16, u""},
        {"", kUtf8, kUtf8, u""},
        {"\x80\x81"
         "a",
         kBinary, kBinary, u"€\uFFFDa"},  // the locale's CP1252
    };
    ScopedLocale c("C");
    for (const Case& k : cases) {
        std::string bytes = k.bytes;
        std::u16string text = u"old";
        EXPECT_EQ(decodeTextBytes(bytes, text, k.hint), k.code);
        EXPECT_EQ(text, k.text);
    }
}

TEST(TextFile, CountsWellFormedSequences) {
    EXPECT_EQ(shiftJisCount("a\x82\xA0\x80\xB1\x82"), 4);
    EXPECT_EQ(shiftJisCount(std::string("a\0", 2)), -1);
    EXPECT_EQ(utf8Count("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80\x80\xE3\x81"), 10);
    EXPECT_EQ(eucJpCount("a\xA4\xA2\x8E\xB1\x8F\xB0\xA1\xA4"), 8);
    EXPECT_EQ(eucJpCount("a\x80z"), 0);
    EXPECT_EQ(eucJpCount("a\xA4z"), 0);
}

TEST(TextFile, EucJpPairsBecomeShiftJisPairs) {
    const std::pair<std::string, std::string> cases[] = {
        {"\xA4\xA2", "\x82\xA0"},      // あ
        {"\xB4\xC1", "\x8A\xBF"},      // 漢
        {"\xA1\xC1", "\x81\x60"},      // ～
        {"\xF4\xA6", "\xEA\xA4"},      // 熙, last row of JIS X 0208
        {"a\x8E\xB1z", "a\xB1z"},      // half-width katakana
        {"\x8F\xB0\xA1", "\x81\xAC"},  // JIS X 0212 has no Shift_JIS form
        {"ab\xA4", "ab\xA4"},
    };
    for (const auto& [euc, sjis] : cases) {
        std::string bytes = euc;
        eucJpToShiftJis(bytes);
        EXPECT_EQ(bytes, sjis);
    }
}

TEST(TextFile, EucJpReadsEverySequenceAsItsCharacterAndWritesItBack) {
    // Three-byte sequences: JIS X 0212 kanji and accented letters.
    const std::pair<std::string, std::u16string> threeByte[] = {
        {"\x8F\xB0\xA1", u"丂"},
        {"\x8F\xAB\xB1", u"é"},
        {"caf\x8F\xAB\xB1 \xA4\xC7\x8F\xAA\xA4\x8F\xAB\xA2", u"café でÂà"},
    };
    for (const auto& [bytes, text] : threeByte) {
        EXPECT_EQ(decodeEucJp(bytes), text) << toUtf8(text);
        std::string written;
        ASSERT_TRUE(encodeEucJp(text, written)) << toUtf8(text);
        EXPECT_EQ(written, bytes) << toUtf8(text);
    }

    // Through the whole table: every sequence the decoder defines writes back
    // as a sequence that reads as the same character, and as the very same
    // bytes unless another sequence also reads as that character.
    std::vector<std::string> sequences;
    for (unsigned first = 0xA1; first <= 0xFE; ++first) {
        for (unsigned second = 0xA1; second <= 0xFE; ++second) {
            const std::string pair{static_cast<char>(first), static_cast<char>(second)};
            sequences.push_back(pair);
            sequences.push_back("\x8F" + pair);
        }
    }
    for (unsigned c = 0xA1; c <= 0xDF; ++c) {
        sequences.push_back(std::string{'\x8E', static_cast<char>(c)});
    }
    std::map<std::u16string, int> readers;
    for (const std::string& sequence : sequences) {
        ++readers[decodeEucJp(sequence)];
    }
    int defined = 0;
    for (const std::string& sequence : sequences) {
        const std::u16string text = decodeEucJp(sequence);
        if (text.size() != 1 || text == u"\uFFFD") {
            continue;
        }
        ++defined;
        std::string written;
        ASSERT_TRUE(encodeEucJp(text, written)) << toUtf8(text);
        EXPECT_EQ(decodeEucJp(written), text);
        if (readers[text] == 1) {
            EXPECT_EQ(written, sequence) << toUtf8(text);
        }
    }
    EXPECT_GT(defined, 13000);

    // What EUC-JP cannot hold is refused rather than written as something else.
    std::string written;
    for (const std::u16string& text :
         {std::u16string(u"emoji \U0001F600"), std::u16string(u"ŉ"), std::u16string(u"\u20AC")}) {
        if (encodeEucJp(text, written)) {
            EXPECT_EQ(decodeEucJp(written), text) << toUtf8(text);
        }
    }
    EXPECT_FALSE(encodeEucJp(u"emoji \U0001F600", written));
}

TEST(TextFile, WrittenFilesReadBackInEveryWritableEncoding) {
    ScopedLocale japanese("ja_JP.UTF-8");
    TempDir dir;
    struct Case {
        int code;
        std::u16string text;
        int readAs;  // detection of a file without a mark cannot tell ASCII apart
        std::string startsWith;
    };
    const Case cases[] = {
        {kSystemCodePage, kEnglish, kSystemCodePage, "Could"},
        {kSystemCodePage, kJapanese, kSystemCodePage, "\x93\xFA"},
        {kUtf16, kEnglish, kUtf16,
         "\xFF\xFE"
         "C"},
        {kUtf16, kJapanese, kUtf16, "\xFF\xFE\xE5\x65"},
        {kDetectEncoding, kJapanese, kUtf16, "\xFF\xFE\xE5\x65"},
        {kUtf8, kEnglish, kSystemCodePage, "Could"},
        {kUtf8, kJapanese, kUtf8, "\xE6\x97\xA5"},
        {kUtf8WithBom, kEnglish, kUtf8WithBom,
         "\xEF\xBB\xBF"
         "C"},
        {kUtf8WithBom, kJapanese, kUtf8WithBom, "\xEF\xBB\xBF\xE6\x97\xA5"},
        {kEucJp, kEnglish, kSystemCodePage, "Could"},
        {kEucJp, kJapanese, kEucJp, "\xC6\xFC"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("text.txt");
        std::string error;
        ASSERT_TRUE(writeTextFile(path, c.text, c.code, &error)) << c.code << error;
        EXPECT_TRUE(readAll(path).starts_with(c.startsWith)) << c.code;
        std::u16string text;
        EXPECT_EQ(readTextFile(path, text), c.readAs) << c.code;
        EXPECT_EQ(text, c.text) << c.code;
    }

    // Traditional Chinese is read only when asked for, and written back the same.
    const std::u16string chinese = u"繁體中文測試";
    ASSERT_TRUE(writeTextFile(dir.file("big5.txt"), chinese, kCodePage950));
    std::u16string text;
    const std::string path = dir.file("big5.txt");
    EXPECT_EQ(readTextFile(std::u16string(path.begin(), path.end()), text, kCodePage950),
              kCodePage950);
    EXPECT_EQ(text, chinese);
}

TEST(TextFile, FailedWritesLeaveTheOldFileAlone) {
    ScopedLocale c("C");  // CP1252 has no Japanese
    TempDir dir;
    const std::string path = dir.file("keep.txt");
    writeAll(path, "old content");
    const std::pair<int, std::u16string> cases[] = {
        {kSystemCodePage, kJapanese},
        {kEucJp, u"emoji \U0001F600"},
        {kBinary, u"binary has no text form"},
        {42, u"no such encoding"},
    };
    for (const auto& [code, text] : cases) {
        std::string error;
        EXPECT_FALSE(writeTextFile(path, text, code, &error)) << code;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readAll(path), "old content");
    }
    EXPECT_FALSE(writeTextFile(dir.file("no/such/folder.txt"), kEnglish, kUtf8));

    std::u16string out = u"unchanged";
    EXPECT_EQ(readTextFile(dir.file("missing.txt"), out), -1);
    EXPECT_EQ(readTextFile(dir.path(), out), -1);
    EXPECT_EQ(out, u"unchanged");
}

TEST(TextFile, NamesAndLocalesMapToCodePages) {
    const std::pair<std::u16string, int> names[] = {
        {u"Shift_JIS", 0}, {u"ANSI", 0},   {u"UTF-16", 1}, {u"EUC-JP", 5}, {u"UTF-8", 2},
        {u"UTF8", 2},      {u"UTF-8N", 3}, {u"Binary", 6}, {u"utf-8", 0},  {u"", 0},
    };
    for (const auto& [name, code] : names) {
        EXPECT_EQ(encodingFromName(name), code);
    }
    const std::pair<const char*, std::string> locales[] = {
        {"ja_JP.UTF-8", "CP932"},  {"ja", "CP932"},          {"zh_TW.UTF-8", "CP950"},
        {"zh_HK", "CP950"},        {"zh_CN.UTF-8", "CP936"}, {"ko_KR.UTF-8", "CP949"},
        {"en_US.UTF-8", "CP1252"}, {"C", "CP1252"},          {"", "CP1252"},
    };
    for (const auto& [locale, codePage] : locales) {
        EXPECT_EQ(codePageForLocale(locale), codePage) << locale;
    }
}

}  // namespace
}  // namespace pw
