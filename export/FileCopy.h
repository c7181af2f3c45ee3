// Copying and moving whole files through the safe-save routine, in pieces,
// however large they are; and whether a folder is there to write into.
#pragma once

#include <string>

namespace pw {

class SafeFileWriter;

// Appends the content of the file at fd (read from where it stands) to writer.
bool appendFileContent(int fd, SafeFileWriter& writer);

// True when path names an existing folder.
bool isFolder(const std::string& path);

// Moves a file, copying it when the two places are on different file
// systems; the target is replaced only by a complete file.
bool moveFile(const std::string& from, const std::string& to);

}  // namespace pw
