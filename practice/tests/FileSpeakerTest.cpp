// What a newly opened file does to the speaker it is practised with: the
// voices and "Sentence audio" follow the file unless the learner chose, and
// a recording that cannot be played leaves the sentence to the voice.
#include <gtest/gtest.h>

#include "core/ProfileSettings.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "practice/tests/PracticeTestSupport.h"
#include "speech/PracticeSpeaker.h"
#include "speech/SpeechNotice.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {

// The real speaker and player, over voices that record (voice A reads
// English, voice B Japanese).
class FileSpeaker : public ::testing::Test {
protected:
    FileSpeaker() {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        resetNoticesForTesting();
    }
    ~FileSpeaker() override { ProfileSettings::instance().setPath(m_oldSettings); }

    void start(PracticeMode mode) {
        session.reset();
        practiceSpeaker.reset();
        speaker = std::make_unique<Speaker>(nullptr, voices.factory());
        speaker->initialize();
        speaker->loadSettings();
        practiceSpeaker = std::make_unique<PracticeSpeaker>(*speaker);
        PracticeSetup setup;
        setup.clock = &clock;
        setup.keySound = &keys;
        setup.logPath = dir.file("Log.xml");
        setup.themePath = dir.file("ThemeList.xml");
        session = std::make_unique<PracticeSession>(*practiceSpeaker, setup);
        session->create();
        ASSERT_TRUE(session->openFile(fromUtf8(dir.file("list.xml"))));
        PracticeOptions options = session->options();
        options.mode = mode;
        session->setOptions(options);
        ASSERT_TRUE(session->startRun(RunKind::AllRows));
    }
    test::FakeVoice& voice(int i) { return *voices.made.at(voices.made.size() - 2 + i); }

    test::TempDir dir;
    test::ScopedRecordingUi ui;
    test::ManualClock clock;
    test::CountingKeySound keys;
    test::FakeVoices voices;
    std::unique_ptr<Speaker> speaker;
    std::unique_ptr<PracticeSpeaker> practiceSpeaker;
    std::unique_ptr<PracticeSession> session;

private:
    std::string m_oldSettings;
};

TEST_F(FileSpeaker, JapaneseTranslationsAreReadByTheJapaneseVoiceUnlessTheLearnerChoseOne) {
    test::writeLearningFile(dir.file("list.xml"),
                            {{u"Good morning.", u"\u304a\u306f\u3088\u3046\u3002", u""},
                             {u"Thank you.", u"\u3042\u308a\u304c\u3068\u3046\u3002", u""}});
    start(PracticeMode::Writing);
    EXPECT_EQ(voice(1).spoken.back(), u"\u304a\u306f\u3088\u3046\u3002");
    EXPECT_EQ(voice(1).voice, 1) << "voice B reads Japanese";
    EXPECT_EQ(speaker->voiceList(0).selectedIndex(), 0) << "the sentences stay English";

    // A choice stored in an earlier run wins.
    ProfileSettings::instance().writeInt(u"Speaker", u"Voice2", 0);
    start(PracticeMode::Writing);
    EXPECT_EQ(voice(1).spoken.back(), u"\u304a\u306f\u3088\u3046\u3002");
    EXPECT_EQ(voice(1).voice, 0);
}

TEST_F(FileSpeaker, ASentenceWhoseRecordingCannotBeOpenedIsReadByTheVoice) {
    test::writeLearningFile(dir.file("list.xml"),
                            {{u"Good morning.", u"", u"startTime=\"00:01:00\""},
                             {u"See you.", u"", u"startTime=\"00:02:00\""}});
    // A companion recording the decoders cannot read.
    test::writeAll(dir.file("list.wma"), std::string(4096, '\x30'));
    start(PracticeMode::Dictation);
    EXPECT_TRUE(speaker->usesSentenceAudio()) << "on by default: the file has recordings";
    EXPECT_EQ(voice(0).spoken, std::vector<std::u16string>{u"Good morning."});
    session->onKeyDown({PracticeKey::Enter});
    EXPECT_EQ(voice(0).spoken.size(), 2u);
    const std::vector<std::u16string> notices = noticesTold();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(fromUtf8(dir.file("list.wma"))), std::u16string::npos);
}

}  // namespace
}  // namespace pw
