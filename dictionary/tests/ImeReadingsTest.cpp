// The readings stage: when it rewrites text, its settings read back at start
// with the default that follows the voices, and written on confirmation.
#include "dictionary/ImeReadings.h"

#include <gtest/gtest.h>

#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryWindow.h"
#include "dictionary/Ime.h"
#include "dictionary/tests/FakeIme.h"

namespace pw {
namespace {

class ImeReadingsTest : public ::testing::Test {
protected:
    void SetUp() override { m_settings.setPath(m_folder.file("phrasewright.ini")); }

    std::u16string replaced(std::u16string text) {
        m_readings.replace(text);
        return text;
    }

    test::TempDir m_folder;
    ProfileSettings m_settings;
    ImeReadings m_readings;
    test::ScopedFakeIme m_fake{m_readings};
};

TEST_F(ImeReadingsTest, RewritesOnlyWithTheOptionAndAnAnalyserThatOpens) {
    EXPECT_FALSE(m_readings.isEnabled());
    EXPECT_EQ(replaced(u"漢字です"), u"漢字です");
    m_readings.setEnabled(true);
    EXPECT_EQ(replaced(u"漢字です"), u" カンジ です");
    ASSERT_NE(m_fake.ime(), nullptr);
    EXPECT_EQ(m_fake.ime()->identifier(), Ime::identifiers()[0]);

    // An analyser that cannot be opened leaves the text as it is.
    m_fake.ime()->unavailable.insert(m_readings.selectedIdentifier());
    m_fake.ime()->close();
    EXPECT_EQ(replaced(u"漢字です"), u"漢字です");
}

TEST_F(ImeReadingsTest, StoredSettingsAreReadBackAndWithoutThemTheVoicesDecide) {
    struct Case {
        const char* what;
        const char* ini;  // the "IME" section's lines
        bool japaneseVoice;
        bool analyserOpens;
        bool enabled;
        int index;
    };
    const Case cases[] = {
        {"nothing stored, a Japanese voice", "", true, true, true, 0},
        {"nothing stored, no Japanese voice", "", false, true, false, 0},
        {"nothing stored, no analyser", "", true, false, false, 0},
        {"stored off beats the voice", "Enable=0\n", true, true, false, 0},
        {"stored on without a Japanese voice", "Enable=1\nNameIndex=1\n", false, true, true, 1},
        {"an index out of the list is the first", "Enable=1\nNameIndex=42\n", true, true, true, 0},
    };
    for (const Case& c : cases) {
        test::writeAll(m_settings.path(), std::string("[IME]\n") + c.ini);
        ImeReadings readings;
        test::ScopedFakeIme fake(readings);
        if (!c.analyserOpens) {
            readings.setEditorFactory([] {
                auto ime = std::make_unique<test::FakeIme>();
                for (const std::u16string& identifier : Ime::identifiers()) {
                    ime->unavailable.insert(identifier);
                }
                return ime;
            });
        }
        readings.loadSettings(m_settings, c.japaneseVoice);
        EXPECT_EQ(readings.isEnabled(), c.enabled) << c.what;
        EXPECT_EQ(readings.selectedIndex(), c.index) << c.what;
        EXPECT_EQ(readings.isSettled(), std::string(c.ini).find("Enable") != std::string::npos)
            << c.what;
    }
}

TEST_F(ImeReadingsTest, TheVoicesDecideUntilTheLearnerDoes) {
    m_readings.loadSettings(m_settings, false);
    m_readings.followVoices(true);
    EXPECT_TRUE(m_readings.isEnabled()) << "a Japanese voice chosen later";
    m_readings.followVoices(false);
    EXPECT_FALSE(m_readings.isEnabled());

    m_readings.setEnabled(true);
    m_readings.followVoices(false);
    EXPECT_TRUE(m_readings.isEnabled()) << "the learner's choice stays";

    m_readings.select(1);
    m_readings.saveSettings(m_settings);
    EXPECT_EQ(m_settings.readInt(u"IME", u"Enable", -1), 1);
    EXPECT_EQ(m_settings.readInt(u"IME", u"NameIndex", -1), 1);
    ImeReadings reread;
    test::ScopedFakeIme fake(reread);
    reread.loadSettings(m_settings, false);
    EXPECT_TRUE(reread.isEnabled());
    EXPECT_EQ(reread.selectedIndex(), 1);
}

TEST_F(ImeReadingsTest, ConfirmingTheDialogWritesTheSettings) {
    ImeReadings& readings = DictionaryWindow::readings();
    test::ScopedFakeIme fake(readings);
    readings.setEnabled(true);
    readings.select(0);
    EXPECT_TRUE(DictionaryWindow::confirm(m_settings));
    EXPECT_EQ(m_settings.readInt(u"IME", u"Enable", -1), 1);
    EXPECT_EQ(m_settings.readInt(u"IME", u"NameIndex", -1), 0);
}

}  // namespace
}  // namespace pw
