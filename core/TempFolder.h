// The scratch folder of this process: a folder of its own under "Korvant" in
// the system temporary folder, so that one instance never deletes the files
// of another one at work.
#pragma once

#include <string>

namespace pw {

// The system temporary folder + "Korvant/".
std::string sharedTempFolder();

// The folder of this process: sharedTempFolder() + "<pid>-<start time>/", the
// start time being the process's own (clock ticks since boot), so that a
// folder left by a process that ended is told from one of a process that
// runs under the same number later. Not created by asking for it.
std::string tempFolder();

// tempFolder(), created (for this user only, clearing the folders left by
// processes that no longer run) when it is missing.
std::string makeTempFolder();

// makeTempFolder() + name, made unique.
std::string makeTempFilePath(const std::string& name);

// While a file of that path exists, tries base + "%03d" counter + extension
// (name001.wav, name002.wav, ...), stopping after counter 1000. The path
// becomes the last name tried; with createEmpty an empty file is created.
void makeUniqueFileName(std::string& path, bool createEmpty);

// At exit: deletes the files directly inside this process's folder and the
// folder itself (sub-folders are not entered), removes the folders left by
// processes that no longer run with all they hold, and removes "Korvant" when
// that leaves it empty. Folders of running processes and other files are left alone; a
// failure to remove is ignored.
void removeTempFolder();

}  // namespace pw
