// The run: which questions are asked and in which order, the states and the
// keys that move between them, speech at each step, the options' settings.
#include <fstream>

#include "core/Random.h"
#include "practice/QuestionOrder.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using test::SentenceSpec;
using test::SessionTest;
using Order = std::vector<uint32_t>;

class Run : public SessionTest {
protected:
    void setOption(bool PracticeOptions::*option, bool on = true) {
        PracticeOptions options = session->options();
        options.*option = on;
        session->setOptions(options);
    }
    // Ten sentences "s0" to "s9".
    void openTen() {
        std::vector<std::u16string> sentences;
        for (int i = 0; i < 10; ++i) {
            sentences.push_back(u"s" + fromUtf8(std::to_string(i)));
        }
        openSentences(sentences);
    }
};

TEST_F(Run, PointLimitSkipsSentencesWhoseWholeScoreReachesIt) {
    open({{u"a", u"", u"dictationScore=\"129.9\""},
          {u"b", u"", u"dictationScore=\"130.0\""},
          {u"c", u"", u"dictationScore=\"131\""},
          {u"d", u"", u""},
          {u"e", u"", u"dictationScore=\"abc\""},
          {u"f", u"", u"dictationScore=\"1e300\" writingScore=\"0\""}});
    setOption(&PracticeOptions::usePointLimit);
    ASSERT_EQ(session->options().pointLimit, 130);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->run().questionOrder(), (Order{0, 3, 4}));

    key(PracticeKey::Escape);
    key(PracticeKey::Escape);        // give up, then stop: Ready
    setMode(PracticeMode::Writing);  // the writing scores are all 0
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->run().questionOrder(), (Order{0, 1, 2, 3, 4, 5}));
}

TEST_F(Run, OnlyCheckedQuestionsReadsTheModesSide) {
    open({{u"a", u"", u""},
          {u"b", u"", u"check=\"1\""},
          {u"c", u"", u"check=\"2\""},
          {u"d", u"", u"check=\"3\""}});
    setOption(&PracticeOptions::onlyCheckedQuestions);
    const std::pair<PracticeMode, Order> cases[] = {{PracticeMode::Dictation, {1, 3}},
                                                    {PracticeMode::Free, {1, 3}},
                                                    {PracticeMode::Writing, {2, 3}}};
    for (const auto& [mode, order] : cases) {
        setMode(mode);
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
        EXPECT_EQ(session->run().questionOrder(), order) << static_cast<int>(mode);
        session->run().setState(PracticeState::Stop);
        EXPECT_EQ(session->state(), PracticeState::Ready);
    }
}

