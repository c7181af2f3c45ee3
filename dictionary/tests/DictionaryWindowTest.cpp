// The process-wide lists: the order of replaceText, enabled flags, the
// speaker's set-up from the program folder, the shipped starter dictionaries,
// and confirming or cancelling the dialog.
#include "dictionary/DictionaryWindow.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/core/testsupport/RecordingUi.h"
#include "app/core/testsupport/TestFiles.h"
#include "dictionary/DictionaryData.h"
#include "dictionary/RegexDictionaryData.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

class DictionaryWindowTest : public ::testing::Test {
protected:
    void SetUp() override { clearAll(); }
    void TearDown() override { clearAll(); }

    static void clearAll() {
        DictionaryWindow::wordDictionaries().clear();
        DictionaryWindow::patternDictionaries().clear();
        DictionaryWindow::setReadingStage({});
    }

    static DictionaryData& addWords(
        std::initializer_list<std::pair<const char16_t*, const char16_t*>> entries) {
        auto dictionary = std::make_unique<DictionaryData>();
        for (const auto& [key, value] : entries) {
            dictionary->set(key, value, -1);
        }
        return static_cast<DictionaryData&>(
            DictionaryWindow::wordDictionaries().append(std::move(dictionary)));
    }

    static RegexDictionaryData& addPatterns(
        std::initializer_list<std::pair<const char16_t*, const char16_t*>> rules) {
        auto dictionary = std::make_unique<RegexDictionaryData>();
        for (const auto& [pattern, replacement] : rules) {
            dictionary->set(pattern, replacement, -1);
        }
        return static_cast<RegexDictionaryData&>(
            DictionaryWindow::patternDictionaries().append(std::move(dictionary)));
    }

    static std::u16string replaced(std::u16string text) {
        DictionaryWindow::replaceText(text);
        return text;
    }
};

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

TEST_F(DictionaryWindowTest, WordsThenPatternsThenReadingsEachSeeingTheLastOutput) {
    addWords({{u"Dr.", u"Doctor"}});
    addWords({{u"Doctor", u"Doc"}});
    addPatterns({{u"Doc\\b", u"Dok"}});
    addPatterns({{u"k", u"q"}});
    DictionaryWindow::setReadingStage([](std::u16string& text) { text += u" (read)"; });
    EXPECT_EQ(replaced(u"Dr. Who"), u"Doq Who (read)");

    DictionaryWindow::wordDictionaries().at(1)->setEnabled(false);
    DictionaryWindow::patternDictionaries().at(0)->setEnabled(false);
    EXPECT_EQ(replaced(u"Dr. Who"), u"Doctor Who (read)");

    DictionaryWindow::wordDictionaries().at(1)->setEnabled(true);
    DictionaryWindow::setReadingStage({});
    EXPECT_EQ(replaced(u"Dr. Who"), u"Doc Who");
    EXPECT_EQ(replaced(u""), u"");
}

TEST_F(DictionaryWindowTest, TheSpeakerSetUpReadsTheProgramFolderOnce) {
    test::TempDir dir;
    fs::create_directory(dir.file("Resources"));
    test::writeAll(dir.file("Resources/dict.txt"), "Doctor\tDr.\r\n");
    ScopedCurrentDirectory program(dir.path());

    DictionaryWindow::setUpSpeakerDictionaries();
    DictionaryWindow::setUpSpeakerDictionaries();
    ASSERT_EQ(DictionaryWindow::wordDictionaries().size(), 1);
    ASSERT_EQ(DictionaryWindow::patternDictionaries().size(), 1);
    BaseDictionaryData& words = *DictionaryWindow::wordDictionaries().at(0);
    BaseDictionaryData& patterns = *DictionaryWindow::patternDictionaries().at(0);
    EXPECT_EQ(words.path(), "Resources/dict.txt");
    EXPECT_EQ(patterns.path(), "Resources/RegexDict.txt");
    EXPECT_TRUE(words.enabled());
    EXPECT_FALSE(words.ignoreCase());
    EXPECT_EQ(replaced(u"Dr. No"), u"Doctor No");

    // The missing pattern file is created by the first confirmed change.
    EXPECT_EQ(patterns.size(), 0);
    patterns.set(u"No$", u"Yes", 0);
    EXPECT_TRUE(DictionaryWindow::confirm());
    EXPECT_TRUE(fs::exists(dir.file("Resources/RegexDict.txt")));
    EXPECT_EQ(replaced(u"Dr. No"), u"Doctor Yes");
}

TEST_F(DictionaryWindowTest, CancelDiscardsChangesAndConfirmWritesThem) {
    test::TempDir dir;
    fs::create_directory(dir.file("Resources"));
    test::writeAll(dir.file("Resources/dict.txt"), "1\ta\r\n2\tb\r\n");
    ScopedCurrentDirectory program(dir.path());
    DictionaryWindow::setUpSpeakerDictionaries();
    BaseDictionaryData& words = *DictionaryWindow::wordDictionaries().at(0);
    BaseDictionaryData& patterns = *DictionaryWindow::patternDictionaries().at(0);

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
    ScopedCurrentDirectory program(test::sourceDir());
    DictionaryWindow::setUpSpeakerDictionaries();
    const BaseDictionaryData& words = *DictionaryWindow::wordDictionaries().at(0);
    const BaseDictionaryData& patterns = *DictionaryWindow::patternDictionaries().at(0);
    EXPECT_GT(words.size(), 0);
    EXPECT_GT(patterns.size(), 0);
    EXPECT_FALSE(words.modified());

    EXPECT_EQ(replaced(u"Meet me at 10:00, e.g. after  class."),
              u"Meet me at 10 o'clock, for example after class.");
    EXPECT_EQ(replaced(u"漢字（かんじ）を書く"), u"かんじを書く");
    EXPECT_TRUE(ui->boxes.empty());
}

}  // namespace
}  // namespace pw
