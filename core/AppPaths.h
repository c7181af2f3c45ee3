// Where the program lives: the executable's folder and the settings file,
// beside the executable in a portable folder, else in the user's settings
// folder (see AppFiles.h).
#pragma once

#include <string>

namespace pw {

// Fills moduleDirectory from the running executable (once), decides where the
// files live (AppFiles), makes the learner's folder the current directory
// (in a portable folder: the executable's) and computes the settings path
// from argv0. A portable folder that cannot be written is said on stderr.
void initModuleDirectory(const char* argv0);

// The executable's folder with a trailing "/"; empty when it could not be found.
const std::string& moduleDirectory();
// The settings folder + the executable's base name + ".ini".
const std::string& settingsFilePath();

// Overrides both and makes folder a portable one, for tests that run the
// program's code from another folder.
void setModuleDirectoryForTesting(const std::string& folder, const std::string& argv0);

// The settings path for an executable named argv0 in folder: the base name is
// the part of argv0 between its last separator and its last dot.
std::string computeSettingsFilePath(const std::string& folder, const std::string& argv0);

}  // namespace pw
