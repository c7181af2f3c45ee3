// The command-line file and the headless subcommands.
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/CommandLine.h"
#include "app/cli/Subcommand.h"
#include "app/cli/tests/RunCommand.h"
#include "core/testsupport/TestFiles.h"

namespace pw {
namespace {

TEST(CommandLine, ArgumentsAreJoinedWithoutSeparator) {
    struct Case {
        std::vector<std::string> args;
        std::u16string file;
    };
    const Case cases[] = {
        {{}, u""},
        {{"Data/EverydayEnglish.xml"}, u"Data/EverydayEnglish.xml"},
        {{"C:\\a", "b.xml"}, u"C:\\ab.xml"},
        {{"My", " ", "Sentences.xml"}, u"My Sentences.xml"},
        {{"日本語.xml"}, u"日本語.xml"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(joinArguments(c.args), c.file);
    }
}

TEST(CommandLine, ARelativeFileIsFoundWhereTheProgramWasStarted) {
    test::TempDir dir;
    test::writeAll(dir.file("notes.xml"), "<SentenceList/>");
    EXPECT_EQ(resolveStartPath("notes.xml", dir.path()), dir.file("notes.xml"));
    // Not there: left for the library's own search.
    EXPECT_EQ(resolveStartPath("Data/EverydayEnglish.xml", dir.path()), "Data/EverydayEnglish.xml");
    EXPECT_EQ(resolveStartPath("/abs/file.xml", dir.path()), "/abs/file.xml");
    EXPECT_EQ(resolveStartPath("", dir.path()), "");
}

TEST(Commands, HelpPrintsTheUsageAndUnknownCommandsExitWithTwo) {
    EXPECT_TRUE(isSubcommand("--help"));
    EXPECT_FALSE(isSubcommand("notes.xml"));
    EXPECT_FALSE(isSubcommand("-"));

    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("Usage: phrasewright"), std::string::npos);
    EXPECT_NE(out.str().find("--help"), std::string::npos);
    EXPECT_TRUE(err.str().empty());

    std::ostringstream out2, err2;
    EXPECT_EQ(test::runCommand({"--no-such-thing", "x"}, out2, err2), 2);
    EXPECT_TRUE(out2.str().empty());
    EXPECT_NE(err2.str().find("unknown command --no-such-thing"), std::string::npos);
    EXPECT_NE(err2.str().find("Usage: phrasewright"), std::string::npos);
}

TEST(Commands, OptionsAreNeverTakenForALearningFile) {
    struct Case {
        std::vector<std::string> args;
        bool forTable;
        int status;
        std::string err;  // part of standard error
    };
    const Case cases[] = {
        {{"-h"}, true, 2, "unknown option -h"},
        {{"-"}, true, 2, "unknown option -"},
        {{"-x", "lesson.xml"}, true, 2, "unknown option -x"},
        {{"lesson.xml", "-v"}, true, 2, "unknown option -v"},
        {{"lesson.xml", "--list"}, true, 2, "--list must come first"},
        {{"--frobnicate"}, true, 2, "unknown command --frobnicate"},
        {{"--version"}, true, 0, ""},
        {{"lesson.xml"}, false, 0, ""},
        {{"My", " ", "Notes.xml"}, false, 0, ""},
        {{}, false, 0, ""},
    };
    for (const Case& c : cases) {
        const std::string label = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(isForCommandTable(c.args), c.forTable) << label;
        if (!c.forTable) {
            continue;
        }
        std::ostringstream out, err;
        EXPECT_EQ(test::runCommand(c.args, out, err), c.status) << label;
        EXPECT_NE(err.str().find(c.err), std::string::npos) << label << ": " << err.str();
        if (c.status == 2) {
            EXPECT_NE(err.str().find("Usage: phrasewright"), std::string::npos) << label;
            EXPECT_EQ(out.str(), "") << label;
        }
    }
    std::ostringstream out, err;
    EXPECT_EQ(test::runCommand({"--version"}, out, err), 0);
    EXPECT_EQ(out.str(), std::string("phrasewright ") + programVersion() + "\n");
}

TEST(Commands, HelpDescribesWhatEachCommandPrints) {
    std::ostringstream out, err;
    ASSERT_EQ(test::runCommand({"--help"}, out, err), 0);
    const std::string help = out.str();
    const CommandTable table = headlessCommands();
    for (const auto& command : table.commands()) {
        if (!command.details.empty()) {
            EXPECT_NE(help.find("\n" + command.name), std::string::npos) << command.name;
        }
    }
    // The seven fields of a --list line, in their order (with the lines rejoined).
    const size_t list = help.find("\n--list FILE\n");
    ASSERT_NE(list, std::string::npos) << help;
    std::string prose;
    for (const char c : help.substr(list)) {
        if (c != ' ' && c != '\n') {
            prose += c;
        } else if (!prose.empty() && prose.back() != ' ') {
            prose += ' ';
        }
    }
    size_t at = 0;
    for (const char* field : {"seven fields", "check marks", "trial count", "sentence",
                              "translation", "dictation score", "writing score", "start time"}) {
        at = prose.find(field, at);
        EXPECT_NE(at, std::string::npos) << field;
    }
    for (const std::string line : {"--replace", "--import"}) {
        EXPECT_NE(help.find("Exit status", help.find("\n" + line)), std::string::npos) << line;
    }
    // Details are wrapped for a terminal.
    std::istringstream lines(help.substr(list));
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
    }
}

TEST(Commands, EveryCommandIsNamedWithDashesAndDocumented) {
    const CommandTable table = headlessCommands();
    for (const auto& command : table.commands()) {
        EXPECT_TRUE(isSubcommand(command.name)) << command.name;
        EXPECT_NE(command.summary, "") << command.name;
        EXPECT_TRUE(command.run || command.name == CommandTable::kHelp ||
                    command.name == CommandTable::kVersion)
            << command.name;
    }
}

}  // namespace
}  // namespace pw
