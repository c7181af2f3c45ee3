// Where the files live: the choice between a portable folder and the
// per-user folders, and the learner's copies of the shipped defaults.
#include "core/AppFiles.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

// A program folder, an installation's data folder and a home, in a scratch folder.
struct Machine {
    test::TempDir dir;
    std::string program = dir.file("bin") + "/";
    std::string installed = dir.file("share/phrasewright") + "/";
    std::string home = dir.file("home");

    FileLayoutInputs inputs(bool runtimeFolders, bool installation, bool writable) const {
        fs::create_directories(program);
        if (runtimeFolders) {
            fs::create_directories(program + "Resources");
        }
        if (installation) {
            fs::create_directories(installed);
        }
        FileLayoutInputs in;
        in.programFolder = program;
        in.installedDataFolder = installed;
        in.home = home;
        in.isWritable = [writable](const std::string&) { return writable; };
        return in;
    }
};

TEST(FileLayout, PortableWhereTheRuntimeFoldersAreWritableElsePerUser) {
    struct Case {
        const char* what;
        bool runtimeFolders, installation, writable;
        FileLayout::Mode mode;
        bool fromInstallation;  // shipped data from the installation, else the program folder
        bool notice;
    };
    const Case cases[] = {
        {"build folder", true, false, true, FileLayout::Mode::Portable, false, false},
        {"build folder inside a prefix", true, true, true, FileLayout::Mode::Portable, false,
         false},
        {"read-only portable folder", true, false, false, FileLayout::Mode::Installed, false, true},
        {"installed", false, true, false, FileLayout::Mode::Installed, true, false},
        {"installed, writable bin", false, true, true, FileLayout::Mode::Installed, true, false},
        {"nothing shipped anywhere", false, false, true, FileLayout::Mode::Portable, false, false},
        {"nothing shipped, read-only", false, false, false, FileLayout::Mode::Installed, false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        const FileLayout layout =
            decideFileLayout(m.inputs(c.runtimeFolders, c.installation, c.writable));
        EXPECT_EQ(layout.mode, c.mode);
        EXPECT_EQ(layout.notice.empty(), !c.notice) << layout.notice;
        if (c.mode == FileLayout::Mode::Portable) {
            EXPECT_EQ(layout.shippedFolder, m.program);
            EXPECT_EQ(layout.learnerFolder, m.program);
            EXPECT_EQ(layout.settingsFolder, m.program);
            continue;
        }
        EXPECT_EQ(layout.shippedFolder, c.fromInstallation ? m.installed : m.program);
        EXPECT_EQ(layout.settingsFolder, m.home + "/.config/phrasewright/");
        EXPECT_EQ(layout.learnerFolder, m.home + "/.local/share/phrasewright/");
        if (c.notice) {
            EXPECT_NE(layout.notice.find(m.program), std::string::npos) << layout.notice;
            EXPECT_EQ(layout.notice.find('\n'), std::string::npos) << "one line";
        }
    }
}

TEST(FileLayout, XdgFoldersAreUsedWhenAbsoluteAndIgnoredOtherwise) {
    struct Case {
        const char* config;
        const char* data;
        const char* settingsUnderHome;  // "" when the value itself is used
        const char* learnerUnderHome;
    };
    const Case cases[] = {
        {"", "", "/.config/phrasewright/", "/.local/share/phrasewright/"},
        {"relative/config", "data", "/.config/phrasewright/", "/.local/share/phrasewright/"},
        {"/xdg/config", "/xdg/data/", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        Machine m;
        FileLayoutInputs in = m.inputs(false, true, false);
        in.xdgConfigHome = c.config;
        in.xdgDataHome = c.data;
        const FileLayout layout = decideFileLayout(in);
        EXPECT_EQ(layout.settingsFolder, *c.settingsUnderHome ? m.home + c.settingsUnderHome
                                                              : "/xdg/config/phrasewright/");
        EXPECT_EQ(layout.learnerFolder,
                  *c.learnerUnderHome ? m.home + c.learnerUnderHome : "/xdg/data/phrasewright/");
    }
}

TEST(FileLayout, TheSystemsInputsComeFromTheEnvironmentAndThePrefix) {
    const test::ScopedEnv home("HOME", "/home/learner");
    const test::ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    const test::ScopedEnv data("XDG_DATA_HOME", "");
    const FileLayoutInputs in = FileLayoutInputs::fromSystem("/opt/pw/bin");
    EXPECT_EQ(in.programFolder, "/opt/pw/bin/");
    EXPECT_EQ(in.installedDataFolder, "/opt/pw/share/phrasewright/");
    EXPECT_EQ(in.home, "/home/learner");
    EXPECT_EQ(in.xdgConfigHome, "/cfg");
    EXPECT_EQ(in.xdgDataHome, "");
    ASSERT_TRUE(in.isWritable);
    test::TempDir scratch;
    EXPECT_TRUE(in.isWritable(scratch.path()));
    EXPECT_FALSE(in.isWritable(scratch.file("missing")));
}

// The process-wide instance with a layout of a scratch folder, restored afterwards.
class LearnerFiles : public ::testing::Test {
protected:
    LearnerFiles() : m_saved(AppFiles::instance().layout()) {
        fs::create_directories(shipped + "Resources");
        fs::create_directories(shipped + "Data/Lessons");
        test::writeAll(shipped + "Resources/ThemeList.xml", "<Themes v1/>");
        test::writeAll(shipped + "Data/Sample.xml", "<Sample/>");
        test::writeAll(shipped + "Data/Lessons/One.xml", "<One/>");
        FileLayout layout;
        layout.mode = FileLayout::Mode::Installed;
        layout.shippedFolder = shipped;
        layout.learnerFolder = learner;
        layout.settingsFolder = settings;
        AppFiles::instance().setLayout(layout);
    }
    ~LearnerFiles() override { AppFiles::instance().setLayout(m_saved); }

    test::TempDir dir;
    std::string shipped = dir.file("share") + "/";
    std::string learner = dir.file("data/phrasewright") + "/";
    std::string settings = dir.file("config/phrasewright") + "/";

private:
    FileLayout m_saved;
};

TEST_F(LearnerFiles, AFileIsCopiedOnFirstUseAndNeverReplacedByTheShippedOne) {
    const std::string theme = learnerFile("Resources/ThemeList.xml");
    EXPECT_EQ(theme, learner + "Resources/ThemeList.xml");
    EXPECT_EQ(test::readAll(theme), "<Themes v1/>");

    // The learner's change survives an upgrade of the shipped default.
    test::writeAll(theme, "<Themes mine/>");
    test::writeAll(shipped + "Resources/ThemeList.xml", "<Themes v2/>");
    EXPECT_EQ(test::readAll(learnerFile("Resources/ThemeList.xml")), "<Themes mine/>");

    // A copy the learner deleted comes back from the shipped one.
    fs::remove(theme);
    EXPECT_EQ(test::readAll(learnerFile("Resources/ThemeList.xml")), "<Themes v2/>");

    // Shipped data itself is read where it was installed.
    EXPECT_EQ(shippedFile("Resources/type.wav"), shipped + "Resources/type.wav");
    EXPECT_EQ(shippedFile("/abs/file.wav"), "/abs/file.wav");
    EXPECT_EQ(learnerFile("/abs/Log.xml"), "/abs/Log.xml");
}

TEST_F(LearnerFiles, AFileWithoutDefaultGetsItsFolderSoThatTheFirstSaveWorks) {
    const std::string dictionary = learnerFile("Resources/dict.txt");
    EXPECT_FALSE(fs::exists(dictionary));
    EXPECT_TRUE(fs::is_directory(learner + "Resources"));
    EXPECT_FALSE(fs::exists(shipped + "Resources/dict.txt"));
}

TEST_F(LearnerFiles, AFolderGainsTheShippedFilesItLacksAndKeepsTheLearnersOwn) {
    fs::create_directories(learner + "Data");
    test::writeAll(learner + "Data/Sample.xml", "<Sample scored/>");
    test::writeAll(learner + "Data/Mine.xml", "<Mine/>");

    EXPECT_EQ(learnerFolder("Data/"), learner + "Data/");
    EXPECT_EQ(learnerFolder("Data"), learner + "Data/");
    EXPECT_EQ(test::readAll(learner + "Data/Sample.xml"), "<Sample scored/>");
    EXPECT_EQ(test::readAll(learner + "Data/Mine.xml"), "<Mine/>");
    EXPECT_EQ(test::readAll(learner + "Data/Lessons/One.xml"), "<One/>");
    // The root is only named, never filled with everything shipped.
    EXPECT_EQ(learnerFolder(""), learner);
    EXPECT_FALSE(fs::exists(learner + "Resources"));
}

TEST_F(LearnerFiles, PreparingMakesThePerUserFoldersOrSaysWhyNot) {
    std::string error;
    ASSERT_TRUE(AppFiles::instance().prepareFolders(&error)) << error;
    EXPECT_TRUE(fs::is_directory(settings));
    EXPECT_EQ(test::readAll(learner + "Data/Sample.xml"), "<Sample/>");
    EXPECT_EQ(fs::status(learner).permissions() & fs::perms::all, fs::perms::owner_all);

    // A file where the settings folder should be.
    FileLayout blocked = AppFiles::instance().layout();
    test::writeAll(dir.file("file"), "");
    blocked.settingsFolder = dir.file("file") + "/phrasewright/";
    AppFiles::instance().setLayout(blocked);
    EXPECT_FALSE(AppFiles::instance().prepareFolders(&error));
    EXPECT_NE(error.find(blocked.settingsFolder), std::string::npos) << error;
}

TEST_F(LearnerFiles, APortableFolderIsUsedAsItIsAndSaidSoInTheHelp) {
    FileLayout portable;
    portable.shippedFolder = portable.learnerFolder = portable.settingsFolder = shipped;
    AppFiles::instance().setLayout(portable);
    EXPECT_EQ(learnerFile("Resources/ThemeList.xml"), shipped + "Resources/ThemeList.xml");
    EXPECT_EQ(learnerFolder("Data/"), shipped + "Data/");
    EXPECT_FALSE(fs::exists(learner));
    EXPECT_NE(AppFiles::instance().describe().find("portable"), std::string::npos);
    EXPECT_TRUE(AppFiles::instance().prepareFolders());
    EXPECT_FALSE(fs::exists(settings));
}

TEST_F(LearnerFiles, TheHelpNamesTheThreeFolders) {
    const std::string text = AppFiles::instance().describe();
    EXPECT_NE(text.find("installed"), std::string::npos) << text;
    for (const std::string& folder : {shipped, learner, settings}) {
        EXPECT_NE(text.find(folder), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace pw
