// Where the program lives: the executable's folder (the current directory for
// the whole run) and the settings file beside the executable.
#pragma once

#include <string>

namespace pw {

// Fills moduleDirectory from the running executable (once) and makes it the
// current directory; computes the settings path from argv0.
void initModuleDirectory(const char* argv0);

// The executable's folder with a trailing "/"; empty when it could not be found.
const std::string& moduleDirectory();
// moduleDirectory + the executable's base name + ".ini".
const std::string& settingsFilePath();

// Overrides both, for tests that run the program's code from another folder.
void setModuleDirectoryForTesting(const std::string& folder, const std::string& argv0);

// The settings path for an executable named argv0 in folder: the base name is
// the part of argv0 between its last separator and its last dot.
std::string computeSettingsFilePath(const std::string& folder, const std::string& argv0);

}  // namespace pw
