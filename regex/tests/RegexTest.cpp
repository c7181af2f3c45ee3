// Compilation errors, the syntax the dictionaries rely on, groups, options and
// the deadline of the regular-expression wrapper.
#include "regex/Regex.h"

#include <gtest/gtest.h>

#include <string>

#include "core/Utf.h"

namespace pw {
namespace {

using namespace std::chrono_literals;

std::string narrow(std::u16string_view text) {
    return toUtf8(text);
}

// The text of the first match, or "<none>".
std::u16string firstMatch(const Regex& regex, std::u16string_view subject, size_t start = 0) {
    RegexMatch match;
    if (regex.search(subject, start, match) != RegexStatus::kMatch) {
        return u"<none>";
    }
    return std::u16string(match.group(subject, 0));
}

// Runs of "a" each ended by "b": no start offset alone reaches the match
// limit, but all of them together take minutes with (a+)+$.
std::u16string backtrackingTrap(size_t size) {
    std::u16string text;
    while (text.size() < size) {
        text += std::u16string(18, u'a') + u"b";
    }
    return text;
}

TEST(Regex, CompileErrorsSayWhatAndWhere) {
    struct Case {
        std::u16string pattern;
        std::string message;
        size_t offset;
    };
    const Case cases[] = {
        {u"(ab", "missing closing parenthesis", 3},
        {u"ab)", "unmatched closing parenthesis", 2},
        {u"a{3,1}", "numbers out of order", 5},
        {u"[z-a]", "range out of order", 3},
        {u"abc\\", "\\ at end of pattern", 4},
        {u"*a", "quantifier does not follow a repeatable item", 0},
        {u"(?<=a+)b", "lookbehind assertion is not fixed length", 0},
        {u"a\\2(b)", "non-existent subpattern", 2},
        {std::u16string(u"a") + char16_t(0xD800), "UTF-16 error", 1},
    };
    for (const Case& c : cases) {
        const Regex regex(c.pattern);
        EXPECT_FALSE(regex.isValid()) << narrow(c.pattern);
        EXPECT_NE(narrow(regex.error()).find(c.message), std::string::npos)
            << narrow(c.pattern) << ": " << narrow(regex.error());
        EXPECT_NE(narrow(regex.error()).find(" at offset "), std::string::npos);
        EXPECT_EQ(regex.errorOffset(), c.offset) << narrow(c.pattern);

        RegexMatch match;
        EXPECT_EQ(regex.search(u"abc", 0, match), RegexStatus::kError);
        EXPECT_EQ(match.error(), regex.error());
    }
}

TEST(Regex, OffersThePerlSyntaxThatPatternDictionariesUse) {
    struct Case {
        std::u16string pattern;
        std::u16string subject;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"colou?r", u"the colour red", u"colour"},
        {u"[[:upper:]][[:digit:]]", u"aB1", u"B1"},
        {u"<.+>", u"<a><b>", u"<a><b>"},         // greedy
        {u"<.+?>", u"<a><b>", u"<a>"},           // reluctant
        {u"a++a", u"aaaa", u"<none>"},           // possessive never gives back
        {u"(\\w)\\1", u"hello", u"ll"},          // back-reference
        {u"\\d+(?= km)", u"7 m, 12 km", u"12"},  // look-ahead
        {u"(?<!-)\\b\\d+", u"-3 and 4", u"4"},   // negative look-behind
        {u"(?>a+)b|ac", u"aac", u"ac"},          // atomic group
        {u"(\\()?x(?(1)\\))", u"(x)", u"(x)"},   // conditional group
        {u"\\bis\\b", u"this is", u"is"},        // word boundaries
        {u"\\bété\\b", u"en été.", u"été"},      // letters beyond ASCII
        {u"[一-龯]+（([ぁ-ゖ]+)）", u"漢字（かんじ）", u"漢字（かんじ）"},
        {u".", u"\U0001F600!", u"\U0001F600"},  // one character, two units
    };
    for (const Case& c : cases) {
        const Regex regex(c.pattern);
        ASSERT_TRUE(regex.isValid()) << narrow(c.pattern) << ": " << narrow(regex.error());
        EXPECT_EQ(narrow(firstMatch(regex, c.subject)), narrow(c.expected)) << narrow(c.pattern);
    }
}

TEST(Regex, ReportsWhichGroupsTookPart) {
    const Regex regex(u"(a)|(b)(c)?");
    ASSERT_TRUE(regex.isValid());
    EXPECT_EQ(regex.groupCount(), 3);

    RegexMatch match;
    const std::u16string subject = u"xxb";
    ASSERT_EQ(regex.search(subject, 0, match), RegexStatus::kMatch);
    EXPECT_EQ(match.size(), 4);
    EXPECT_TRUE(match.participated(0));
    EXPECT_FALSE(match.participated(1));
    EXPECT_TRUE(match.participated(2));
    EXPECT_FALSE(match.participated(3));
    EXPECT_FALSE(match.participated(4));
    EXPECT_EQ(match.start(), 2u);
    EXPECT_EQ(match.end(), 3u);
    EXPECT_EQ(match.start(1), RegexMatch::npos);
    EXPECT_EQ(match.group(subject, 1), u"");
    EXPECT_EQ(match.group(subject, 2), u"b");

    EXPECT_EQ(regex.search(u"xyz", 0, match), RegexStatus::kNoMatch);
    EXPECT_EQ(match.size(), 0);
    EXPECT_FALSE(match.participated(0));
}

TEST(Regex, MultiLineAndIgnoreCaseOptions) {
    const std::u16string text = u"one\r\nTwo";
    EXPECT_EQ(firstMatch(Regex(u"^two$"), text), u"<none>");
    EXPECT_EQ(firstMatch(Regex(u"^Two$", kRegexMultiLine), text), u"Two");
    EXPECT_EQ(firstMatch(Regex(u"^one$", kRegexMultiLine), text), u"<none>");  // CR stays
    EXPECT_EQ(firstMatch(Regex(u"^one\\r$", kRegexMultiLine), text), u"one\r");
    EXPECT_EQ(firstMatch(Regex(u"^two$", kRegexMultiLine | kRegexIgnoreCase), text), u"Two");
    EXPECT_EQ(firstMatch(Regex(u"ÉTÉ", kRegexIgnoreCase), u"un été"), u"été");
    EXPECT_EQ(firstMatch(Regex(u"ÉTÉ"), u"un été"), u"<none>");
}

TEST(Regex, SearchesFromAStartOffsetAndSeesTheTextBeforeIt) {
    const Regex regex(u"(?<=a)b");
    EXPECT_EQ(firstMatch(regex, u"abab", 2), u"b");
    RegexMatch match;
    ASSERT_EQ(regex.search(u"abab", 2, match), RegexStatus::kMatch);
    EXPECT_EQ(match.start(), 3u);

    // An empty match at the very end, and an offset past it.
    const Regex empty(u"$");
    ASSERT_EQ(empty.search(u"ab", 2, match), RegexStatus::kMatch);
    EXPECT_EQ(match.start(), 2u);
    EXPECT_EQ(empty.search(u"ab", 3, match), RegexStatus::kError);
}

TEST(Regex, LoneSurrogatesInTheSubjectDoNotMatchAnything) {
    std::u16string subject = u"a";
    subject += char16_t(0xDC00);
    subject += u"b";
    EXPECT_EQ(firstMatch(Regex(u"a.b"), subject), u"<none>");
    EXPECT_EQ(firstMatch(Regex(u"b"), subject), u"b");
}

TEST(Regex, InterruptibleExpressionsFindTheSameMatches) {
    const std::u16string patterns[] = {
        u"\\b(\\w+) \\1\\b",
        u"(\\d+)\\s*(km|m)\\b",
        u"([a-z]+)-([a-z]+)",
        u"(?i)mr\\.",
        u"\\s{2,}",
        u"(?<=\\d),(?=\\d{3})",
        u"^\\w+",
        u"(a|b)*?c",
        u"x*",
        u"(?:(a)|b)+",
        u"[^\\x00-\\x7f]+",
        u"(a+)+$",
    };
    const std::u16string subjects[] = {
        u"the the cat",
        u"Mr. Smith ran 12 km and 300 m.",
        u"well-known  facts, 1,000,000",
        u"abbac",
        u"日本語 and ASCII",
        u"aaaa",
        u"",
    };
    for (const auto& pattern : patterns) {
        const Regex plain(pattern, kRegexMultiLine);
        const Regex timed(pattern, kRegexMultiLine | kRegexInterruptible);
        ASSERT_TRUE(plain.isValid() && timed.isValid()) << narrow(pattern);
        for (const auto& subject : subjects) {
            RegexMatch expected;
            RegexMatch actual;
            for (size_t start = 0; start <= subject.size(); ++start) {
                const auto deadline = Regex::Clock::now() + 10s;
                ASSERT_EQ(plain.search(subject, start, expected),
                          timed.search(subject, start, actual, deadline))
                    << narrow(pattern) << " on " << narrow(subject) << " from " << start;
                ASSERT_EQ(expected.size(), actual.size());
                for (int group = 0; group < expected.size(); ++group) {
                    EXPECT_EQ(expected.start(group), actual.start(group));
                    EXPECT_EQ(expected.end(group), actual.end(group));
                }
            }
        }
    }
}

TEST(Regex, ADeadlineStopsRunawayBacktracking) {
    const std::u16string text = backtrackingTrap(20000);
    const Regex regex(u"(a+)+$", kRegexInterruptible);
    RegexMatch match;
    const auto started = Regex::Clock::now();
    EXPECT_EQ(regex.search(text, 0, match, started + 100ms), RegexStatus::kTimedOut);
    EXPECT_LT(Regex::Clock::now() - started, 2s);
    EXPECT_FALSE(match.error().empty());

    // A deadline already past stops the next search at once.
    EXPECT_EQ(regex.search(u"aab", 0, match, started), RegexStatus::kTimedOut);
    // Without a deadline the same expression still works on ordinary text.
    EXPECT_EQ(firstMatch(regex, u"baaa"), u"aaa");
}

}  // namespace
}  // namespace pw
