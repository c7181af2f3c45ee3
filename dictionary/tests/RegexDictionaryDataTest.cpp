// The pattern dictionary: rule order, replacements with escapes and group
// references, the scan, empty matches, failing rules and the time budget.
#include "dictionary/RegexDictionaryData.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/tests/DictionaryTestSupport.h"

namespace pw {
namespace {

using namespace std::chrono_literals;
using Rules = test::EntryTable;  // pattern, replacement
using test::replaced;

RegexDictionaryData make(const Rules& rules, bool ignoreCase = false) {
    return test::makeDictionary<RegexDictionaryData>(rules, ignoreCase);
}

// Restores the process-wide budget after a test changes it.
class ScopedBudget {
public:
    explicit ScopedBudget(std::chrono::milliseconds budget)
        : m_old(RegexDictionaryData::ruleTimeBudget()) {
        RegexDictionaryData::setRuleTimeBudget(budget);
    }
    ~ScopedBudget() { RegexDictionaryData::setRuleTimeBudget(m_old); }

private:
    std::chrono::milliseconds m_old;
};

TEST(RegexDictionaryData, RewritesTextRuleAfterRule) {
    const std::vector<test::ReplaceCase> cases = {
        {"later rules see earlier output", {{u"a", u"b"}, {u"b", u"c"}}, false, u"a", u"c"},
        {"in the other order", {{u"b", u"c"}, {u"a", u"b"}}, false, u"a", u"b"},
        {"groups swapped", {{u"([a-z]+)-([a-z]+)", u"$2 $1"}}, false, u"x-y", u"y x"},
        {"every match replaced", {{u"(\\d+)km", u"$1 km"}}, false, u"3km, 12km", u"3 km, 12 km"},
        {"no dollar: inserted literally", {{u"x", u"y z"}}, false, u"axb", u"ay zb"},
        {"$0 is the whole match", {{u"\\d+", u"<$0>"}}, false, u"a1b22", u"a<1>b<22>"},
        {"no such group: literal", {{u"(a)-(b)", u"$7"}}, false, u"a-b", u"$7"},
        {"group took no part: literal", {{u"(a)|(b)", u"[$1$2]"}}, false, u"ab", u"[a$2][$1b]"},
        {"other dollars stay", {{u"x", u"$a $"}}, false, u"x", u"$a $"},
        {"\\n gives CR LF", {{u"(end)", u"$1\\n"}}, false, u"the end", u"the end\r\n"},
        {"\\r, \\t and \\\\", {{u"x", u"a\\rb\\tc\\\\d"}}, false, u"x", u"ab\tc\\d"},
        {"an escaped dollar still refers", {{u"(x)", u"\\$1"}}, false, u"x", u"x"},
        {"lone backslash at the end", {{u"x", u"y\\"}}, false, u"x", u"y"},
        {"inserted text not rescanned", {{u"ab", u"abab"}}, false, u"ab ab", u"abab abab"},
        {"scan sees the changed text", {{u"(?<!b)a", u"b"}}, false, u"aa", u"ba"},
        {"ignoreCase", {{u"abc", u"x"}}, true, u"ABC abc", u"x x"},
        {"case-sensitive by default", {{u"abc", u"x"}}, false, u"ABC abc", u"ABC x"},
        {"multi-line anchors", {{u"^", u"> "}}, false, u"a\r\nb", u"> a\r\n> b"},
        {"empty matches, empty piece", {{u"x*", u""}}, false, u"abc", u"abc"},
        {"empty matches, a piece", {{u"x*", u"-"}}, false, u"axb", u"-a--b-"},
        {"empty pattern", {{u"", u"X"}}, false, u"ab", u"XaXbX"},
        {"word boundaries", {{u"\\b", u"|"}}, false, u"ab cd", u"|ab| |cd|"},
        {"look-ahead", {{u"(?=b)", u"X"}}, false, u"abab", u"aXbaXb"},
        {"steps over a whole pair", {{u"", u"."}}, false, u"\U0001F600", u".\U0001F600."},
        {"empty text", {{u"^$", u"empty"}}, false, u"", u"empty"},
    };
    test::ScopedRecordingUi ui;
    test::expectReplacements<RegexDictionaryData>(cases);
    EXPECT_TRUE(ui->boxes.empty());
}

TEST(RegexDictionaryData, SetKeepsPatternsUniqueAndPlacesNewOnes) {
    RegexDictionaryData dictionary = make({{u"a", u"1"}, {u"b", u"2"}});
    dictionary.set(u"c", u"3", 0);
    dictionary.set(u"d", u"4", 5);
    dictionary.set(u"a", u"one", 0);  // existing: keeps its place
    dictionary.set(u"e", u"5", -1);
    std::vector<std::u16string> order;
    for (const RegexRule& rule : dictionary.rules()) {
        order.push_back(rule.pattern);
    }
    EXPECT_EQ(order, (std::vector<std::u16string>{u"d", u"c", u"a", u"b", u"e"}));
    EXPECT_EQ(dictionary.get(u"a"), u"one");
    EXPECT_EQ(dictionary.get(u"A"), u"");
    EXPECT_TRUE(dictionary.contains(u"c"));
    EXPECT_FALSE(dictionary.contains(u"C"));
    EXPECT_EQ(dictionary.keyAt(0), u"");  // the pane reads rules() instead

    EXPECT_TRUE(dictionary.remove(u"c"));
    EXPECT_FALSE(dictionary.remove(u"c"));
    EXPECT_EQ(dictionary.rules()[1].pattern, u"a");

    // The first rule now runs first: d then a.
    dictionary.set(u"x", u"d", 0);
    EXPECT_EQ(replaced(dictionary, u"x"), u"4");
}

TEST(RegexDictionaryData, DuplicatePatternsOnLoadKeepTheFirstPlaceAndTheLastReplacement) {
    test::TempDir dir;
    test::writeAll(dir.file("RegexDict.txt"),
                   "1\ta\r\n2\tb\r\n3\ta\r\n");  // ASCII: detected, not UTF-16
    RegexDictionaryData dictionary;
    dictionary.setFolder(dir.path() + "/");
    ASSERT_TRUE(dictionary.load("RegexDict.txt"));
    ASSERT_EQ(dictionary.size(), 2);
    EXPECT_EQ(dictionary.rules()[0].pattern, u"a");
    EXPECT_EQ(dictionary.rules()[0].replacement, u"3");
    EXPECT_EQ(dictionary.rules()[1].pattern, u"b");
    EXPECT_FALSE(dictionary.modified());
}

TEST(RegexDictionaryData, AFailingRuleIsReportedAndStopsTheRulesAfterIt) {
    test::ScopedRecordingUi ui;
    RegexDictionaryData dictionary = make({{u"a", u"b"}, {u"(unclosed", u"x"}, {u"c", u"d"}});
    EXPECT_EQ(replaced(dictionary, u"ac"), u"bc");
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text,
              u"Exception Dictionary::regex()\r\nThis Regular Expression may be not "
              u"supported\r\n(unclosed");
    EXPECT_EQ(ui->boxes[0].caption, u"Korvant");

