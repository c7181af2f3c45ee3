// The practice pane inside the main window: opening another file offers to
// save the results of the open one, keys the content pane receives reach the
// practice, closing the window offers to save and keeps the options, and the
// speaker's "辞書" opens the dictionary window.
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "app/tests/WorkingFolder.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/ui/DictionaryDialog.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/ui/testsupport/KeyPresses.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

class PracticeArea : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("program/phrasewright.ini"));
        // Silent voices: audio tests may be listening to the sound server.
        ProfileSettings::instance().writeInt(u"Speaker", u"Enable1", 0);
        ProfileSettings::instance().writeInt(u"Speaker", u"Enable2", 0);
        fs::create_directories("Data");
        for (const char* name : {"a", "b"}) {
            test::writeAll(std::string("Data/") + name + ".xml",
                           std::string("<SentenceList><SentenceGroup><sentence><![CDATA[Go ") +
                               name + "]]></sentence></SentenceGroup></SentenceList>");
        }
        app = std::make_unique<TestApp>();
        ASSERT_TRUE(app->createTopLevel());
        test::runEventsUntil([&] { return app->handle()->IsShownOnScreen(); });
    }
    void TearDown() override {
        app.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
    }

    TypingNavigationPane& content() { return app->contentPane(); }
    PracticeSession& session() { return content().typingPane().session(); }
    // Answers the open file's only question, leaving a result unsaved.
    void practise() {
        ASSERT_TRUE(session().startRun(RunKind::AllRows));
        for (char16_t c : session().sentence().targetText()) {
            session().onChar(c);
        }
        ASSERT_EQ(session().state(), PracticeState::Answer);
        ASSERT_TRUE(session().hasUnsavedResults());
    }
    static std::u16string trialOf(const std::string& path) {
        SentenceListModel list;
        return list.open(path) ? list.record(0)->getAttribute(u"trialNumber") : u"unreadable";
    }
    size_t questionsAsked() {
        size_t n = 0;
        for (const test::RecordedBox& box : recording->boxes) {
            n += box.text == PracticeSession::kSaveQuestion;
        }
        return n;
    }

    test::TempDir dir;
    test::ScopedWorkingFolder folder{dir.file("program")};
    test::ScopedRecordingUi recording;
    std::unique_ptr<TestApp> app;

private:
    std::string m_oldSettings;
};

TEST_F(PracticeArea, OpeningAnotherFileOffersToSaveTheResultsFirst) {
    struct Case {
        int answer;
        bool logWritable;
        bool opened;  // the other file, or the open one stays
        bool fileSaved;
    };
    const std::string logPath = dir.file("program/Log.xml");
    // The last: the learning file is written, "Log.xml" is not.
    for (const Case& c : {Case{IdNo, true, true, false}, Case{IdYes, true, true, true},
                          Case{IdYes, false, false, true}}) {
        SCOPED_TRACE(testing::Message() << c.answer << " " << c.logWritable);
        ASSERT_TRUE(content().openLearningFile(u"Data/a.xml"));
        const std::string before = test::readAll("Data/a.xml");
        practise();
        if (!c.logWritable) {
            fs::create_directory(logPath);
        }
        recording->boxes.clear();
        recording->answers = {c.answer};

        EXPECT_EQ(content().openLearningFile(u"Data/b.xml"), c.opened);
        EXPECT_EQ(questionsAsked(), 1u);
        for (auto& b : recording->boxes)
            printf("BOX %s\n", toUtf8(b.text).c_str());
        EXPECT_EQ(trialOf("Data/a.xml"), c.fileSaved ? u"1" : u"");
        EXPECT_EQ(content().openFilePath(), c.opened ? u"Data/b.xml" : u"Data/a.xml");
        EXPECT_EQ(session().list().text(0, TextKind::Sentence), c.opened ? u"Go b" : u"Go a");
        // Results that could not be saved are still there to save.
        EXPECT_EQ(session().hasUnsavedResults(), !c.opened);
        EXPECT_EQ(app->getText(), (c.opened ? u"b" : u"a") + std::u16string(u" - Phrasewright"));

        fs::remove_all(logPath);
        recording->answers = {IdNo};
        content().openLearningFile(u"Data/b.xml");
        test::writeAll("Data/a.xml", before);
    }

    // Nothing to save: nothing asked.
    recording->boxes.clear();
    ASSERT_TRUE(content().openLearningFile(u"Data/a.xml"));
    EXPECT_EQ(questionsAsked(), 0u);
}

TEST_F(PracticeArea, KeysOfTheContentPaneReachThePractice) {
    ASSERT_TRUE(content().openLearningFile(u"Data/a.xml"));
    ASSERT_TRUE(session().startRun(RunKind::AllRows));
    for (char16_t c : std::u16string(u"go a")) {
        test::typeChar(content().handle(), c);
    }
    EXPECT_EQ(session().state(), PracticeState::Answer);
    test::pressKey(content().handle(), WXK_ESCAPE);
    EXPECT_EQ(session().state(), PracticeState::Ready);
}

TEST_F(PracticeArea, TheSpeakersDictionaryButtonOpensOneDictionaryWindowBesideThePractice) {
    ASSERT_TRUE(content().openLearningFile(u"Data/a.xml"));
    ASSERT_TRUE(test::runEventsUntil([&] { return content().speakerPane().handle() != nullptr; }));
    Button& button = content().speakerPane().dictionaryButton();
    EXPECT_TRUE(button.isEnabled());
    EXPECT_EQ(content().dictionaryDialog(), nullptr);
    for (int i = 0; i < 2; ++i) {
        test::sendNative(button.handle(), wxEVT_BUTTON);
        ASSERT_NE(content().dictionaryDialog(), nullptr);
        EXPECT_TRUE(content().dictionaryDialog()->isOpen());
    }
    DictionaryDialog* dialog = content().dictionaryDialog();
    // Modeless: the practice goes on while it is open.
    ASSERT_TRUE(session().startRun(RunKind::AllRows));
    test::sendNative(button.handle(), wxEVT_BUTTON);
    EXPECT_EQ(content().dictionaryDialog(), dialog) << "the open one comes to the front";
}

TEST_F(PracticeArea, ClosingTheWindowOffersToSaveAndKeepsTheOptions) {
    ASSERT_TRUE(content().openLearningFile(u"Data/a.xml"));
    PracticeOptions options = session().options();
    options.mode = PracticeMode::Writing;
    session().setOptions(options);
    practise();
    recording->answers = {IdYes};
    EXPECT_TRUE(app->handle()->Close());
    EXPECT_EQ(questionsAsked(), 1u);
    EXPECT_EQ(trialOf("Data/a.xml"), u"1");
    EXPECT_TRUE(fs::is_regular_file("Log.xml"));
    EXPECT_EQ(ProfileSettings::instance().readInt(u"Phrasewright", u"Mode", 1), 2);
}

}  // namespace
}  // namespace pw
