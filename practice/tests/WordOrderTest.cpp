// Word ordering with fixed seeds: which words the board offers and where, how
// a choice refills its slot, wrong choices with their beep and check mark,
// the case of words, a sentence completed by choices with its score and
// trial, the choice list for the page, and the mouse over the drawn board.
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "core/Random.h"
#include "practice/WordOrderBoard.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using Words = std::vector<std::u16string>;
using Slots = std::vector<int>;

// Says a word is right when it is the board's next one, as the run does.
class NextWordJudge : public ArrangingInOrderEventListener {
public:
    explicit NextWordJudge(const WordOrderBoard& board) : m_board(board) {}
    bool onWordChosen(const std::u16string& word) override {
        chosen.push_back(word);
        return word == m_board.words()[m_board.next()];
    }
    Point cursorPosition() const override { return {}; }
    Words chosen;

private:
    const WordOrderBoard& m_board;
};

std::set<int> asSet(const Slots& slots) {
    return {slots.begin(), slots.end()};
}

TEST(WordOrderBoard, FindsTheWordsAsTypingDoes) {
    WordOrderBoard board;
    board.setUp(u"\u201cDon't\u201d, said the U.S. envoy \u2014 3.5 times.");
    EXPECT_EQ(board.words(),
              (Words{u"Don't", u"said", u"the", u"U.S", u"envoy", u"3.5", u"times"}));
    board.setUp(u"\u3053\u3093\u306b\u3061\u306f\u3002 ... !");
    EXPECT_TRUE(board.words().empty());
    EXPECT_TRUE(board.choices().empty());
    EXPECT_EQ(board.choicesHtml(), u"<ol></ol>");
}

TEST(WordOrderBoard, AShortSentenceOffersAllItsWordsShuffled) {
    std::set<Slots> orders;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        seedRandom(seed);
        WordOrderBoard board;
        board.setUp(u"Cats chase mice.");
        EXPECT_EQ(asSet(board.choices()), (std::set<int>{0, 1, 2})) << "seed " << seed;
        EXPECT_EQ(board.choices().size(), 3u);
        orders.insert(board.choices());

        seedRandom(seed);
        WordOrderBoard again;
        again.setUp(u"Cats chase mice.");
        EXPECT_EQ(again.choices(), board.choices()) << "the same seed gives the same board";
    }
    EXPECT_GE(orders.size(), 3u) << "the words are not shuffled";
}

TEST(WordOrderBoard, ALongSentenceOffersTheNextWordAndThreeOfTheSixAfterIt) {
    const std::u16string sentence = u"w0 w1 w2 w3 w4 w5 w6 w7 w8 w9";
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        seedRandom(seed);
        WordOrderBoard board;
        NextWordJudge judge(board);
        board.setListener(&judge);
        board.setUp(sentence);
        const Slots first = board.choices();
        ASSERT_EQ(first.size(), 4u);
        EXPECT_EQ(std::count(first.begin(), first.end(), 0), 1);
        for (int word : first) {
            EXPECT_TRUE(word >= 0 && word <= 6) << word;
        }

        // The right word's slot is refilled in place; the others stay.
        const size_t slot =
            static_cast<size_t>(std::find(first.begin(), first.end(), 0) - first.begin());
        const bool oneShown = asSet(first).count(1) > 0;
        EXPECT_TRUE(board.chooseSlot(static_cast<int>(slot)));
        EXPECT_EQ(board.next(), 1u);
        const Slots after = board.choices();
        ASSERT_EQ(after.size(), 4u);
        for (size_t i = 0; i < 4; ++i) {
            if (i != slot) {
                EXPECT_EQ(after[i], first[i]) << "slot " << i << " moved";
            }
        }
        if (oneShown) {
            EXPECT_GT(after[slot], 1);
            EXPECT_LE(after[slot], 7);
            EXPECT_EQ(asSet(first).count(after[slot]), 0u);
        } else {
            EXPECT_EQ(after[slot], 1);
        }
    }
}

