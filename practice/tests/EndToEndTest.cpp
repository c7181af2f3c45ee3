// A whole practice over the sample learning file: open, a Dictation run, the
// first sentence typed, its score, Save, and what reached the disk.
#include <filesystem>

#include "practice/Scoring.h"
#include "practice/tests/PracticeTestSupport.h"

namespace pw {
namespace {

using test::SessionTest;

class EndToEnd : public SessionTest {};

TEST_F(EndToEnd, DictationOverTheSampleFile) {
    const std::string file = dir.file("EverydayEnglish.xml");
    std::filesystem::copy_file(test::sourceDir() + "/Data/EverydayEnglish.xml", file);
    ASSERT_TRUE(session->openFile(fromUtf8(file)));
    EXPECT_EQ(session->state(), PracticeState::Ready);
    EXPECT_FALSE(session->view().description.empty());
    const int records = session->list().recordCount();
    ASSERT_GT(records, 1);

    setMode(PracticeMode::Dictation);
    ASSERT_TRUE(session->startRun(RunKind::AllRows));
    EXPECT_EQ(session->state(), PracticeState::Typing);
    EXPECT_EQ(speaker.calls.back(), u"sentence:Good morning. How did you sleep?");
    EXPECT_EQ(session->view().sentenceLines[0], u"**** *******. *** *** *** *****?");

    clock.time += 12000;
    uint32_t typed = 0;
    for (char16_t c : session->sentence().targetText()) {
        typed += typing::isWordChar(c) ? 1 : 0;
    }
    typeRest();
    ASSERT_EQ(session->state(), PracticeState::Answer);
    const double score = typed * 60.0 / 12.0;
    EXPECT_EQ(session->view().scoreLabel, u"HighScore: " + formatScore(score));
    EXPECT_EQ(session->view().sentenceLines[0], u"Good morning. How did you sleep?");
    EXPECT_EQ(session->view().translationLines[0], u"おはよう。よく眠れた？");
    EXPECT_EQ(session->view().explanation, u"How did you sleep? は朝のあいさつの定番です。");
    EXPECT_EQ(keySound.plays, static_cast<int>(typed));

    ui->answers.push_back(IdYes);
    ASSERT_TRUE(session->save(session->view().description));

    SentenceListModel saved;
    ASSERT_TRUE(saved.open(file));
    ASSERT_EQ(saved.recordCount(), records);
    EXPECT_EQ(saved.record(0)->getAttribute(u"dictationScore"), formatScore(score));
    EXPECT_EQ(saved.record(0)->getAttribute(u"trialNumber"), u"1");
    EXPECT_FALSE(saved.record(1)->hasAttribute(u"trialNumber"));
    EXPECT_EQ(saved.text(0, TextKind::Sentence), u"Good morning. How did you sleep?");

    HistoryManager log(dir.file("Log.xml"));
    log.load();
    EXPECT_EQ(log.totals().totalTime, 12000u);
    EXPECT_EQ(log.totals().typingCount, typed);
    EXPECT_EQ(log.totals().missTypingCount, 0u);
    EXPECT_EQ(log.totals().typingWordCount, 6u);
    EXPECT_EQ(log.totals().typingSentenceCount, 1u);

    key(PracticeKey::Space);
    EXPECT_EQ(session->state(), PracticeState::Typing);
    EXPECT_EQ(session->run().position(), 1);
    key(PracticeKey::Escape);
    key(PracticeKey::Escape);
    EXPECT_EQ(session->state(), PracticeState::Ready);
}

}  // namespace
}  // namespace pw
