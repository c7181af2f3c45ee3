// "phrasewright --replace" with the dictionaries of a program folder, and
// with the Japanese readings.
#include "app/cli/ReplaceCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/cli/Subcommand.h"
#include "app/cli/tests/RunCommand.h"
#include "core/ProfileSettings.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"
#include "dictionary/DictionaryWindow.h"
#include "dictionary/Ime.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

TEST(ReplaceCommand, PrintsEachLineAsItWillBeSpoken) {
    test::TempDir dir;
    fs::create_directory(dir.file("Resources"));
    test::writeAll(dir.file("Resources/dict.txt"), "Doctor\tDr.\r\nとうきょう\t東京\r\n");
    test::writeAll(dir.file("Resources/RegexDict.txt"), "$1 o'clock\t(\\d+):00\r\n!\t(bad\r\n");
    const fs::path started = fs::current_path();
    fs::current_path(dir.path());
    test::ScopedRecordingUi ui;

    std::istringstream in("Dr. Who at 10:00\r\n東京へ\n\nlast line without end");
    std::ostringstream out;
    // The broken rule makes the exit status say so.
    EXPECT_EQ(printReplacedLines(in, out), 1);
    test::writeAll(dir.file("Resources/RegexDict.txt"), "$1 o'clock\t(\\d+):00\r\n");
    DictionaryWindow::patternDictionaries().clear();
    std::istringstream good("at 9:00");
    std::ostringstream goodOut;
    EXPECT_EQ(printReplacedLines(good, goodOut), 0);
    EXPECT_EQ(goodOut.str(), "at 9 o'clock\n");
    fs::current_path(started);
    DictionaryWindow::wordDictionaries().clear();
    DictionaryWindow::patternDictionaries().clear();

    EXPECT_EQ(out.str(), "Doctor Who at 10 o'clock\nとうきょうへ\n\nlast line without end\n");
    // The broken rule is reported for every line, after the rule before it ran.
    ASSERT_EQ(ui->boxes.size(), 4u);
    EXPECT_NE(ui->boxes[0].text.find(u"\r\n(bad"), std::u16string::npos);
}

// The readings run after the dictionaries, with the analyser the settings name.
TEST(ReplaceCommand, WithReadingsKanjiAreSpokenInKatakana) {
    test::TempDir dir;
    fs::create_directory(dir.file("Resources"));
    test::writeAll(dir.file("Resources/dict.txt"), "漢字\tKanji\r\n");
    ProfileSettings& settings = ProfileSettings::instance();
    const std::string oldPath = settings.path();
    settings.setPath(dir.file("phrasewright.ini"));
    const fs::path started = fs::current_path();
    fs::current_path(dir.path());

    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--replace", "--readings"}, out, err,
                               "彼女は東京に十年住んでいます。\nKanji and かな\n"),
              0)
        << err.str();
    EXPECT_EQ(out.str(),
              " カノジョ は トウキョウ に ジュウ  ネン  スン でいます。\n カンジ  and かな\n");

    // An analyser that is not installed is reported, and nothing is printed.
    settings.writeInt(u"IME", u"NameIndex", 1);
    if (!Ime::isInstalled(Ime::identifiers()[1])) {
        std::ostringstream none, why;
        EXPECT_EQ(test::runCommand({"--replace", "--readings"}, none, why, "漢字\n"), 1);
        EXPECT_EQ(none.str(), "");
        EXPECT_NE(why.str().find("MeCab.NAIST"), std::string::npos) << why.str();
    }
    fs::current_path(started);
    settings.setPath(oldPath);
    DictionaryWindow::wordDictionaries().clear();
    DictionaryWindow::patternDictionaries().clear();
    DictionaryWindow::readings().loadSettings(ProfileSettings(), false);
}

TEST(ReplaceCommand, TakesNoArguments) {
    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--replace", "text"}, out, err), 2);
    EXPECT_EQ(test::runCommand({"--replace", "--readings", "x"}, out, err), 2);
    EXPECT_NE(err.str().find("standard input"), std::string::npos);
    std::ostringstream usage, none;
    test::runCommand({"--help"}, usage, none);
    EXPECT_NE(usage.str().find("--replace"), std::string::npos);
}

}  // namespace
}  // namespace pw