TEST_F(Run, TheListsMenuStartsFromARowOrAsksTheSelectedRows) {
    openTen();
    const auto enabled = [&](int selected) {
        std::vector<bool> flags;
        for (const MenuItem& item : session->listMenu(selected)) {
            flags.push_back(item.enabled && !item.separator);
        }
        return flags;
    };
    EXPECT_EQ(enabled(0), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(enabled(1), (std::vector<bool>{true, true, false, false, false}));
    EXPECT_EQ(enabled(2), (std::vector<bool>{false, true, false, false, false}));

    ASSERT_TRUE(session->onListMenuCommand(PracticeSession::kStartFromHereCommand, {5}));
    EXPECT_EQ(session->run().questionOrder(), (Order{5, 6, 7, 8, 9}));
    EXPECT_EQ(session->view().questionNumber, u"No.01/05");
    EXPECT_EQ(session->view().sentenceId, u"005");
    session->run().setState(PracticeState::Stop);

    ASSERT_TRUE(
        session->onListMenuCommand(PracticeSession::kAskSelectedCommand, {7, 2, 2, 99, -1}));
    EXPECT_EQ(session->run().questionOrder(), (Order{2, 7}));
    session->run().setState(PracticeState::Stop);
    EXPECT_FALSE(session->onListMenuCommand(PracticeSession::kAudioConversionCommand, {1}));
    EXPECT_FALSE(session->onListMenuCommand(PracticeSession::kPrintCommand, {1}));
    EXPECT_EQ(session->state(), PracticeState::Ready);
}

TEST_F(Run, TheAudioConversionAndPrintingOpenForTheSelectedRowsOnceTheProgramOffersThem) {
    openTen();
    std::vector<std::vector<int>> converted;
    std::vector<std::vector<int>> printed;
    session->setAudioConversionOpener(
        [&](const std::vector<int>& rows) { converted.push_back(rows); });
    session->setPrintOpener([&](const std::vector<int>& rows) { printed.push_back(rows); });
    for (size_t item : {3, 4}) {
        EXPECT_FALSE(session->listMenu(0)[item].enabled);
        EXPECT_TRUE(session->listMenu(1)[item].enabled);
        EXPECT_TRUE(session->listMenu(4)[item].enabled);
    }
    EXPECT_EQ(session->listMenu(1)[4].id, PracticeSession::kPrintCommand);
    EXPECT_FALSE(session->onListMenuCommand(PracticeSession::kAudioConversionCommand, {}));
    EXPECT_FALSE(session->onListMenuCommand(PracticeSession::kPrintCommand, {}));
    EXPECT_TRUE(session->onListMenuCommand(PracticeSession::kAudioConversionCommand, {3, 1}));
    EXPECT_TRUE(session->onListMenuCommand(PracticeSession::kPrintCommand, {5, 2}));
    EXPECT_EQ(converted, (std::vector<std::vector<int>>{{3, 1}}));
    EXPECT_EQ(printed, (std::vector<std::vector<int>>{{5, 2}}));
    EXPECT_EQ(session->state(), PracticeState::Ready);
}

TEST_F(Run, ShuffleFollowsTheProcessWideGenerator) {
    openSentences({u"a", u"b", u"c", u"d", u"e"});
    setOption(&PracticeOptions::shuffle);
    // From seed 1 the generator gives 41, 18467, 6334, 26500: j = 0, 1, 0, 4.
    seedRandom(1);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->run().questionOrder(), (Order{3, 2, 0, 1, 4}));

    // The largest number the generator gives would point past i: it is kept at i.
    Order order{0, 1, 2, 3};
    shuffleQuestions(order, [] { return 32767; });
    EXPECT_EQ(order, (Order{0, 1, 2, 3}));
    shuffleQuestions(order, [] { return 0; });
    EXPECT_EQ(order, (Order{3, 0, 1, 2}));
}

TEST_F(Run, NoMatchingQuestionSaysSoAndStaysReady) {
    openSentences({u"a", u"b"});
    setOption(&PracticeOptions::onlyCheckedQuestions);
    EXPECT_FALSE(session->startRun(RunKind::AllRows));
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0].text, u"条件に該当する問題文が１つもありません！");
    EXPECT_EQ(ui->boxes[0].caption, u"Korvant");
    EXPECT_EQ(session->state(), PracticeState::Ready);

    setOption(&PracticeOptions::onlyCheckedQuestions, false);
    setMode(PracticeMode::OrderWriting);  // not in this version: said, not started
    EXPECT_FALSE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(ui->boxes.size(), 2u);
    EXPECT_EQ(session->state(), PracticeState::Ready);
}

TEST_F(Run, SpaceGoesOnAndEndsTheRunAfterTheLastQuestion) {
    openSentences({u"Go", u"On"});
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_TRUE(key(PracticeKey::Space) == false);  // Space is typed while typing
    type(u"go");
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_TRUE(key(PracticeKey::Space));
    EXPECT_EQ(session->state(), PracticeState::Typing);
    EXPECT_EQ(session->run().position(), 1);
    type(u"on");
    const int stopsBefore = speaker.stops;
    EXPECT_TRUE(key(PracticeKey::Space));
    EXPECT_EQ(session->state(), PracticeState::Ready);
    EXPECT_TRUE(session->run().questionOrder().empty());
    EXPECT_GT(speaker.stops, stopsBefore);

    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    type(u"go");
    EXPECT_TRUE(key(PracticeKey::Escape));  // Esc in Answer stops the run
    EXPECT_EQ(session->state(), PracticeState::Ready);
}

