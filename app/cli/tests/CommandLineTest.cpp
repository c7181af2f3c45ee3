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

TEST(Commands, EveryCommandIsNamedWithDashesAndDocumented) {
    const CommandTable table = headlessCommands();
    for (const auto& command : table.commands()) {
        EXPECT_TRUE(isSubcommand(command.name)) << command.name;
        EXPECT_NE(command.summary, "") << command.name;
        EXPECT_TRUE(command.run || command.name == CommandTable::kHelp) << command.name;
    }
}

}  // namespace
}  // namespace pw
