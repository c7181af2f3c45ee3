// The program's entry: headless subcommands, or start-up of the main window.
#include <iostream>
#include <string>
#include <vector>

#include "app/GuiApplication.h"
#include "app/PrintCommand.h"
#include "app/cli/CommandLine.h"
#include "app/cli/Subcommand.h"
#include "core/AppPaths.h"
#include "core/ProfileSettings.h"
#include "core/TempFolder.h"
#include "core/Utf.h"

int main(int argc, char** argv) {
    // The program's folder becomes the current directory; remember where we
    // were started so that relative file arguments still mean what the user meant.
    pw::rememberStartDirectory();
    pw::initModuleDirectory(argc > 0 ? argv[0] : "phrasewright");
    pw::ProfileSettings::instance().setPath(pw::settingsFilePath());

    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (!arguments.empty() && pw::isSubcommand(arguments.front())) {
        pw::CommandStreams io{std::cin, std::cout, std::cerr};
        pw::CommandTable commands = pw::headlessCommands();
        commands.add(pw::printCommand());  // needs the toolkit, which app/cli does not link
        const int status = commands.run(arguments, io);
        pw::removeTempFolder();
        return status;
    }

    const std::string startFile =
        pw::resolveStartPath(pw::toUtf8(pw::joinArguments(arguments)), pw::startDirectory());
    // Only the program's own name goes to the toolkit; the rest is the file.
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    const int status = pw::runWindowed(wxArgc, wxArgv, pw::fromUtf8(startFile));
    pw::removeTempFolder();
    return status;
}