    // Again on the next call, until the rule is mended.
    EXPECT_EQ(replaced(dictionary, u"ac"), u"bc");
    EXPECT_EQ(ui->boxes.size(), 2u);
    dictionary.remove(u"(unclosed");
    EXPECT_EQ(replaced(dictionary, u"ac"), u"bd");
    EXPECT_EQ(ui->boxes.size(), 2u);
}

TEST(RegexDictionaryData, RunawayBacktrackingStopsWithinTheBudget) {
    // One long run of "a" trips the engine's own match limit; short runs each
    // stay under it, and only the time budget stops the rule.
    std::u16string shortRuns;
    while (shortRuns.size() < 20000) {
        shortRuns += std::u16string(18, u'a') + u"b";
    }
    const std::u16string texts[] = {std::u16string(20000, u'a') + u"b", shortRuns};
    for (const std::u16string& body : texts) {
        test::ScopedRecordingUi ui;
        RegexDictionaryData dictionary =
            make({{u"^", u"start "}, {u"(a+)+$", u"!"}, {u"start", u"never"}});
        std::u16string text = body;
        const auto began = std::chrono::steady_clock::now();
        dictionary.replace(text);
        // The budget is well under a second; the margin is for loaded machines.
        EXPECT_LT(std::chrono::steady_clock::now() - began, 2s);
        EXPECT_EQ(text, u"start " + body);
        ASSERT_EQ(ui->boxes.size(), 1u);
        EXPECT_EQ(ui->boxes[0].text, RegexDictionaryData::errorMessage(u"(a+)+$"));
    }
}

TEST(RegexDictionaryData, OrdinaryRulesGiveTheSameResultsWithoutTheBudget) {
    const Rules rules = {
        {u"\\b(\\d{1,2}):00\\b", u"$1 o'clock"},
        {u"(?i)\\bmr\\.", u"Mister"},
        {u"\\s{2,}", u" "},
        {u"(\\d),(\\d{3})", u"$1$2"},
        {u"([一-龯々]+)[（(]([ぁ-ゖ]+)[）)]", u"$2"},
        {u"\\b(\\w+) \\1\\b", u"$1"},
        {u"(?<=\\d)\\s*km\\b", u" kilometres"},
        {u"[!?]{2,}", u"!"},
        {u"x*", u""},
        {u"^\\s+|\\s+$", u""},
    };
    const std::u16string texts[] = {
        u"Mr. Smith left at 10:00  and walked 1,500 km!!",
        u"the the 漢字（かんじ）を 読む",
        u"  spaces  everywhere  ",
        u"",
        u"aaaa a a b",
    };
    test::ScopedRecordingUi ui;
    for (const std::u16string& text : texts) {
        std::u16string plain = text;
        std::u16string timed = text;
        {
            ScopedBudget none(0ms);
            make(rules).replace(plain);
        }
        make(rules).replace(timed);
        EXPECT_EQ(toUtf8(timed), toUtf8(plain));
    }
    EXPECT_TRUE(ui->boxes.empty());
}

TEST(RegexDictionaryData, IgnoreCaseTakesEffectOnRulesCompiledBefore) {
    RegexDictionaryData dictionary = make({{u"abc", u"x"}});
    EXPECT_EQ(replaced(dictionary, u"ABC"), u"ABC");
    dictionary.setIgnoreCase(true);
    EXPECT_EQ(replaced(dictionary, u"ABC"), u"x");
    dictionary.setIgnoreCase(false);
    EXPECT_EQ(replaced(dictionary, u"ABC"), u"ABC");
}

}  // namespace
}  // namespace pw
