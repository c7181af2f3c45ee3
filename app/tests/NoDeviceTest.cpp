// The main window under a display with no sound server: the learner types a
// sentence to its end with key clicks and both voices on. No box comes up,
// every key counts, and the speaker's pane says once why nothing is heard.
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "app/tests/WorkingFolder.h"
#include "audio/AudioEngine.h"
#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "gui/testsupport/GuiTest.h"
#include "practice/CharacterClasses.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "speech/SpeechNotice.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

TEST(NoSoundDevice, ASentenceIsTypedToTheEndAndTheLearnerIsToldOnce) {
    // No sound server can be reached, so no device is offered.
    unsetenv("XDG_RUNTIME_DIR");
    setenv("PULSE_SERVER", "unix:/nonexistent/pulse/native", 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    test::TempDir dir;
    const std::string program = dir.file("program");
    fs::create_directories(program + "/Data");
    fs::create_directories(program + "/Resources");
    fs::copy_file(test::sourceDir() + "/Data/EverydayEnglish.xml",
                  program + "/Data/EverydayEnglish.xml");
    fs::copy_file(test::sourceDir() + "/Resources/type.wav", program + "/Resources/type.wav");
    test::ScopedWorkingFolder folder(program);
    const std::string oldSettings = ProfileSettings::instance().path();
    ProfileSettings::instance().setPath(program + "/phrasewright.ini");
    test::ScopedRecordingUi recording;

    // As the program starts: the output is looked for in the background.
    AudioEngine::instance().initializeInBackground();
    auto app = std::make_unique<TestApp>();
    ASSERT_TRUE(app->createTopLevel());
    ASSERT_TRUE(test::runEventsUntil([&] { return app->handle()->IsShownOnScreen(); }));
    TypingPane& pane = app->contentPane().typingPane();
    PracticeSession& session = pane.session();
    ASSERT_TRUE(app->contentPane().openLearningFile(u"Data/EverydayEnglish.xml"));
    if (AudioEngine::instance().initialize()) {
        GTEST_SKIP() << "This machine offers an output device even with no sound server.";
    }
    SentenceSpeaker& speaker = app->contentPane().speakerPane();
    ASSERT_TRUE(speaker.speaker().isVoiceEnabled(0));
    ASSERT_TRUE(speaker.speaker().isVoiceEnabled(1));

    test::sendNative(pane.modePane().startButton().handle(), wxEVT_BUTTON);
    ASSERT_EQ(session.state(), PracticeState::Typing);
    uint32_t typed = 0;
    for (char16_t c : session.sentence().targetText()) {
        if (typing::isWordChar(c)) {
            test::runEventsFor(15);
            test::typeChar(pane.handle(), c);
            ++typed;
        }
    }
    ASSERT_EQ(session.state(), PracticeState::Answer);
    test::pressKey(pane.handle(), WXK_RETURN);  // heard again, or rather not
    test::runEventsFor(300);

    EXPECT_TRUE(recording->boxes.empty()) << toUtf8(recording->boxes.front().text);
    EXPECT_EQ(session.run().currentStats().typingCount, typed);
    EXPECT_EQ(session.run().currentStats().missCount, 0u);
    EXPECT_EQ(noticesTold(), std::vector<std::u16string>{kNoSoundDeviceNotice});
    EXPECT_EQ(speaker.noticeText(), kNoSoundDeviceNotice);
    EXPECT_TRUE(speaker.noticeLine().isVisible());

    recording->answers = {IdNo};
    app->handle()->Close();
    app.reset();
    ProfileSettings::instance().setPath(oldSettings);
}

}  // namespace
}  // namespace pw
