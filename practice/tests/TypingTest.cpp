// The typing engine: word wrap, words at the cursor, filler, misses and the
// five-miss hint, driven through the session as the pane drives it.
#include "practice/WordWrap.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using test::SessionTest;

TEST(WordWrap, BreaksWhereTheRulesSay) {
    const FixedWidthMeasurer font(10, 16);  // 10 below U+0100, 20 above
    struct Case {
        std::u16string source;
        int width;
        std::u16string wrapped;
    };
    const Case cases[] = {
        {u"aaaa bbbb", 60, u"aaaa \r\nbbbb"},        // after the space before the word
        {u"abcdefghij", 50, u"abcd\r\nefgh\r\nij"},  // one long word breaks where it must
        {u"ab cd", 30, u"ab \r\ncd"},                // a space reaching the width stays
        {u"ab ", 30, u"ab "},                        // no empty line at the end
        {u"a\r\nb\nc", 100, u"a\nb\nc"},             // CR dropped, line feeds kept
        {u"あいうえお", 50, u"あいう\r\nえお"},      // no spaces needed between ideographs
        {u"a\U0001F600b", 25, u"a\U0001F600\r\nb"},  // never inside a surrogate pair
        {u"abc", 0, u"a\r\nb\r\nc"},                 // narrower than a character: still ends
        {u"abc", -40, u"a\r\nb\r\nc"},
        {u"", 50, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wrapText(c.source, c.width, font), c.wrapped)
            << toUtf8(c.source) << " " << c.width;
    }
}

TEST(TypingSentencePane, FindsTheWordAtAPosition) {
    struct Case {
        std::u16string text;
        size_t position;
        std::u16string word;
    };
    const Case cases[] = {
        {u"U.S. policy", 0, u"U.S"},
        {u"U.S. policy", 2, u"U.S"},
        {u"U.S. policy", 4, u"policy"},
        {u"about 3.5 kg", 7, u"3.5"},
        {u"end. Next", 1, u"end"},
        {u"A.b", 0, u"A"},
        {u"Mr.Smith", 5, u"Mr.Smith"},
        {u"well-known", 5, u"known"},
        {u"don\u2019t", 4, u"t"},
        {u"Don't", 4, u"Don't"},
        {u"...", 1, u""},
        {u"abc", 3, u""},
    };
    for (const Case& c : cases) {
        const auto range = TypingSentencePane::findWordAt(c.text, c.position);
        EXPECT_EQ(c.text.substr(range.start, range.end - range.start), c.word)
            << toUtf8(c.text) << " at " << c.position;
    }
}

class Typing : public SessionTest {};

