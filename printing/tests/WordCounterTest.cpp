// The word counter: how a text splits into words, what is listed and
// reported, and the learned words moved, saved and read again.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "printing/WordCounter.h"

namespace pw {
namespace {

using Words = std::vector<std::u16string>;
using Tallies = std::vector<WordTally>;

TEST(WordCounter, TextSplitsIntoLowerCaseRunsOfAsciiLetters) {
    struct Case {
        std::u16string_view text;
        Words words;
    };
    const Case cases[] = {
        {u"The cat saw the cat.", {u"the", u"cat", u"saw", u"the", u"cat"}},
        {u"abc123def", {u"abc", u"def"}},
        {u"Don't stop, dogs' toys!", {u"don't", u"stop", u"dogs'", u"toys"}},
        // An apostrophe belongs to a word only right after a letter.
        {u"'tis rock'n'roll don''t", {u"tis", u"rock'n'roll", u"don'", u"t"}},
        // Letters beyond ASCII separate words, as do digits and punctuation.
        {u"Café ÉCOLE naïve", {u"caf", u"cole", u"na", u"ve"}},
        {u"e-mail\tover\r\nlines", {u"e", u"mail", u"over", u"lines"}},
        {u"", {}},
        {u"123 ... 日本語 ' ''", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitWords(c.text), c.words) << toUtf8(c.text);
    }
}

TEST(WordCounter, CountsAreReportedAndLongUnlearnedWordsListed) {
    DictionaryData learned;
    struct Case {
        std::u16string_view text;
        std::vector<std::u16string_view> learnedWords;
        Tallies listed;
        std::u16string_view message;
    };
    const Case cases[] = {
        {u"The cat saw the cat.",
         {},
         {{u"the", 2}, {u"cat", 2}, {u"saw", 1}},
         u"語数:\t5\n種類:\t3/3\n"},
        // A learned word is not listed; it still counts among the distinct ones.
        {u"The cat saw the cat.", {u"cat"}, {{u"the", 2}, {u"saw", 1}}, u"語数:\t5\n種類:\t2/3\n"},
        // Words of one or two letters count but are never listed.
        {u"I am on it, I said.", {}, {{u"said", 1}}, u"語数:\t6\n種類:\t1/5\n"},
        {u"1, 2, 3 — 四!", {}, {}, u"語数:\t0\n種類:\t0/0\n"},
    };
    for (const Case& c : cases) {
        learned.clear();
        for (std::u16string_view word : c.learnedWords) {
            learned.set(std::u16string(word), u"", -1);
        }
        const WordCount count = countWords(c.text, learned);
        EXPECT_EQ(count.newWords, c.listed) << toUtf8(c.text);
        EXPECT_EQ(countMessage(count), c.message) << toUtf8(c.text);
    }
    const WordCount count = countWords(u"The cat saw the cat.", DictionaryData());
    EXPECT_EQ(count.words, (Tallies{{u"the", 2}, {u"cat", 2}, {u"saw", 1}}));
}

class LearnedWords : public ::testing::Test {
protected:
    std::string folder() const { return m_dir.file("Dictionaries") + "/"; }
    std::string file() const { return folder() + kLearnedWordsName; }

    test::TempDir m_dir;
};

TEST_F(LearnedWords, MovedWordsAreLearnedAfterReopening) {
    std::filesystem::create_directories(folder());
    // meaning TAB word CR LF, UTF-16 with its mark
    test::writeAll(file(), std::string("\xFF\xFE\t\0c\0a\0t\0\r\0\n\0", 14));
    {
        WordCounter counter(folder());
        ASSERT_TRUE(counter.load());
        counter.count(u"The cat saw a dog and the bird; the dog ran.");
        ASSERT_EQ(
            counter.newWords(),
            (Tallies{
                {u"the", 3}, {u"saw", 1}, {u"dog", 2}, {u"and", 1}, {u"bird", 1}, {u"ran", 1}}));
        EXPECT_TRUE(counter.newWordList().contains(u"bird"));
        const std::vector<WordCounter::Moved> moved = counter.moveToLearned({2, 4, 2, 99, -1});
        ASSERT_EQ(moved.size(), 2u);
        // From the last row to the first, so each row is still where it was.
        EXPECT_EQ(moved[0].row, 4);
        EXPECT_EQ(moved[0].word, u"bird");
        EXPECT_EQ(moved[1].row, 2);
        EXPECT_EQ(moved[1].word, u"dog");
        EXPECT_EQ(counter.newWords(),
                  (Tallies{{u"the", 3}, {u"saw", 1}, {u"and", 1}, {u"ran", 1}}));
        EXPECT_FALSE(counter.newWordList().contains(u"dog"));
        ASSERT_TRUE(counter.save());
    }
    WordCounter reopened(folder());
    ASSERT_TRUE(reopened.load());
    EXPECT_EQ(reopened.learned().entries().size(), 3u);
    for (const char16_t* word : {u"bird", u"cat", u"dog"}) {
        EXPECT_TRUE(reopened.learned().contains(word)) << toUtf8(word);
    }
    // Counted again, the learned words stay off the list.
    EXPECT_EQ(countMessage(reopened.count(u"A dog, a bird, a cat.")), u"語数:\t6\n種類:\t0/4\n");
}

TEST_F(LearnedWords, SavingMakesTheMissingFolderAndWritesOnlyChanges) {
    WordCounter counter(folder());
    EXPECT_FALSE(counter.load());  // nothing learned yet
    ASSERT_TRUE(counter.save());
    EXPECT_FALSE(std::filesystem::exists(file()));
    counter.count(u"Hello world");
    counter.moveToLearned({1});
    ASSERT_TRUE(counter.save());
    EXPECT_EQ(test::readAll(file()), std::string("\xFF\xFE\t\0w\0o\0r\0l\0d\0\r\0\n\0", 18));
}

TEST_F(LearnedWords, AFolderThatCannotBeMadeIsReported) {
    test::writeAll(m_dir.file("Dictionaries"), "a file where the folder should be");
    WordCounter counter(folder());
    counter.count(u"Hello");
    counter.moveToLearned({0});
    std::string error;
    EXPECT_FALSE(counter.save(&error));
    EXPECT_NE(error.find("Learning.txt"), std::string::npos) << error;
    // The words stay, so that saving can be tried again.
    EXPECT_TRUE(counter.learned().contains(u"hello"));
    EXPECT_TRUE(counter.learned().modified());
}

}  // namespace
}  // namespace pw
