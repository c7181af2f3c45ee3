// The process-wide lists: the order of replaceText (words, patterns, then
// readings), enabled flags, the speaker's set-up from the program folder, the
// shipped starter dictionaries, and confirming or cancelling the dialog.
#include "dictionary/DictionaryWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/RegexDictionaryData.h"
#include "dictionary/tests/DictionaryTestSupport.h"
#include "dictionary/tests/FakeIme.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

// Makes folder the current directory for the life of the object, as the
// program's folder is while it runs.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string& folder) : m_old(fs::current_path()) {
        fs::current_path(folder);
    }
    ~ScopedCurrentDirectory() { fs::current_path(m_old); }

private:
    fs::path m_old;
};

class DictionaryWindowTest : public ::testing::Test {
protected:
    void SetUp() override { clearAll(); }
    void TearDown() override {
        m_current.reset();
        clearAll();
    }

    static void clearAll() {
        DictionaryWindow::wordDictionaries().clear();
        DictionaryWindow::patternDictionaries().clear();
    }

    static void addWords(const test::EntryTable& entries) {
        DictionaryWindow::wordDictionaries().append(
            std::make_unique<DictionaryData>(test::makeDictionary<DictionaryData>(entries)));
    }

    static void addPatterns(const test::EntryTable& rules) {
        DictionaryWindow::patternDictionaries().append(std::make_unique<RegexDictionaryData>(
            test::makeDictionary<RegexDictionaryData>(rules)));
    }

    // A program folder holding Resources/dict.txt with wordFile as its bytes
    // (and no pattern file) becomes the current directory, and the speaker's
    // dictionaries are set up from it.
    void enterProgramFolder(std::string_view wordFile) {
        fs::create_directory(m_folder.file("Resources"));
        test::writeAll(m_folder.file("Resources/dict.txt"), wordFile);
        m_current.emplace(m_folder.path());
        DictionaryWindow::setUpSpeakerDictionaries();
    }
    static BaseDictionaryData& words() { return *DictionaryWindow::wordDictionaries().at(0); }
    static BaseDictionaryData& patterns() { return *DictionaryWindow::patternDictionaries().at(0); }

    test::TempDir m_folder;
    std::optional<ScopedCurrentDirectory> m_current;

    static std::u16string replaced(std::u16string text) {
        DictionaryWindow::replaceText(text);
        return text;
    }
};

TEST_F(DictionaryWindowTest, WordsThenPatternsThenReadingsEachSeeingTheLastOutput) {
    addWords({{u"Dr.", u"Doctor"}});
    addWords({{u"Doctor", u"Doc"}});
    addPatterns({{u"Doc\\b", u"Dok"}});
    addPatterns({{u"k", u"q"}, {u"Who", u"Who 東京"}});
    test::ScopedFakeIme fake(DictionaryWindow::readings());
    DictionaryWindow::readings().setEnabled(true);
    EXPECT_EQ(replaced(u"Dr. Who"), u"Doq Who  トウキョウ ");

    DictionaryWindow::wordDictionaries().at(1)->setEnabled(false);
    DictionaryWindow::patternDictionaries().at(0)->setEnabled(false);
    EXPECT_EQ(replaced(u"Dr. Who"), u"Doctor Who  トウキョウ ");

    DictionaryWindow::wordDictionaries().at(1)->setEnabled(true);
    DictionaryWindow::readings().setEnabled(false);
    EXPECT_EQ(replaced(u"Dr. Who"), u"Doc Who 東京");
    EXPECT_EQ(replaced(u""), u"");
}

TEST_F(DictionaryWindowTest, TheSpeakerSetUpReadsTheProgramFolderOnce) {
    enterProgramFolder("Doctor\tDr.\r\n");
    DictionaryWindow::setUpSpeakerDictionaries();
    ASSERT_EQ(DictionaryWindow::wordDictionaries().size(), 1);
    ASSERT_EQ(DictionaryWindow::patternDictionaries().size(), 1);
    EXPECT_EQ(words().path(), "Resources/dict.txt");
    EXPECT_EQ(patterns().path(), "Resources/RegexDict.txt");
    EXPECT_TRUE(words().enabled());
    EXPECT_FALSE(words().ignoreCase());
    EXPECT_EQ(replaced(u"Dr. No"), u"Doctor No");

    // The missing pattern file is created by the first confirmed change.
    EXPECT_EQ(patterns().size(), 0);
    patterns().set(u"No$", u"Yes", 0);
    EXPECT_TRUE(DictionaryWindow::confirm());
    EXPECT_TRUE(fs::exists(m_folder.file("Resources/RegexDict.txt")));
    EXPECT_EQ(replaced(u"Dr. No"), u"Doctor Yes");
}

TEST_F(DictionaryWindowTest, CancelDiscardsChangesAndConfirmWritesThem) {
    enterProgramFolder("1\ta\r\n2\tb\r\n");
    BaseDictionaryData& words = this->words();
    BaseDictionaryData& patterns = this->patterns();

    words.remove(u"a");
    patterns.set(u"x", u"y", 0);  // its file does not exist
    DictionaryWindow::cancel();
    EXPECT_EQ(words.get(u"a"), u"1");
    EXPECT_FALSE(words.modified());
    EXPECT_EQ(patterns.size(), 0);
    EXPECT_FALSE(patterns.modified());
    EXPECT_EQ(replaced(u"x a"), u"x 1");

    words.remove(u"a");
    EXPECT_TRUE(DictionaryWindow::confirm());
    DictionaryData reread;
    reread.setFolder("Resources/");
    ASSERT_TRUE(reread.load("dict.txt"));
    EXPECT_FALSE(reread.contains(u"a"));
    EXPECT_EQ(reread.get(u"b"), u"2");
}

TEST_F(DictionaryWindowTest, TheStarterDictionariesLoadAndApplyCleanly) {
    test::ScopedRecordingUi ui;
    m_current.emplace(test::sourceDir());
    DictionaryWindow::setUpSpeakerDictionaries();
    EXPECT_GT(words().size(), 0);
    EXPECT_GT(patterns().size(), 0);
    EXPECT_FALSE(words().modified());

    EXPECT_EQ(replaced(u"Meet me at 10:00, e.g. after  class."),
              u"Meet me at 10 o'clock, for example after class.");
    EXPECT_EQ(replaced(u"漢字（かんじ）を書く"), u"かんじを書く");
    EXPECT_TRUE(ui->boxes.empty());
}

}  // namespace
}  // namespace pw
