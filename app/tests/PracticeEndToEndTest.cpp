// A learner's first practice in the real main window: the sample learning
// file opened from the library, a Dictation run started with the Start
// button, the first sentence typed key by key, its score in the Answer state,
// and Save answered Yes; then the learning file and "Log.xml" on disk. And a
// Save at close that fails: the window and the results stay.
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "app/tests/WorkingFolder.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/CharacterClasses.h"
#include "practice/Scoring.h"
#include "practice/ui/testsupport/KeyPresses.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

constexpr const char* kSample = "Data/EverydayEnglish.xml";

class FirstPractice : public ::testing::Test {
protected:
    FirstPractice() {
        fs::create_directories(m_program + "/Data");
        fs::copy_file(test::sourceDir() + "/" + kSample, m_program + "/" + kSample);
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(m_program + "/phrasewright.ini");
        // Room for the first sentence on one line; the voices stay silent
        // (and the key click, without "Resources/type.wav"), since audio
        // tests may be listening to the sound server meanwhile.
        ProfileSettings& settings = ProfileSettings::instance();
        settings.writeInt(u"Window", u"MainWidth", 1000);
        settings.writeInt(u"Window", u"MainHeight", 700);
        settings.writeInt(u"Speaker", u"Enable1", 0);
        settings.writeInt(u"Speaker", u"Enable2", 0);
    }
    ~FirstPractice() override {
        app.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
    }

    // The window with the sample file open, in Ready.
    void openSample() {
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->createTopLevel());
        ASSERT_TRUE(test::runEventsUntil([&] { return app->handle()->IsShownOnScreen(); }));
        ASSERT_TRUE(app->contentPane().openLearningFile(fromUtf8(kSample)));
        ASSERT_EQ(session().state(), PracticeState::Ready);
    }
    TypingPane& pane() { return app->contentPane().typingPane(); }
    PracticeSession& session() { return pane().session(); }

    // Starts a Dictation run and types the first sentence to its end; the
    // keys typed.
    uint32_t typeFirstSentence() {
        test::sendNative(pane().modePane().startButton().handle(), wxEVT_BUTTON);
        EXPECT_EQ(session().state(), PracticeState::Typing);
        uint32_t typed = 0;
        for (char16_t c : session().sentence().targetText()) {
            if (typing::isWordChar(c)) {
                test::runEventsFor(15);  // a learner's pace: the sentence takes time
                test::typeChar(pane().handle(), c);
                ++typed;
            }
        }
        EXPECT_EQ(session().state(), PracticeState::Answer);
        return typed;
    }

    test::TempDir dir;
    test::ScopedRecordingUi recording;
    std::unique_ptr<TestApp> app;

private:
    std::string m_program = dir.file("program");
    test::ScopedWorkingFolder m_folder{m_program};
    std::string m_oldSettings;
};

TEST_F(FirstPractice, ADictationRunOverTheSampleFileIsScoredAndSaved) {
    openSample();
    const int records = session().list().recordCount();
    EXPECT_EQ(pane().sentenceList().rowCount(), records);
    ASSERT_EQ(pane().modePane().modeCombo().itemText(pane().modePane().modeCombo().selectedIndex()),
              u"Dictation");

    const uint32_t typed = typeFirstSentence();
    const std::u16string target = session().sentence().targetText();
    EXPECT_EQ(target, u"Good morning. How did you sleep?");
    EXPECT_EQ(session().view().sentenceLines.at(0), target);
    const SentenceStats stats = session().run().currentStats();
    EXPECT_EQ(stats.typingCount, typed);
    EXPECT_EQ(stats.missCount, 0u);
    ASSERT_GT(stats.elapsed, 0u);
    const double score = typed * 60.0 / (stats.elapsed / 1000.0);
    EXPECT_NEAR(session().run().score(), score, 1e-6);
    EXPECT_EQ(session().view().scoreLabel, u"HighScore: " + formatScore(score));
    EXPECT_EQ(pane().sentenceList().cellText(0, SentenceListModel::kDictationColumn),
              formatScore(score));

    test::pressKey(pane().handle(), WXK_ESCAPE);  // back to Ready, where Save is
    ASSERT_EQ(session().state(), PracticeState::Ready);
    recording->answers = {IdYes};
    test::sendNative(pane().modePane().saveButton().handle(), wxEVT_BUTTON);
    EXPECT_FALSE(session().hasUnsavedResults());
    bool asked = false;
    for (const test::RecordedBox& box : recording->boxes) {
        asked = asked || (box.text == u"データを保存しますか。" &&
                          box.caption == u"Do you want to save the results?");
    }
    EXPECT_TRUE(asked);

    SentenceListModel saved;
    ASSERT_TRUE(saved.open(std::string(kSample)));
    ASSERT_EQ(saved.recordCount(), records);
    EXPECT_EQ(saved.record(0)->getAttribute(u"dictationScore"), formatScore(score));
    EXPECT_EQ(saved.record(0)->getAttribute(u"trialNumber"), u"1");
    EXPECT_FALSE(saved.record(1)->hasAttribute(u"trialNumber"));
    EXPECT_EQ(saved.text(0, TextKind::Sentence), target);

    HistoryManager log("Log.xml");
    log.load();
    EXPECT_EQ(log.totals().totalTime, stats.elapsed);
    EXPECT_EQ(log.totals().typingCount, typed);
    EXPECT_EQ(log.totals().missTypingCount, 0u);
    EXPECT_EQ(log.totals().typingWordCount, 6u);
    EXPECT_EQ(log.totals().typingSentenceCount, 1u);

    // Nothing is left to ask about when the window closes.
    const size_t boxes = recording->boxes.size();
    EXPECT_TRUE(app->handle()->Close());
    EXPECT_EQ(recording->boxes.size(), boxes);
}

TEST_F(FirstPractice, AFailedSaveAtCloseKeepsTheWindowAndTheResultsUntilARetrySavesThem) {
    openSample();
    typeFirstSentence();
    fs::permissions(kSample, fs::perms::owner_read | fs::perms::group_read);

    // Yes to saving; the write fails; Cancel: the learner stays.
    recording->answers = {IdYes, IdCancel};
    app->handle()->Close();
    test::runEventsFor(50);
    ASSERT_NE(app->handle(), nullptr);
    EXPECT_TRUE(app->handle()->IsShown());
    EXPECT_NE(app->contentPane().handle(), nullptr);
    ASSERT_EQ(recording->boxes.size(), 2u);
    EXPECT_NE(recording->boxes[1].text.find(u"EverydayEnglish.xml"), std::u16string::npos);
    EXPECT_TRUE(session().hasUnsavedResults());
    EXPECT_EQ(session().list().record(0)->getAttribute(u"trialNumber"), u"1");

    // Once the file can be written, closing again saves and closes.
    fs::permissions(kSample, fs::perms::owner_all);
    recording->answers = {IdYes};
    app->handle()->Close();
    test::runEventsFor(50);
    EXPECT_EQ(app->handle(), nullptr);
    SentenceListModel saved;
    ASSERT_TRUE(saved.open(std::string(kSample)));
    EXPECT_EQ(saved.record(0)->getAttribute(u"trialNumber"), u"1");
}

}  // namespace
}  // namespace pw
