// The word dictionary in memory: the longest-match scan, case folding, the
// length index, the modified flag and walking the entries by index.
#include "dictionary/DictionaryData.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/Utf.h"
#include "dictionary/tests/DictionaryTestSupport.h"

namespace pw {
namespace {

using test::EntryTable;
using test::replaced;

DictionaryData make(const EntryTable& entries, bool ignoreCase = false) {
    return test::makeDictionary<DictionaryData>(entries, ignoreCase);
}

TEST(DictionaryData, ReplacesTheLongestKeyAndNeverRescansValues) {
    const std::u16string longKey(256, u'k');
    const std::u16string longestIndexed(255, u'k');
    const std::vector<test::ReplaceCase> cases = {
        {"longer key wins", {{u"New", u"nu"}, {u"New York", u"NY"}}, false, u"New York", u"NY"},
        {"shorter key when longer fails",
         {{u"New", u"nu"}, {u"New York", u"NY"}},
         false,
         u"New Yor",
         u"nu Yor"},
        {"inserted text not rescanned", {{u"ab", u"abab"}}, false, u"ab ab", u"abab abab"},
        {"empty value deletes", {{u"x", u""}}, false, u"axbxc", u"abc"},
        {"deletions in a row", {{u"x", u""}}, false, u"xxx", u""},
        {"leftmost first", {{u"ab", u"1"}, {u"bc", u"2"}}, false, u"abc", u"1c"},
        {"key at the very end", {{u"hi", u"hello"}}, false, u"say hi", u"say hello"},
        {"no word boundaries", {{u"cat", u"dog"}}, false, u"concatenate", u"condogenate"},
        {"Japanese", {{u"東京", u"とうきょう"}}, false, u"東京へ", u"とうきょうへ"},
        {"empty text", {{u"a", u"b"}}, false, u"", u""},
        {"empty dictionary", {}, false, u"abc", u"abc"},
        {"case matters by default", {{u"hello", u"hi"}}, false, u"Hello hello", u"Hello hi"},
        {"ignoreCase folds the text", {{u"hello", u"hi"}}, true, u"Hello HELLO hello", u"hi hi hi"},
        {"ignoreCase never folds keys", {{u"Hello", u"hi"}}, true, u"Hello hello", u"Hello hello"},
        {"ignoreCase, mixed case", {{u"ok", u"okay"}}, true, u"OK, Ok!", u"okay, okay!"},
        {"ignoreCase is ASCII only", {{u"été", u"summer"}}, true, u"ÉTÉ été", u"ÉTÉ summer"},
        {"256 units: no match", {{longKey, u"long"}}, false, longKey, longKey},
        {"keys of 255 units do", {{longestIndexed, u"long"}}, false, longestIndexed, u"long"},
    };
    test::expectReplacements<DictionaryData>(cases);
}

TEST(DictionaryData, LongKeysAreStoredAndListedThoughNotIndexed) {
    const std::u16string longKey(300, u'k');
    DictionaryData dictionary = make({{longKey, u"v"}, {u"ab", u"x"}});
    EXPECT_TRUE(dictionary.contains(longKey));
    EXPECT_EQ(dictionary.get(longKey), u"v");
    EXPECT_EQ(dictionary.size(), 2);
    EXPECT_EQ(dictionary.keyAt(1), longKey);
    EXPECT_EQ(dictionary.maxKeyLength(), 2);
    EXPECT_EQ(dictionary.lengthCount(2), 1u);
    EXPECT_EQ(dictionary.lengthCount(300), 0u);
}

TEST(DictionaryData, RemovedKeysStopMatchingOthersOfTheirLengthGoOn) {
    DictionaryData dictionary = make({{u"aa", u"1"}, {u"bb", u"2"}, {u"ccc", u"3"}});
    EXPECT_TRUE(dictionary.remove(u"aa"));
    EXPECT_FALSE(dictionary.remove(u"aa"));
    EXPECT_FALSE(dictionary.contains(u"aa"));
    EXPECT_EQ(replaced(dictionary, u"aa bb ccc"), u"aa 2 3");
    EXPECT_TRUE(dictionary.remove(u"ccc"));
    EXPECT_EQ(replaced(dictionary, u"aa bb ccc"), u"aa 2 ccc");
}

TEST(DictionaryData, LineBreaksAndTabsCannotReachTheFile) {
    DictionaryData dictionary = make({{u"a\tb", u"line\r\nbreak"}});
    EXPECT_TRUE(dictionary.contains(u"a b"));
    EXPECT_EQ(dictionary.get(u"a b"), u"line  break");
}

TEST(DictionaryData, ResetKeepsAFilledDictionaryWorking) {
    DictionaryData dictionary = make({{u"abc", u"x"}});
    dictionary.reset();
    EXPECT_FALSE(dictionary.modified());
    EXPECT_EQ(dictionary.maxKeyLength(), 3);
    EXPECT_EQ(replaced(dictionary, u"abc"), u"x");
}

TEST(DictionaryData, KeyAtWalksTheEntriesInKeyOrderFromAnyDirection) {
    DictionaryData dictionary;
    std::vector<std::u16string> keys;
    for (int i = 0; i < 50; ++i) {
        keys.push_back(fromUtf8("key" + std::to_string(100 + i)));
        dictionary.set(keys.back(), u"v", -1);
    }
    const int order[] = {0, 1, 2, 49, 48, 25, 26, 10, 40, 3, 3, 0, 49};
    for (const int index : order) {
        EXPECT_EQ(dictionary.keyAt(index), keys[index]) << index;
    }
    EXPECT_EQ(dictionary.keyAt(-1), u"");
    EXPECT_EQ(dictionary.keyAt(50), u"");
    // Changes move entries; the cursor must not point into the old order.
    dictionary.keyAt(30);
    dictionary.remove(keys[0]);
    EXPECT_EQ(dictionary.keyAt(30), keys[31]);
    dictionary.set(u"a", u"v", -1);
    EXPECT_EQ(dictionary.keyAt(0), u"a");
    EXPECT_EQ(dictionary.keyAt(30), keys[30]);
}

}  // namespace
}  // namespace pw