TEST_F(Run, CtrlArrowsMoveSilentlyAndReleasingSpeaks) {
    openSentences({u"s0", u"s1", u"s2"});
    session->startRun(RunKind::AllRows);
    speaker.calls.clear();

    key(PracticeKey::Control, true);
    EXPECT_TRUE(key(PracticeKey::Right, true));
    EXPECT_TRUE(key(PracticeKey::Right, true));  // held: the key repeats
    EXPECT_EQ(session->run().position(), 2);
    EXPECT_TRUE(key(PracticeKey::Right, true));  // no question after the last
    EXPECT_EQ(session->run().position(), 2);
    EXPECT_TRUE(speaker.calls.empty());
    EXPECT_TRUE(keyUp(PracticeKey::Right, true));
    EXPECT_EQ(session->run().position(), 2);
    EXPECT_EQ(speaker.calls, std::vector<std::u16string>{u"sentence:s2"});

    speaker.calls.clear();
    key(PracticeKey::Left, true);
    EXPECT_EQ(session->run().position(), 1);
    key(PracticeKey::Left, true);
    key(PracticeKey::Left, true);  // at the first question: the first again
    EXPECT_EQ(session->run().position(), 0);
    EXPECT_EQ(session->state(), PracticeState::Typing);
    keyUp(PracticeKey::Left, true);
    keyUp(PracticeKey::Control);
    EXPECT_EQ(speaker.calls, std::vector<std::u16string>{u"sentence:s0"});

    // Without Ctrl an arrow neither moves nor restarts.
    EXPECT_FALSE(key(PracticeKey::Right));
    EXPECT_FALSE(keyUp(PracticeKey::Right));
    EXPECT_EQ(session->run().position(), 0);
    EXPECT_EQ(speaker.calls.size(), 1u);
}

TEST_F(Run, SpeechAtEachStep) {
    const std::string voice = dir.file("s1.wav");
    test::writeAll(voice, "RIFF");
    open({{u"One", u"Eins", u""}, {u"Two", u"Zwei", u"voice=\"" + fromUtf8(voice) + u"\""}});
    struct Case {
        PracticeMode mode;
        bool playsRecordings;
        std::vector<std::u16string> calls;
    };
    const std::u16string play = u"play:" + fromUtf8(voice) + u":0:-1";
    const Case cases[] = {
        // Question start, Enter while typing, completion, Enter in Answer;
        // then the second question, which has a recording.
        {PracticeMode::Dictation,
         true,
         {u"sentence:One", u"sentence:One", u"sentence:One", u"sentence:One", play}},
        {PracticeMode::Writing,
         true,
         {u"translation:Eins", u"translation:Eins", u"sentence:One", u"sentence:One",
          u"translation:Zwei"}},
        {PracticeMode::Dictation,
         false,
         {u"sentence:One", u"sentence:One", u"sentence:One", u"sentence:One", play,
          u"sentence:Two"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        setMode(c.mode);
        speaker.playsRecordings = c.playsRecordings;
        speaker.calls.clear();
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
        key(PracticeKey::Enter);
        type(u"one");
        key(PracticeKey::Enter);
        key(PracticeKey::Space);
        EXPECT_EQ(speaker.calls, c.calls);
        session->run().setState(PracticeState::Stop);
    }
}

TEST_F(Run, SlashPausesSpeechWithoutBeingTyped) {
    openSentences({u"Go"});
    EXPECT_FALSE(session->onChar(U'/'));  // Ready
    session->startRun(RunKind::AllRows);
    speaker.calls.clear();
    EXPECT_TRUE(session->onChar(U'/'));
    EXPECT_EQ(session->run().currentStats().typingCount, 0u);
    type(u"go");
    speaker.calls.clear();
    EXPECT_TRUE(session->onChar(U'/'));  // Answer
    EXPECT_EQ(speaker.calls, std::vector<std::u16string>{u"pause"});
}

TEST_F(Run, ThePromptBlinksInAnswerOnly) {
    openSentences({u"Go"});
    EXPECT_FALSE(session->onBlinkTimer());  // Ready: the timer stops
    session->startRun(RunKind::AllRows);
    listener.notifications.clear();
    EXPECT_TRUE(session->onBlinkTimer());
    EXPECT_TRUE(listener.notifications.empty());  // nothing to repaint while typing
    type(u"go");
    EXPECT_EQ(session->view().prompt, u"");
    EXPECT_TRUE(session->onBlinkTimer());
    EXPECT_EQ(session->view().prompt, u"Press the Space key");
    EXPECT_TRUE(session->onBlinkTimer());
    EXPECT_EQ(session->view().prompt, u"");
}

// A question with nothing to type is answered as soon as it is asked and
// stays answered: the learner reads it and goes on with Space.
TEST_F(Run, NothingToTypeIsAnsweredAtOnce) {
    for (PracticeMode mode : {PracticeMode::Dictation, PracticeMode::Writing}) {
        SCOPED_TRACE(static_cast<int>(mode));
        openSentences({u"Go", u"こんにちは。", u"Go"}, mode);
        clock.time = 50000;
        const uint32_t timeBefore = session->results().history().totals().totalTime;
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
        clock.time += 1000;
        type(u"go");
        clock.time += 2000;  // reading the answer is not practice time
        speaker.calls.clear();
        key(PracticeKey::Space);
        EXPECT_EQ(session->state(), PracticeState::Answer);
        EXPECT_EQ(session->run().position(), 1);
        EXPECT_EQ(attribute(1, u"trialNumber"), u"1");
        EXPECT_EQ(session->run().currentStats().elapsed, 0u);
        EXPECT_EQ(session->results().history().totals().totalTime - timeBefore, 1000u);
        EXPECT_EQ(speaker.calls, std::vector<std::u16string>{u"sentence:こんにちは。"});
        EXPECT_FALSE(session->onChar(U'a'));  // a key cannot answer it again
        EXPECT_EQ(attribute(1, u"trialNumber"), u"1");
        key(PracticeKey::Space);
        EXPECT_EQ(session->state(), PracticeState::Typing);
        EXPECT_EQ(session->run().position(), 2);
        session->run().setState(PracticeState::Stop);
    }
    // The first question too.
    openSentences({u"「はい」", u"Go"});
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->state(), PracticeState::Answer);
    EXPECT_EQ(session->run().position(), 0);
    EXPECT_EQ(session->view().sentenceLines, std::vector<std::u16string>{u"「はい」"});
}

TEST_F(Run, WordsAreSpokenAndCountNoSentence) {
    const std::string voice = dir.file("apple.wav");
    test::writeAll(voice, "RIFF");
    test::writeAll(listPath(),
                   "<SentenceList><SentenceGroup><sentence><![CDATA[A sentence]]></sentence>"
                   "</SentenceGroup><Word key=\" apple \" voice=\"" +
                       voice + "\"><value><![CDATA[りんご]]></value></Word></SentenceList>");
    ASSERT_TRUE(session->openFile(fromUtf8(listPath())));
    session->setWordMode(true);
    ASSERT_EQ(session->list().recordCount(), 1);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->run().translation(), u"りんご");
    type(u"apple");
    EXPECT_EQ(speaker.calls, (std::vector<std::u16string>{u"sentence:apple", u"sentence:apple"}));
    EXPECT_EQ(session->results().history().totals().typingWordCount, 1u);
    EXPECT_EQ(session->results().history().totals().typingSentenceCount, 0u);
}

