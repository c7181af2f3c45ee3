// The flash cards of a FlashWriting run, driven by a test clock and a speaker
// that speaks for as long as the test says: the pause after each side, the
// side a card starts with and what is visible, the run starting over after
// the last card, navigation with Ctrl and the arrows, Esc, the end event of
// speech and recorded sentences.
#include <gtest/gtest.h>

#include "practice/FlashCardPlayer.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using Calls = std::vector<std::u16string>;

class Cards : public test::SessionTest {
protected:
    // Cards "Sentence 1." / "訳1" and so on, in FlashWriting.
    void openCards(int count) {
        std::vector<test::SentenceSpec> specs;
        for (int i = 1; i <= count; ++i) {
            const std::u16string n = fromUtf8(std::to_string(i));
            specs.push_back({u"Sentence <b>" + n + u"</b>.", u"訳" + n, u""});
        }
        open(specs, PracticeMode::FlashWriting);
    }
    FlashCardPlayer& cards() { return session->flashCards(); }
    void start() {
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
        ASSERT_EQ(session->state(), PracticeState::FlashCards);
    }
    // The side being spoken lasts ms, then the speaker falls silent and the
    // next tick notices.
    void speakFor(uint32_t ms) {
        speaker.speaking = true;
        clock.time += ms;
        cards().tick();
        speaker.speaking = false;
        cards().tick();
    }
    void waitFor(uint32_t ms) {
        clock.time += ms;
        cards().tick();
    }
    Calls said() { return std::exchange(speaker.calls, {}); }
};

TEST_F(Cards, ThePauseIsAShareOfTheSpeechAtMostFifteenSeconds) {
    openCards(1);
    struct Case {
        uint32_t spokenMs;
        int percent;
        uint32_t pauseMs;
    };
    for (const Case& c : {Case{3000, 50, 1500}, Case{40000, 50, 15000}, Case{3099, 50, 1500},
                          Case{999, 100, 900}, Case{3000, 0, 0}, Case{2000, 250, 2000}}) {
        SCOPED_TRACE(testing::Message() << c.spokenMs << " ms at " << c.percent << " %");
        session->run().setState(PracticeState::Ready);
        cards().setPausePercent(c.percent);
        start();
        EXPECT_EQ(said(), Calls{u"translation:訳1"});
        speakFor(c.spokenMs);
        if (c.pauseMs > 0) {
            EXPECT_EQ(cards().state(), FlashCardPlayer::kPauseFirstSide);
            EXPECT_EQ(cards().speakEnd() - cards().speakStart(), c.spokenMs);
            EXPECT_EQ(cards().msUntilPauseEnds(), static_cast<int>(c.pauseMs));
            waitFor(c.pauseMs - 1);
            EXPECT_EQ(said(), Calls{}) << "the pause ended early";
            waitFor(1);
        }
        // The other side follows the pause at once.
        EXPECT_EQ(said(), Calls{u"sentence:Sentence 1."});
        EXPECT_EQ(cards().state(), FlashCardPlayer::kWaitSecondSide);
    }
}

TEST_F(Cards, ACardStartsWithTheTranslationUnlessTheSentenceComesFirst) {
    openCards(1);
    struct Case {
        bool firstToSecond;
        bool alwaysVisible;
        std::u16string firstCall;
        bool sentenceShown;
        bool translationShown;
    };
    for (const Case& c : {Case{false, false, u"translation:訳1", false, true},
                          Case{true, false, u"sentence:Sentence 1.", true, false},
                          Case{false, true, u"translation:訳1", true, true}}) {
        SCOPED_TRACE(testing::Message() << c.firstToSecond << c.alwaysVisible);
        session->run().setState(PracticeState::Ready);
        cards().setFirstToSecond(c.firstToSecond);
        cards().setAlwaysVisible(c.alwaysVisible);
        start();
        EXPECT_EQ(said(), Calls{c.firstCall});
        EXPECT_EQ(cards().showsFirst(), c.sentenceShown);
        EXPECT_EQ(cards().showsSecond(), c.translationShown);
        speakFor(1000);
        // The second side with both visible.
        EXPECT_EQ(said().size(), 1u);
        EXPECT_TRUE(cards().showsFirst());
        EXPECT_TRUE(cards().showsSecond());
        // Stopped, the card shows both sides whatever it showed.
        cards().setAlwaysVisible(false);
        cards().stop();
        EXPECT_TRUE(cards().showsFirst() && cards().showsSecond());
    }
}

TEST_F(Cards, AfterTheLastCardTheRunStartsOver) {
    openCards(2);
    start();
    for (int i = 0; i < 4; ++i) {
        speakFor(500);
    }
    EXPECT_EQ(said(), (Calls{u"translation:訳1", u"sentence:Sentence 1.", u"translation:訳2",
                             u"sentence:Sentence 2.", u"translation:訳1"}));
    EXPECT_EQ(cards().index(), 0);
    EXPECT_EQ(session->run().position(), 0);
    EXPECT_EQ(cards().counterText(), u"001/002");
    EXPECT_EQ(session->state(), PracticeState::FlashCards);
    // Nothing is scored or counted.
    EXPECT_FALSE(session->hasUnsavedResults());
}

