// The settings store: private-profile semantics over a real file.
#include <gtest/gtest.h>

#include "core/AppPaths.h"
#include "core/IniFile.h"
#include "core/ProfileSettings.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

using test::readAll;
using test::TempDir;
using test::writeAll;

TEST(IniFile, MissingFileAndKeysGiveDefaults) {
    TempDir dir;
    IniFile ini(dir.file("none.ini"));
    EXPECT_EQ(ini.readString(u"Window", u"MainLeft", u"dflt"), u"dflt");
    EXPECT_EQ(ini.readInt(u"Window", u"MainWidth", 640), 640);

    writeAll(ini.path(), "[Window]\nMainWidth=800\n");
    EXPECT_EQ(ini.readInt(u"Window", u"MainHeight", 480), 480);
    EXPECT_EQ(ini.readInt(u"Other", u"MainWidth", 5), 5);
}

TEST(IniFile, NamesIgnoreCaseAndValuesAreTrimmed) {
    TempDir dir;
    IniFile ini(dir.file("a.ini"));
    writeAll(ini.path(), "; comment\r\n[speaker]\r\n  voice1 =  3  \r\nName=\"quoted\"\r\n");
    EXPECT_EQ(ini.readInt(u"Speaker", u"Voice1", 0), 3);
    EXPECT_EQ(ini.readString(u"SPEAKER", u"name", u""), u"quoted");
}

TEST(IniFile, IntegersParseLikeTheProfileFunctions) {
    const std::pair<const char*, int> cases[] = {
        {"42", 42},
        {"-17", -17},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {" 7", 7},
        {"99999999999", 0x7FFFFFFF},
        {"-99999999999", static_cast<int>(0x80000000u)},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(IniFile::parseInt(text), expected) << text;
    }
}

TEST(IniFile, WritesRoundTripAndKeepOtherLines) {
    TempDir dir;
    IniFile ini(dir.file("b.ini"));
    writeAll(ini.path(), "[Window]\nMainLeft=1\n; keep me\n[Speaker]\nRate=100\n");

    ASSERT_TRUE(ini.writeInt(u"window", u"MainLeft", -20));
    ASSERT_TRUE(ini.writeInt(u"Window", u"MainTop", 30));
    ASSERT_TRUE(ini.writeString(u"FlashWriting", u"AudioOutputPath", u"/home/ä/日本"));

    EXPECT_EQ(ini.readInt(u"Window", u"MainLeft", 0), -20);
    EXPECT_EQ(ini.readInt(u"Window", u"MainTop", 0), 30);
    EXPECT_EQ(ini.readInt(u"Speaker", u"Rate", 0), 100);
    EXPECT_EQ(ini.readString(u"FlashWriting", u"AudioOutputPath", u""), u"/home/ä/日本");
    const std::string text = readAll(ini.path());
    EXPECT_NE(text.find("; keep me"), std::string::npos);
    // The new key joins its own section, not the end of the file.
    EXPECT_LT(text.find("MainTop=30"), text.find("[Speaker]"));
}

TEST(ProfileSettings, TableDefaultsAndLongValues) {
    TempDir dir;
    auto& settings = ProfileSettings::instance();
    settings.setPath(dir.file("phrasewright.ini"));
    EXPECT_EQ(settings.read(settings::kMode), 1);
    EXPECT_EQ(settings.read(settings::kPointLimit), 130);
    EXPECT_EQ(settings.read(settings::kFormat), 14);
    EXPECT_EQ(settings.read(settings::kEnable2), 1);
    EXPECT_EQ(settings.read(settings::kAudioInterval), 1000);

    ASSERT_TRUE(settings.write(settings::kUseShuffle, 1));
    EXPECT_NE(readAll(settings.path()).find("UseShuffule=1"), std::string::npos);

    settings.writeString(u"FlashWriting", u"AudioOutputPath", std::u16string(2000, u'x'));
    EXPECT_EQ(settings.readString(u"FlashWriting", u"AudioOutputPath", u"").size(), 1023u);
}

TEST(AppPaths, SettingsFileIsNamedAfterTheExecutable) {
    EXPECT_EQ(computeSettingsFilePath("/opt/pw/", "/opt/pw/phrasewright"),
              "/opt/pw/phrasewright.ini");
    EXPECT_EQ(computeSettingsFilePath("/opt/pw/", "./bin/Study.exe"), "/opt/pw/Study.ini");
    EXPECT_EQ(computeSettingsFilePath("D:\\x\\", "D:\\x\\Typing.v2.exe"), "D:\\x\\Typing.v2.ini");
}

}  // namespace
}  // namespace pw
