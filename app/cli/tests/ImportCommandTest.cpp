// phrasewright --import: the round trip through --list, the exit statuses,
// and subtitles with their recording and translations.
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/tests/RunCommand.h"
#include "audio/tests/AudioTestSupport.h"
#include "core/testsupport/RecordingUi.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {
namespace fs = std::filesystem;

using Outcome = test::CommandOutcome;

Outcome run(const std::vector<std::string>& args) {
    return test::runCapturing("", args);
}

std::string fixture(const std::string& name) {
    return test::sourceDir() + "/content/tests/fixtures/import/" + name;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ImportCommand : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedRecordingUi ui;
};

TEST_F(ImportCommand, ATsvComesBackFromListWithExactlyItsFields) {
    const std::string out = dir.file("round-trip.xml");
    const Outcome imported = run({"--import", fixture("round-trip.tsv"), "--out", out});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "Imported 5 sentences into round-trip.xml.\n");
    EXPECT_EQ(imported.err, "");

    const Outcome listed = run({"--list", out});
    ASSERT_EQ(listed.status, 0) << listed.err;
    // --list shows a tab or line break inside a cell as a space.
    EXPECT_EQ(listed.out,
              "\t\tShe said \"hello\".\tElle a dit « bonjour ».\t\t\t-1\n"
              "\t\tA tab here\tUne tabulation ici\t\t\t-1\n"
              "\t\tIt's \"fine\" as it is\tC'est « bien » ainsi\t\t\t-1\n"
              "\t\tTwo  lines\tDeux lignes\t\t\t-1\n"
              "\t\tPlain row\tLigne simple\t\t\t-1\n");
    EXPECT_TRUE(ui->boxes.empty());
}

TEST_F(ImportCommand, TheExitStatusSaysWhetherEverythingSomethingOrNothingWasWritten) {
    const std::string out = dir.file("out.xml");
    test::writeAll(dir.file("named.tsv"), "English\tGerman\nYes.\tJa.\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> err;
        bool written;
    };
    const Case cases[] = {
        {{fixture("corpus-pairs.tsv"), "--columns", "2,4"}, 0, {}, true},
        {{fixture("short-rows.tsv")},
         3,
         {"short-rows.tsv, line 2: the row has 1 field, but the sentence is in column 2\n"
          "short-rows.tsv, line 3: the sentence is empty\n"
          "short-rows.tsv, line 6: the row has no translation column (imported without one)\n"},
         true},
        {{dir.file("named.tsv"), "--columns", "English,German"}, 0, {}, true},
        {{fixture("unterminated-quote.tsv")},
         1,
         {"unterminated-quote.tsv, line 3: a quoted field is never closed", "Nothing was written"},
         false},
        {{fixture("corpus-pairs.tsv"), "--columns", "7"}, 1, {"There is no column 7"}, false},
        {{dir.file("missing.srt")}, 1, {"missing.srt does not exist."}, false},
        {{fixture("three-tones.srt"), "--audio", dir.file("missing.mp3")},
         1,
         {"missing.mp3 does not exist."},
         false},
        {{fixture("corpus-pairs.tsv"), "--audio", "x.mp3"}, 2, {"are for subtitles"}, false},
        {{fixture("three-tones.srt"), "--columns", "1,2"}, 2, {"is for sentence pairs"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        fs::remove(out);
        std::vector<std::string> args = {"--import"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--out", out});
        const Outcome result = run(args);
        EXPECT_EQ(result.status, c.status) << result.err;
        for (const std::string& part : c.err) {
            EXPECT_TRUE(contains(result.err, part)) << result.err;
        }
        EXPECT_EQ(fs::exists(out), c.written);
        EXPECT_EQ(contains(result.out, "Imported"), c.written) << result.out;
    }

    // Arguments that make no sense are a usage error.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--import"},
                                               {"--import", fixture("round-trip.tsv")},
                                               {"--import", fixture("round-trip.tsv"), "--out"},
                                               {"--import", "a.tsv", "b.tsv", "--out", out},
                                               {"--import", "a.tsv", "--verbose", "--out", out}}) {
        const Outcome result = run(args);
        EXPECT_EQ(result.status, 2) << args.size();
        EXPECT_TRUE(contains(result.err, "Usage: phrasewright --import SOURCE")) << result.err;
    }
    EXPECT_TRUE(contains(run({"--help"}).out, "--import SOURCE ... --out FILE.xml"));
}

TEST_F(ImportCommand, SubtitlesWithTheirRecordingAndTranslations) {
    test::writeTones(dir.file("show.wav"), 8000, 1, {{32.0, 0}});
    const std::string out = dir.file("show.xml");
    const Outcome imported =
        run({"--import", fixture("interview.srt"), "--audio", dir.file("show.wav"),
             "--translations", fixture("interview.fr.srt"), "--out", out});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out,
              "Imported 9 sentences into show.xml. 1 cue without words was left out.\n");
    const Outcome listed = run({"--list", out});
    ASSERT_EQ(listed.status, 0);
    std::istringstream lines(listed.out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0], "\t\tPreviously, on Morning Talk...\t\t\t\t1200");
    EXPECT_EQ(rows[2],
              "\t\tMy grandmother taught me. Really?\tC'est ma grand-mère qui m'a appris. "
              "Vraiment ?\t\t\t7100");
    EXPECT_EQ(rows[8], "\t\tThank you for coming.\tMerci d'être venue.\t\t\t29000");
}

}  // namespace
}  // namespace pw