TEST(WordOrderBoard, WrongChoicesAndEmptySlotsChangeNothing) {
    seedRandom(7);
    WordOrderBoard board;
    NextWordJudge judge(board);
    board.setListener(&judge);
    board.setUp(u"a b c d e");
    const Slots first = board.choices();
    const int wrong = static_cast<int>(
        std::find_if(first.begin(), first.end(), [](int w) { return w != 0; }) - first.begin());
    EXPECT_FALSE(board.chooseSlot(wrong));
    EXPECT_FALSE(board.choose(99));
    EXPECT_FALSE(board.chooseSlot(4));
    EXPECT_FALSE(board.chooseSlot(-1));
    EXPECT_EQ(board.choices(), first);
    EXPECT_EQ(judge.chosen.size(), 1u);

    // Through to the end: near it slots empty and stay where they are.
    for (int word = 0; word < 5; ++word) {
        EXPECT_TRUE(board.choose(word));
    }
    EXPECT_TRUE(board.choices().empty());
    seedRandom(3);
    board.setUp(u"one two three four five six");
    for (int word = 0; word < 4; ++word) {
        board.choose(word);
    }
    const Slots nearEnd = board.choices();
    EXPECT_EQ(std::count(nearEnd.begin(), nearEnd.end(), WordOrderBoard::kEmptySlot), 2);
    const size_t empty = static_cast<size_t>(
        std::find(nearEnd.begin(), nearEnd.end(), WordOrderBoard::kEmptySlot) - nearEnd.begin());
    EXPECT_FALSE(board.chooseSlot(static_cast<int>(empty)));
    EXPECT_EQ(board.choicesHtml().find(u"<li></li>") != std::u16string::npos, true);
}

// ---- In a run

