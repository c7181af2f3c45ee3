// Where the main window goes, and the settings that carry it between runs.
#include <gtest/gtest.h>

#include "app/WindowPlacement.h"
#include "core/ProfileSettings.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

WindowRect at(int left, int top, int width, int height) {
    return WindowRect{left, top, left + width, top + height};
}

TEST(WindowPlacement, ClampingPullsTheWindowOntoItsMonitorKeepingItsSize) {
    const WindowRect monitor = at(0, 0, 1920, 1080);
    struct Case {
        const char* what;
        WindowRect stored;
        WindowRect expected;
    };
    const Case cases[] = {
        {"inside stays", at(100, 100, 640, 480), at(100, 100, 640, 480)},
        {"beyond the right", at(1500, 100, 640, 480), at(1280, 100, 640, 480)},
        {"beyond the bottom", at(100, 900, 640, 480), at(100, 600, 640, 480)},
        {"beyond both", at(1800, 1000, 640, 480), at(1280, 600, 640, 480)},
        {"beyond the left and top", at(-300, -50, 640, 480), at(0, 0, 640, 480)},
        {"wider than the monitor", at(500, 10, 2500, 480), at(0, 10, 2500, 480)},
        {"taller than the monitor", at(10, 300, 640, 1300), at(10, 0, 640, 1300)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clampToMonitor(c.stored, monitor), c.expected) << c.what;
    }
    // A second monitor to the right has its own edges.
    EXPECT_EQ(clampToMonitor(at(3500, 100, 640, 480), at(1920, 0, 1920, 1080)),
              at(3200, 100, 640, 480));
}

TEST(WindowPlacement, TheNearestMonitorIsTheOneOverlappedMostElseTheClosest) {
    const std::vector<WindowRect> monitors = {at(0, 0, 1920, 1080), at(1920, 0, 1280, 1024)};
    EXPECT_EQ(nearestMonitor(at(100, 100, 640, 480), monitors), 0u);
    EXPECT_EQ(nearestMonitor(at(1800, 100, 640, 480), monitors), 1u);  // mostly on the second
    EXPECT_EQ(nearestMonitor(at(5000, 100, 640, 480), monitors), 1u);  // off to the right
    EXPECT_EQ(nearestMonitor(at(-900, 2000, 640, 480), monitors), 0u);
    EXPECT_EQ(nearestMonitor(at(0, 0, 10, 10), {}), 0u);
}

TEST(WindowPlacement, DefaultsCentreA640By480WindowOnThePrimaryScreen) {
    EXPECT_EQ(centredRect(1920, 1080), at(640, 300, 640, 480));
    EXPECT_EQ(centredRect(1279, 1023), at(319, 271, 640, 480));
    // A screen smaller than the window: signed division, negative origin.
    EXPECT_EQ(centredRect(600, 400), at(-20, -40, 640, 480));
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { settings.setPath(dir.file("phrasewright.ini")); }
    test::TempDir dir;
    ProfileSettings settings;
};

// What the practice pane needs, centred in the work area and never larger.
TEST(WindowPlacement, TheDefaultWindowIsCentredInTheWorkAreaAndFitsIt) {
    const WindowRect work = at(0, 32, 1280, 992);  // a panel along the top
    EXPECT_EQ(defaultWindowRect(work, 1260, 640), at(10, 208, 1260, 640));
    EXPECT_EQ(defaultWindowRect(work, 1500, 1200), work);
    EXPECT_EQ(defaultWindowRect(at(1280, 0, 1024, 768), 1000, 700), at(1292, 34, 1000, 700));
}

TEST_F(SettingsFile, WithoutAFileTheDefaultRectangleIsUsed) {
    EXPECT_EQ(readWindowRect(settings, at(10, 20, 1200, 700)), at(10, 20, 1200, 700));
    // A key that is stored wins over its default; the others keep theirs.
    settings.writeInt(u"Window", u"MainWidth", 900);
    EXPECT_EQ(readWindowRect(settings, at(10, 20, 1200, 700)), at(10, 20, 900, 700));
}

TEST_F(SettingsFile, APlacementRoundTripsThroughTheFile) {
    writeWindowPlacement(settings, at(-10, 20, 800, 600), true);
    ProfileSettings again;
    again.setPath(dir.file("phrasewright.ini"));
    EXPECT_EQ(readWindowRect(again, at(0, 0, 1, 1)), at(-10, 20, 800, 600));
    EXPECT_EQ(again.readString(u"Window", u"Zoomed", u""), u"1");
    const std::string text = test::readAll(dir.file("phrasewright.ini"));
    EXPECT_NE(text.find("MainLeft=-10"), std::string::npos);
    EXPECT_NE(text.find("MainWidth=800"), std::string::npos);

    writeWindowPlacement(again, at(5, 6, 700, 500), false);
    EXPECT_EQ(settings.readString(u"window", u"zoomed", u""), u"0");
    // A missing key still gets its default beside the stored ones.
    EXPECT_EQ(settings.read(settings::kPointLimit), 130);
}

TEST_F(SettingsFile, EveryIntegerKeyHasItsDefaultAndRoundTrips) {
    const IntSetting* all[] = {
        &settings::kMainWidth,     &settings::kMainHeight,
        &settings::kTheme,         &settings::kUseIE,
        &settings::kMode,          &settings::kPointLimit,
        &settings::kUsePointLimit, &settings::kOnlyCheckedQuestions,
        &settings::kUseShuffle,    &settings::kVoice1,
        &settings::kVoice2,        &settings::kRate,
        &settings::kRate1,         &settings::kRate2,
        &settings::kFormat,        &settings::kEnable1,
        &settings::kEnable2,       &settings::kAudioInterval,
        &settings::kSpellOutWords, &settings::kLyricsFormat,
    };
    const int defaults[] = {640, 480, 0, 0, 1, 130, 0, 0, 0, 0, 0, 100, 0, 0, 14, 1, 1, 1000, 0, 0};
    for (size_t i = 0; i < std::size(all); ++i) {
        EXPECT_EQ(settings.read(*all[i]), defaults[i]) << std::string(all[i]->key, all[i]->key + 3);
    }
    for (size_t i = 0; i < std::size(all); ++i) {
        settings.write(*all[i], static_cast<int>(i) * 7 - 20);
    }
    ProfileSettings again;
    again.setPath(dir.file("phrasewright.ini"));
    for (size_t i = 0; i < std::size(all); ++i) {
        EXPECT_EQ(again.read(*all[i]), static_cast<int>(i) * 7 - 20);
    }
    EXPECT_NE(test::readAll(dir.file("phrasewright.ini")).find("UseShuffule="), std::string::npos);
}

TEST(WindowPlacement, TheRestoredRectangleIgnoresMaximisedAndMinimisedSizes) {
    const WindowRect screen = at(0, 0, 1920, 1080);
    RestoredPlacement placement;
    placement.reset(at(100, 100, 640, 480));
    placement.changed(at(120, 100, 640, 480), false, false);
    EXPECT_EQ(placement.restored(false, at(120, 100, 640, 480)), at(120, 100, 640, 480));
    placement.changed(screen, true, false);
    placement.changed(at(0, 0, 0, 0), false, true);
    EXPECT_EQ(placement.restored(true, screen), at(120, 100, 640, 480));

    // The maximised size reported just before the window says it is maximised.
    placement.changed(screen, false, false);
    EXPECT_EQ(placement.restored(true, screen), at(120, 100, 640, 480));
    // A window that is not maximised is where it is.
    EXPECT_EQ(placement.restored(false, screen), screen);
}

}  // namespace
}  // namespace pw
