// The scratch folder "Korvant" under the system temporary folder.
#pragma once

#include <string>

namespace pw {

// The system temporary folder + "Korvant/".
std::string tempFolder();

// tempFolder() + name, made unique; creates the folder when it is missing.
std::string makeTempFilePath(const std::string& name);

// While a file of that path exists, tries base + "%03d" counter + extension
// (name001.wav, name002.wav, ...), stopping after counter 1000. The path
// becomes the last name tried; with createEmpty an empty file is created.
void makeUniqueFileName(std::string& path, bool createEmpty);

// Deletes the files directly inside the folder, then the folder itself;
// sub-folders are not entered and a failure to remove is ignored.
void removeTempFolder();

}  // namespace pw