TEST_F(Typing, SentencesCompleteWithTheirWordsCounted) {
    struct Case {
        std::u16string sentence;
        std::u16string keys;
        uint32_t words;
        std::u16string answer;
    };
    const Case cases[] = {
        {u"Don't stop.", u"Don't stop", 2, u"Don't stop."},
        {u"U.S. policy", u"US policy", 2, u"U.S. policy"},
        {u"It is 3.5 m.", u"It is 35 m", 4, u"It is 3.5 m."},
        {u"well-known", u"wellknown", 2, u"well-known"},
        {u"don\u2019t", u"dont", 2, u"don\u2019t"},     // the typographic apostrophe ends "don"
        {u"that that", u"that that", 1, u"that that"},  // a repeated word is no new word
        {u"I am", u"i am", 2, u"I am"},                 // the display keeps the sentence's case
        {u"\u201cHi!\u201d", u"hi", 1, u"\u201cHi!\u201d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(c.sentence));
        openSentences({c.sentence});
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
        ASSERT_EQ(session->state(), PracticeState::Typing);
        type(c.keys);
        EXPECT_EQ(session->state(), PracticeState::Answer);
        const SentenceStats& stats = session->run().currentStats();
        EXPECT_EQ(stats.wordCount, c.words);
        EXPECT_EQ(stats.missCount, 0u);
        EXPECT_EQ(stats.typingCount, c.keys.size());
        EXPECT_EQ(session->view().sentenceLines, std::vector<std::u16string>{c.answer});
    }
}

TEST_F(Typing, FillerIsRevealedAndCaseFollowsTheSentence) {
    openSentences({u"Hi, you!"});
    session->startRun(RunKind::AllRows);
    EXPECT_EQ(session->sentence().displayText(), u"**, ***!");
    type(u"h");
    EXPECT_EQ(session->sentence().displayText(), u"H*, ***!");
    type(u"i");
    EXPECT_EQ(session->sentence().displayText(), u"Hi, ***!");  // the comma filled in
    EXPECT_EQ(session->sentence().expected(), u' ');
    EXPECT_EQ(keySound.plays, 2);

    openSentences({u"Hi, you!"}, PracticeMode::Free);  // nothing hidden
    session->startRun(RunKind::AllRows);
    EXPECT_EQ(session->sentence().displayText(), u"Hi, you!");
}

TEST_F(Typing, SpacesPunctuationAndControlsAreIgnored) {
    openSentences({u"abc"});
    session->startRun(RunKind::AllRows);
    type(u", \r\b\u3042");
    const SentenceStats& stats = session->run().currentStats();
    EXPECT_EQ(stats.typingCount, 5u);
    EXPECT_EQ(stats.missCount, 0u);
    EXPECT_EQ(session->sentence().cursor(), 0u);
    EXPECT_EQ(keySound.plays, 0);
    type(u"a");
    EXPECT_EQ(keySound.plays, 1);
}

TEST_F(Typing, AnAsciiApostropheForATypographicOneIsAMiss) {
    openSentences({u"don\u2019t"});
    session->startRun(RunKind::AllRows);
    type(u"don'");
    EXPECT_EQ(session->run().currentStats().missCount, 1u);
    type(u"t");
    EXPECT_EQ(session->state(), PracticeState::Answer);
}

TEST_F(Typing, FiveMissesCheckTheSentenceAndSpeakTheWordOnce) {
    for (PracticeMode mode : {PracticeMode::Dictation, PracticeMode::Writing}) {
        SCOPED_TRACE(static_cast<int>(mode));
        openSentences({u"cat sat"}, mode);
        session->startRun(RunKind::AllRows);
        speaker.calls.clear();
        type(u"xxxx");
        EXPECT_EQ(session->view().hint, u"");
        EXPECT_FALSE(session->view().checked);
        listener.notifications.clear();
        type(u"x");
        EXPECT_EQ(session->view().hint, u"cat");
        EXPECT_TRUE(session->view().checked);
        ASSERT_EQ(listener.notifications.size(), 1u);
        EXPECT_TRUE(listener.notifications[0] & kCheckChanged);
        EXPECT_EQ(attribute(0, u"check"), mode == PracticeMode::Writing ? u"2" : u"1");
        type(u"x");
        EXPECT_EQ(speaker.calls, std::vector<std::u16string>{u"word:cat"});
        EXPECT_EQ(session->run().currentStats().missCount, 6u);
        EXPECT_EQ(keySound.plays, 0);

        type(u"cat ");  // a new word: the count starts again
        EXPECT_EQ(session->run().consecutiveMisses(), 0u);
        EXPECT_EQ(session->view().hint, u"");
        keySound.plays = 0;
    }
}

TEST_F(Typing, WritingSpeaksEachCompletedWordButNotARepeatedOne) {
    openSentences({u"Don't stop.", u"that that"}, PracticeMode::Writing);
    session->startRun(RunKind::AllRows);
    type(u"Don't stop");
    EXPECT_EQ(speaker.calls, (std::vector<std::u16string>{u"translation:訳", u"word:Don't",
                                                          u"sentence:Don't stop."}));
    key(PracticeKey::Space);
    speaker.calls.clear();
    type(u"that that");
    EXPECT_EQ(speaker.calls, std::vector<std::u16string>{u"sentence:that that"});
}

TEST_F(Typing, AnEmptySentenceIsHelloEmptyWorld) {
    openSentences({u""});
    session->startRun(RunKind::AllRows);
    EXPECT_EQ(session->sentence().targetText(), u"Hello empty world!");
    EXPECT_EQ(speaker.calls.back(), u"sentence:Hello empty world!");  // heard as typed
    typeRest();
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_EQ(session->run().currentStats().wordCount, 3u);
}

TEST_F(Typing, WrappedLinesAreTypedAcross) {
    const FixedWidthMeasurer font(10, 16);
    session->setFonts(font, font);
    session->setPaneSize(60 + 76, 400);  // sentence area 76, wrap width 60
    openSentences({u"aaaa bbbb"});
    session->startRun(RunKind::AllRows);
    EXPECT_EQ(session->view().sentenceLines, (std::vector<std::u16string>{u"**** ", u"****"}));
    EXPECT_EQ(session->view().sentenceLineCount, 1);
    type(u"aaaa ");
    EXPECT_EQ(session->view().cursorLine, 1);
    EXPECT_EQ(session->view().cursorColumn, 0);
    type(u"bbbb");
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_EQ(session->run().currentStats().missCount, 0u);
}

}  // namespace
}  // namespace pw
