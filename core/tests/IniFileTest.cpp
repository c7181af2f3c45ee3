// The settings store: private-profile semantics over a real file, shared by
// several processes.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(IniFile, TwoProcessesWritingAtOnceKeepEachOthersKeys) {
    TempDir dir;
    const std::string path = dir.file("shared.ini");
    writeAll(path, "[Window]\nMainLeft=5\n");
    for (int round = 1; round <= 100; ++round) {
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        pid_t children[2];
        for (int which = 0; which < 2; ++which) {
            children[which] = fork();
            ASSERT_GE(children[which], 0);
            if (children[which] == 0) {
                close(go[1]);
                char byte;
                // Both start writing when the parent closes the pipe.
                [[maybe_unused]] const ssize_t n = read(go[0], &byte, 1);
                IniFile ini(path);
                const bool written = ini.writeInt(which == 0 ? u"Speaker" : u"Phrasewright",
                                                  which == 0 ? u"Rate1" : u"Mode", round);
                _exit(written ? 0 : 1);
            }
        }
        close(go[0]);
        close(go[1]);
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        const IniFile ini(path);
        ASSERT_EQ(ini.readInt(u"Speaker", u"Rate1", 0), round) << readAll(path);
        ASSERT_EQ(ini.readInt(u"Phrasewright", u"Mode", 0), round) << readAll(path);
        ASSERT_EQ(ini.readInt(u"Window", u"MainLeft", 0), 5);
    }
}

TEST(ProfileSettings, ABatchWritesItsKeysAtOnceWhenItEnds) {
    TempDir dir;
    auto& settings = ProfileSettings::instance();
    const std::string old = settings.path();
    settings.setPath(dir.file("batch.ini"));
    writeAll(settings.path(), "[Speaker]\nRate=100\n");
    auto inode = [&] {
        struct stat st;
        return stat(settings.path().c_str(), &st) == 0 ? st.st_ino : 0;
    };
    const auto before = inode();
    {
        ProfileSettings::Batch batch;
        settings.write(settings::kRate, 150);
        settings.write(settings::kVoice1, 2);
        {
            ProfileSettings::Batch inner;  // nested: the outer one writes
            settings.writeString(u"speaker", u"Rate", u"175");
        }
        EXPECT_EQ(readAll(settings.path()), "[Speaker]\nRate=100\n");
        EXPECT_EQ(inode(), before);
        // Reads see what the batch holds, names without case.
        EXPECT_EQ(settings.read(settings::kRate), 175);
        EXPECT_EQ(settings.readString(u"SPEAKER", u"voice1", u""), u"2");
        EXPECT_EQ(settings.read(settings::kFormat), 14);
    }
    EXPECT_NE(inode(), before);  // replaced once, with every key
    EXPECT_EQ(readAll(settings.path()), "[Speaker]\nRate=175\nVoice1=2\n");
    // Outside a batch each write reaches the file at once again.
    settings.write(settings::kFormat, 3);
    EXPECT_EQ(IniFile(settings.path()).readInt(u"Speaker", u"Format", 0), 3);
    settings.setPath(old);
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