class Ordering : public test::SessionTest {
protected:
    Ordering() { seedRandom(11); }
    // The slot showing word, or -1.
    int slotOf(const std::u16string& word) {
        const Words texts = session->run().board().choiceTexts();
        const auto at = std::find(texts.begin(), texts.end(), word);
        return at == texts.end() ? -1 : static_cast<int>(at - texts.begin());
    }
    void chooseByKey(const std::u16string& word) {
        const int slot = slotOf(word);
        ASSERT_GE(slot, 0) << "not offered";
        EXPECT_TRUE(session->onChar(U'1' + static_cast<char32_t>(slot)));
    }
    // A slot offering a word other than the right one.
    int wrongSlot() {
        const WordOrderBoard& board = session->run().board();
        for (size_t i = 0; i < board.choices().size(); ++i) {
            if (board.choices()[i] != static_cast<int>(board.next())) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    int beeps = 0;
};

TEST_F(Ordering, TwoWrongWordsBeepTwiceAndSetTheCheckOnce) {
    session->run().setBeep([this] { ++beeps; });
    openSentences({u"Birds fly south in winter."}, PracticeMode::OrderWriting);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(speaker.calls, (std::vector<std::u16string>{u"translation:訳"}));
    const int wrong = wrongSlot();
    ASSERT_GE(wrong, 0);
    listener.notifications.clear();
    EXPECT_TRUE(session->onChar(U'1' + static_cast<char32_t>(wrong)));
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(session->run().checked());
    session->onChar(U'1' + static_cast<char32_t>(wrong));
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(session->run().checked());
    EXPECT_EQ(attribute(0, u"check"), u"2") << "the writing side's bit";
    unsigned changes = 0;
    for (unsigned n : listener.notifications) {
        changes |= n;
    }
    EXPECT_TRUE(changes & kCheckChanged);
    session->onChar(U'1' + static_cast<char32_t>(wrong));
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(attribute(0, u"check"), u"2");

    // A right word ends the run of misses; letters and empty digits do nothing.
    chooseByKey(u"Birds");
    EXPECT_EQ(session->run().consecutiveMisses(), 0u);
    EXPECT_FALSE(session->onChar(U'b'));
    EXPECT_TRUE(session->onChar(U'9'));
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(session->sentence().currentWord(), u"fly");
}

TEST_F(Ordering, WordsMatchOnlyInTheirOwnCase) {
    openSentences({u"The cat saw the dog."}, PracticeMode::OrderWriting);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    PracticeRun& run = session->run();
    EXPECT_FALSE(run.onWordChosen(u"the"));
    EXPECT_EQ(run.consecutiveMisses(), 1u);
    EXPECT_TRUE(run.onWordChosen(u"The"));
    EXPECT_EQ(session->sentence().displayText(), u"The *** *** *** ***.");
    EXPECT_FALSE(run.onWordChosen(u"Cat"));
}

TEST_F(Ordering, ASentenceCompletedByChoicesIsAnsweredAndSavedLikeATypedOne) {
    openSentences({u"\u00bfGo home, now!", u"Next one."}, PracticeMode::OrderWriting);
    const PracticeTotals before = session->results().history().totals();
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->view().choices.size(), 3u);
    speaker.calls.clear();
    chooseByKey(u"Go");
    EXPECT_EQ(session->sentence().displayText(), u"\u00bfGo ****, ***!");
    EXPECT_EQ(keySound.plays, 1);
    chooseByKey(u"home");
    EXPECT_EQ(session->sentence().displayText(), u"\u00bfGo home, ***!");
    clock.time += 4000;
    chooseByKey(u"now");
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_EQ(keySound.plays, 2) << "no click for the last word";
    EXPECT_EQ(speaker.calls, (std::vector<std::u16string>{u"word:Go", u"word:home",
                                                          u"sentence:\u00bfGo home, now!"}));
    EXPECT_TRUE(session->view().choices.empty()) << "the board is cleared with the answer";
    EXPECT_EQ(session->view().scoreLabel, u"Score: 0.0");

    const PracticeTotals& totals = session->results().history().totals();
    EXPECT_EQ(totals.typingWordCount, before.typingWordCount + 3);
    EXPECT_EQ(totals.typingSentenceCount, before.typingSentenceCount + 1);
    EXPECT_EQ(totals.typingCount, before.typingCount) << "digits are not typing";
    EXPECT_EQ(totals.totalTime, before.totalTime + 4000);

    ui->answers.push_back(IdYes);
    ASSERT_TRUE(session->save(u""));
    ASSERT_TRUE(session->openFile(fromUtf8(listPath())));
    EXPECT_EQ(attribute(0, u"trialNumber"), u"1");
    EXPECT_EQ(attribute(0, u"writingScore"), u"");
}

TEST_F(Ordering, ASentenceWithoutWordsIsAnsweredAtOnce) {
    openSentences({u"\u3053\u3093\u306b\u3061\u306f \u4e16\u754c", u"Two."},
                  PracticeMode::OrderWriting);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_EQ(attribute(0, u"trialNumber"), u"1");
    EXPECT_TRUE(key(PracticeKey::Space));
    EXPECT_EQ(session->state(), PracticeState::Typing);
}

TEST_F(Ordering, TheMouseUnderlinesAndChoosesTheWordUnderIt) {
    openSentences({u"Rain falls."}, PracticeMode::OrderWriting);
    session->setPaneSize(700, 500);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    const WordBoardLayout layout = session->wordBoardLayout();
    const int slot = slotOf(u"Rain");
    ASSERT_GE(slot, 0);
    ASSERT_EQ(layout.slots.size(), 2u);
    const Rect word = layout.slots[static_cast<size_t>(slot)].word;
    EXPECT_EQ(layout.slots[0].number, u"1. ");
    EXPECT_EQ(layout.slots[1].numberAt.y - layout.slots[0].numberAt.y, 20);
    // The board's frame keeps clear of the sentence box above it.
    const FixedWidthMeasurer font(8, 16);  // the session's own without a display
    const ExerciseLayout exercise =
        layoutExercise(session->view(), font, font, Size{700, 500}, Size{}, Size{});
    EXPECT_GE(layout.frame.y, exercise.box.y + exercise.box.height);

    listener.notifications.clear();
    session->onMouse(PracticeSession::MouseAction::Move, {word.x + 1, word.y + 1});
    EXPECT_EQ(session->view().choiceHover, slot);
    ASSERT_FALSE(listener.notifications.empty());
    EXPECT_TRUE(listener.notifications.back() & kRepaint);
    listener.notifications.clear();
    session->onMouse(PracticeSession::MouseAction::Move, {word.x + 2, word.y + 1});
    EXPECT_TRUE(listener.notifications.empty()) << "the same word: no repaint";
    session->onMouse(PracticeSession::MouseAction::Move, {0, 0});
    EXPECT_EQ(session->view().choiceHover, -1);

    EXPECT_FALSE(session->onMouse(PracticeSession::MouseAction::Click, {0, 0}));
    EXPECT_TRUE(session->onMouse(PracticeSession::MouseAction::Click, {word.x + 1, word.y + 1}));
    EXPECT_EQ(session->sentence().currentWord(), u"falls");
}

TEST(WordBoardLayout, SlotsGoDownAColumnBelowTheSentence) {
    const FixedWidthMeasurer font(8, 16);
    const Point origin = wordBoardOrigin(400, 100);
    EXPECT_EQ(origin, (Point{120, 116}));
    const WordBoardLayout layout = layoutWordBoard({u"alpha", u"", u"be"}, font, origin);
    ASSERT_EQ(layout.slots.size(), 3u);
    EXPECT_EQ(layout.frame, (Rect{112, 108, 160, 96}));
    EXPECT_EQ(layout.slots[2].number, u"3. ");
    EXPECT_EQ(layout.slots[2].numberAt, (Point{120, 156}));
    EXPECT_EQ(layout.slots[2].word, (Rect{144, 156, 16, 16}));  // "3. " is 24 wide
    EXPECT_EQ(slotAt(layout, {150, 160}), 2);
    EXPECT_EQ(slotAt(layout, {145, 140}), -1) << "an empty slot is not hit";
}

}  // namespace
}  // namespace pw
