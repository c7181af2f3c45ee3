// Dictionary files: what save writes, what load accepts (our own files, files
// typed by hand in UTF-8 and Shift_JIS, malformed lines), and failures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/RegexDictionaryData.h"
#include "dictionary/tests/DictionaryTestSupport.h"

namespace pw {
namespace {

using test::EntryTable;
using test::readAll;
using test::TempDir;
using test::writeAll;

using test::kBom;
using test::utf16;

// Sets LC_ALL, which decides the system code page, for one test.
struct ScopedLocale : test::ScopedEnv {
    explicit ScopedLocale(const char* locale) : ScopedEnv("LC_ALL", locale) {}
};

// A dictionary of type D reading name from folder.
template <typename D>
D inFolder(const TempDir& dir) {
    D dictionary;
    dictionary.setFolder(dir.path() + "/");
    return dictionary;
}

TEST(DictionaryFile, SaveWritesValueTabKeyLinesInKeyOrderAsUtf16) {
    TempDir dir;
    DictionaryData dictionary = inFolder<DictionaryData>(dir);
    dictionary.setName("dict.txt");
    dictionary.set(u"b", u"2", -1);
    dictionary.set(u"a", u"1", -1);
    dictionary.set(u"c", u"", -1);
    ASSERT_TRUE(dictionary.save());
    EXPECT_EQ(readAll(dir.file("dict.txt")), kBom + utf16("1\ta\r\n2\tb\r\n\tc\r\n"));

    // Emptied, it leaves only the mark.
    for (const char16_t* key : {u"a", u"b", u"c"}) {
        dictionary.remove(key);
    }
    ASSERT_TRUE(dictionary.save());
    EXPECT_EQ(readAll(dir.file("dict.txt")), kBom);
}

TEST(DictionaryFile, WhatWeWriteReadsBackIdentically) {
    TempDir dir;
    DictionaryData words = inFolder<DictionaryData>(dir);
    words.setName("dict.txt");
    const std::pair<std::u16string, std::u16string> entries[] = {
        {u"東京", u"とうきょう"},  {u"New York", u"NY"},
        {u"\U0001F600", u"smile"}, {u"x", u""},
        {u"ｶﾅ", u"カナ"},          {std::u16string(300, u'z'), u"long"},
    };
    for (const auto& [key, value] : entries) {
        words.set(key, value, -1);
    }
    ASSERT_TRUE(words.save());
    DictionaryData wordsAgain = inFolder<DictionaryData>(dir);
    ASSERT_TRUE(wordsAgain.load("dict.txt"));
    EXPECT_EQ(wordsAgain.entries(), words.entries());
    EXPECT_FALSE(wordsAgain.modified());

    RegexDictionaryData patterns = inFolder<RegexDictionaryData>(dir);
    patterns.setName("RegexDict.txt");
    patterns.set(u"(\\d+)\\s*km", u"$1 kilometres", -1);
    patterns.set(u"^\\s+", u"", -1);
    patterns.set(u"a\tb", u"line\nbreak\tand tab", -1);  // stored as escapes
    ASSERT_TRUE(patterns.save());
    RegexDictionaryData patternsAgain = inFolder<RegexDictionaryData>(dir);
    ASSERT_TRUE(patternsAgain.load("RegexDict.txt"));
    ASSERT_EQ(patternsAgain.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(patternsAgain.rules()[i].pattern, patterns.rules()[i].pattern);
        EXPECT_EQ(patternsAgain.rules()[i].replacement, patterns.rules()[i].replacement);
    }
    std::u16string text = u"a\tb";
    patternsAgain.replace(text);
    EXPECT_EQ(text, u"line\r\nbreak\tand tab");
}

TEST(DictionaryFile, FilesTypedByHandLoadInTheirEncodings) {
    struct Case {
        const char* file;
        const char* locale;  // whose code page unmarked legacy text is read in
        EntryTable expected;
    };
    const Case cases[] = {
        // UTF-8 without a mark, lines ending in LF as editors here write them.
        {"utf8-lf.txt",
         "C",
         {{u"New York", u"ニューヨーク"},
          {u"e.g.", u"for example"},
          {u"日本語", u"にほんご"},
          {u"東京", u"とうきょう"}}},
        // Shift_JIS with CR LF, as a Japanese Windows editor saves it.
        {"shift_jis-crlf.txt",
         "ja_JP.UTF-8",
         {{u"i.e.", u"that is"}, {u"東京", u"とうきょう"}, {u"漢字", u"かんじ"}}},
    };
    for (const Case& c : cases) {
        ScopedLocale locale(c.locale);
        DictionaryData dictionary;
        dictionary.setFolder(test::sourceDir() + "/dictionary/tests/data/");
        ASSERT_TRUE(dictionary.load(c.file)) << c.file;
        EXPECT_EQ(dictionary.entries(),
                  DictionaryData::Entries(c.expected.begin(), c.expected.end()))
            << c.file;
    }
}

TEST(DictionaryFile, LoadReadsOnlyWellFormedLines) {
    struct Case {
        const char* what;
        std::string body;  // ASCII, written as UTF-16 with a mark
        EntryTable expected;
    };
    const Case cases[] = {
        {"a last line without CR LF is not an entry", "1\ta\r\n2\tb", {{u"a", u"1"}}},
        {"the later of two lines with one key wins", "1\ta\r\n2\ta\r\n", {{u"a", u"2"}}},
        {"blank and tab-less lines are skipped, not merged",
         "1\ta\r\n\r\nnote\r\n2\tb\r\n",
         {{u"a", u"1"}, {u"b", u"2"}}},
        {"three-column lines are skipped and leave their neighbours alone",
         "1\ta\r\nx\ty\tz\r\n2\tb\r\n",
         {{u"a", u"1"}, {u"b", u"2"}}},
        {"an empty value or key is kept", "\ta\r\nv\t\r\n", {{u"", u"v"}, {u"a", u""}}},
        {"a file without any TAB leaves the dictionary empty", "just words\r\n", {}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeAll(dir.file("dict.txt"), kBom + utf16(c.body));
        DictionaryData dictionary = inFolder<DictionaryData>(dir);
        dictionary.set(u"old", u"entry", -1);
        EXPECT_TRUE(dictionary.load("dict.txt")) << c.what;
        EXPECT_FALSE(dictionary.modified()) << c.what;
        DictionaryData::Entries expected(c.expected.begin(), c.expected.end());
        EXPECT_EQ(dictionary.entries(), expected) << c.what;
    }
}

TEST(DictionaryFile, ALastLineWithoutLineEndGetsOneOnTheNextSave) {
    TempDir dir;
    writeAll(dir.file("dict.txt"), kBom + utf16("1\ta\r\n2\tb"));
    DictionaryData dictionary = inFolder<DictionaryData>(dir);
    ASSERT_TRUE(dictionary.load("dict.txt"));
    dictionary.set(u"c", u"3", -1);
    ASSERT_TRUE(dictionary.save());
    EXPECT_EQ(readAll(dir.file("dict.txt")), kBom + utf16("1\ta\r\n3\tc\r\n"));
}

TEST(DictionaryFile, AMissingOrEmptyFileKeepsTheEntries) {
    TempDir dir;
    writeAll(dir.file("empty.txt"), "");
    writeAll(dir.file("mark-only.txt"), kBom);
    for (const char* name : {"missing.txt", "empty.txt", "mark-only.txt"}) {
        DictionaryData words = inFolder<DictionaryData>(dir);
        words.set(u"kept", u"yes", -1);
        EXPECT_FALSE(words.load(name)) << name;
        EXPECT_EQ(words.name(), name);
        EXPECT_EQ(words.get(u"kept"), u"yes") << name;
        EXPECT_FALSE(words.modified()) << name;

        RegexDictionaryData patterns = inFolder<RegexDictionaryData>(dir);
        patterns.set(u"kept", u"yes", -1);
        EXPECT_FALSE(patterns.load(name)) << name;
        EXPECT_EQ(patterns.size(), 1) << name;
    }
}

TEST(DictionaryFile, SaveWritesOnlyWhenModified) {
    TempDir dir;
    writeAll(dir.file("dict.txt"), kBom + utf16("1\ta\r\n"));
    DictionaryData dictionary = inFolder<DictionaryData>(dir);
    ASSERT_TRUE(dictionary.load("dict.txt"));
    writeAll(dir.file("dict.txt"), "changed elsewhere");
    EXPECT_TRUE(dictionary.save());
    EXPECT_EQ(readAll(dir.file("dict.txt")), "changed elsewhere");

    dictionary.set(u"b", u"2", -1);
    EXPECT_TRUE(dictionary.save());
    EXPECT_EQ(readAll(dir.file("dict.txt")), kBom + utf16("1\ta\r\n2\tb\r\n"));
}

TEST(DictionaryFile, AFailedSaveLeavesTheOldFileAsItWas) {
    TempDir dir;
    const std::string old = kBom + utf16("1\ta\r\n");
    writeAll(dir.file("dict.txt"), old);
    ASSERT_EQ(chmod(dir.file("dict.txt").c_str(), 0444), 0);
    for (const bool pattern : {false, true}) {
        std::unique_ptr<BaseDictionaryData> dictionary;
        if (pattern) {
            dictionary = std::make_unique<RegexDictionaryData>();
        } else {
            dictionary = std::make_unique<DictionaryData>();
        }
        dictionary->setFolder(dir.path() + "/");
        ASSERT_TRUE(dictionary->load("dict.txt"));
        dictionary->set(u"b", u"2", -1);
        EXPECT_FALSE(dictionary->save());
        EXPECT_TRUE(dictionary->modified());
        EXPECT_EQ(readAll(dir.file("dict.txt")), old);

        dictionary->setFolder(dir.path() + "/no such folder/");
        EXPECT_FALSE(dictionary->save());
    }
}

}  // namespace
}  // namespace pw