TEST_F(Run, TheCheckBoxSetsTheModesSideOnly) {
    open({{u"Go", u"", u"check=\"1\""}}, PracticeMode::Writing);
    session->startRun(RunKind::AllRows);
    EXPECT_FALSE(session->view().checked);
    session->setChecked(true);
    EXPECT_EQ(attribute(0, u"check"), u"3");
    session->setChecked(false);
    EXPECT_EQ(attribute(0, u"check"), u"1");
    EXPECT_TRUE(session->hasUnsavedResults());
}

TEST_F(Run, EachEventNotifiesOnce) {
    openSentences({u"Go"});
    listener.notifications.clear();
    session->startRun(RunKind::AllRows);
    ASSERT_EQ(listener.notifications.size(), 1u);
    const unsigned started = listener.notifications[0];
    for (unsigned bit : {kStateChanged, kTakeFocus, kStartBlinkTimer, kRepaint, kCheckChanged,
                         kExplanationChanged}) {
        EXPECT_TRUE(started & bit) << bit;
    }
    listener.notifications.clear();
    type(u"g");
    EXPECT_EQ(listener.notifications, std::vector<unsigned>{kRepaint});
}

TEST_F(Run, OptionsAreReadAndWrittenAsSettings) {
    PracticeOptions options = PracticeOptions::load();  // nothing stored yet: the defaults
    EXPECT_EQ(options.mode, PracticeMode::Dictation);
    EXPECT_EQ(options.pointLimit, 130);
    options.mode = PracticeMode::Writing;
    options.shuffle = true;
    session->setOptions(options);
    session->saveSettings();
    const std::string ini = test::readAll(dir.file("phrasewright.ini"));
    for (const char* line : {"Mode=2", "PointLimit=130", "UsePointLimit=0",
                             "OnlyCheckedQuestions=0", "UseShuffule=1", "UseIE=0", "Theme=0"}) {
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    }
    EXPECT_TRUE(PracticeOptions::load().shuffle);

    ProfileSettings::instance().write(settings::kMode, 9);
    ProfileSettings::instance().write(settings::kPointLimit, 5000);
    EXPECT_EQ(PracticeOptions::load().mode, PracticeMode::Dictation);
    EXPECT_EQ(PracticeOptions::load().pointLimit, 999);
}

}  // namespace
}  // namespace pw
