// The practice pane that makes its controls after the start screen: they
// come once it has been painted, or at once when a file is opened, and the
// speaker's settings are left alone when they were never read.
#include <memory>

#include "gui/testsupport/GuiTest.h"
#include "practice/tests/PracticeTestSupport.h"
#include "practice/ui/TypingPane.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {
using test::runEventsUntil;

class Deferred : public ::testing::Test {
protected:
    Deferred() {
        m_oldSettings = ProfileSettings::instance().path();
        ProfileSettings::instance().setPath(dir.file("phrasewright.ini"));
        ProfileSettings::instance().writeInt(u"Speaker", u"Rate1", 7);
    }
    ~Deferred() override {
        pane.reset();
        ProfileSettings::instance().setPath(m_oldSettings);
    }
    void make() {
        PracticeSetup setup;
        setup.logPath = dir.file("Log.xml");
        setup.themePath = dir.file("ThemeList.xml");
        setup.keySound = &keys;
        pane = std::make_unique<TypingPane>(setup, std::make_unique<test::FakePlayer>(),
                                            voices.factory());
        pane->deferControls([this] { ++made; });
        ASSERT_TRUE(pane->create(host, 0, 0, 600, 400));
    }

    test::TempDir dir;
    test::CountingKeySound keys;
    test::FakeVoices voices;
    test::HostWindow host{600, 400};
    std::unique_ptr<TypingPane> pane;
    int made = 0;

private:
    std::string m_oldSettings;
};

TEST_F(Deferred, TheControlsFollowTheFirstPaint) {
    make();
    EXPECT_EQ(pane->modePane().handle(), nullptr);
    EXPECT_EQ(made, 0);
    pane->finish();  // closed before: the speaker's settings were never read
    EXPECT_EQ(ProfileSettings::instance().readInt(u"Speaker", u"Rate1", 0), 7);

    ASSERT_TRUE(runEventsUntil([&] { return made == 1; }, 5000));
    EXPECT_NE(pane->modePane().handle(), nullptr);
    EXPECT_NE(pane->resultWindow().handle(), nullptr);
    EXPECT_FALSE(pane->modePane().isVisible());  // still the start screen
    EXPECT_EQ(pane->speaker().rate(0), 7);
    test::runEventsFor(50);
    EXPECT_EQ(made, 1);
}

TEST_F(Deferred, OpeningAFileMakesThemAtOnce) {
    make();
    test::writeLearningFile(dir.file("list.xml"), {{u"Go", u"", u""}});
    ASSERT_TRUE(pane->openFile(fromUtf8(dir.file("list.xml"))));
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(pane->modePane().isVisible());
    EXPECT_EQ(pane->sentenceList().rowCount(), 1);
}

}  // namespace
}  // namespace pw