TEST_F(Cards, CtrlArrowsSkipSilentlyAndLettingGoReplaysTheCardReached) {
    openCards(3);
    start();
    said();
    const auto at = [&](int index) {
        EXPECT_EQ(cards().index(), index);
        EXPECT_EQ(session->run().position(), index);
    };
    const int stops = speaker.stops;
    EXPECT_TRUE(key(PracticeKey::Right, true));
    EXPECT_EQ(cards().state(), FlashCardPlayer::kNavigating);
    EXPECT_GT(speaker.stops, stops) << "the card being spoken goes on";
    EXPECT_TRUE(key(PracticeKey::Right, true));
    EXPECT_TRUE(key(PracticeKey::Right, true));  // the last card: it stays
    at(2);
    EXPECT_TRUE(cards().showsFirst() && cards().showsSecond());
    waitFor(5000);
    EXPECT_EQ(said(), Calls{}) << "held keys are silent";

    EXPECT_TRUE(keyUp(PracticeKey::Right, true));
    at(2);
    EXPECT_EQ(said(), Calls{u"translation:訳3"});
    EXPECT_EQ(cards().state(), FlashCardPlayer::kWaitFirstSide);

    EXPECT_TRUE(key(PracticeKey::Left, true));
    at(1);
    EXPECT_TRUE(key(PracticeKey::Left, true));
    EXPECT_TRUE(key(PracticeKey::Left, true));  // the first card: it stays
    at(0);
    EXPECT_TRUE(keyUp(PracticeKey::Left, true));
    EXPECT_EQ(said(), Calls{u"translation:訳1"});

    // An arrow without Ctrl is not navigation, and a stopped player moves
    // without speaking or starting.
    EXPECT_FALSE(key(PracticeKey::Right));
    cards().stop();
    EXPECT_TRUE(key(PracticeKey::Right, true));
    at(1);
    EXPECT_FALSE(keyUp(PracticeKey::Right, true));
    EXPECT_FALSE(cards().isPlaying());
    EXPECT_EQ(said(), Calls{});
}

TEST_F(Cards, EscAndQuitLeaveTheCardsForReady) {
    openCards(2);
    for (const bool byKey : {true, false}) {
        start();
        const int stops = speaker.stops;
        if (byKey) {
            EXPECT_TRUE(key(PracticeKey::Escape));
        } else {
            cards().quit();
        }
        EXPECT_EQ(session->state(), PracticeState::Ready);
        EXPECT_FALSE(cards().isPlaying());
        EXPECT_GT(speaker.stops, stops);
    }
    // Stop keeps the card; Play speaks it again from its first side.
    start();
    speakFor(100);
    cards().stop();
    said();
    cards().start();
    EXPECT_EQ(said(), Calls{u"translation:訳1"});
}

TEST_F(Cards, TheEndEventOfSpeechEndsTheWaitAtOnce) {
    openCards(1);
    cards().setPausePercent(50);
    start();
    speaker.speaking = true;
    clock.time += 2000;
    cards().speechEnded();  // an end of something else: the speaker still speaks
    EXPECT_EQ(cards().state(), FlashCardPlayer::kWaitFirstSide);
    speaker.speaking = false;
    cards().speechEnded();
    EXPECT_EQ(cards().state(), FlashCardPlayer::kPauseFirstSide);
    EXPECT_EQ(cards().speakEnd(), clock.time);
    EXPECT_EQ(cards().msUntilPauseEnds(), 1000);
    cards().speechEnded();  // a late second report changes nothing
    EXPECT_EQ(cards().speakEnd(), clock.time);
}

TEST_F(Cards, ARecordedSentenceIsPlayedAndWaitedFor) {
    const std::string voice = dir.file("s1.wav");
    test::writeAll(voice, "RIFF");
    open({{u"One.", u"Eins", u"voice=\"" + fromUtf8(voice) + u"\""}}, PracticeMode::FlashWriting);
    cards().setFirstToSecond(true);
    start();
    EXPECT_EQ(said(), Calls{u"play:" + fromUtf8(voice) + u":0:-1"});
    EXPECT_TRUE(session->run().playCard(0));
    EXPECT_FALSE(session->run().playCard(1)) << "no such card";
    said();
    speaker.playing = true;
    waitFor(3000);
    EXPECT_EQ(cards().state(), FlashCardPlayer::kWaitFirstSide);
    speaker.playing = false;
    waitFor(100);
    EXPECT_EQ(said(), Calls{u"translation:Eins"});
}

TEST_F(Cards, TheCardIsLaidOutCentredWithTheTranslationBelow) {
    openCards(1);
    const FixedWidthMeasurer font(10, 20);
    start();
    cards().stop();
    const FlashCardLayout layout = layoutFlashCard(cards(), font, {236, 300}, {0, 280});
    EXPECT_EQ(layout.area, (Rect{16, 8, 200, 292}));
    // "Sentence 1." in plain text: eleven characters of 10 pixels.
    ASSERT_EQ(layout.sentenceLines, (std::vector<std::u16string>{u"Sentence 1."}));
    EXPECT_EQ(layout.sentenceAt[0], (Point{16 + (200 - 110) / 2, 8}));
    ASSERT_EQ(layout.translationLines, (std::vector<std::u16string>{u"訳1"}));
    EXPECT_EQ(layout.translationAt[0], (Point{16 + (200 - 30) / 2, 8 + 20 + 4}));
    EXPECT_EQ(layout.counter, u"001/001");

    // Playing, a hidden sentence keeps the translation where it was.
    cards().start();
    const FlashCardLayout playing = layoutFlashCard(cards(), font, {236, 300}, {0, 280});
    EXPECT_TRUE(playing.sentenceLines.empty());
    ASSERT_EQ(playing.translationAt.size(), 1u);
    EXPECT_EQ(playing.translationAt[0], layout.translationAt[0]);
}

}  // namespace
}  // namespace pw
