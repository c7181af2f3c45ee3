// The learning file named on the command line, and the folder the program was
// started from (start-up makes the program's own folder the current one).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pw {

class SentenceListModel;

// The arguments after the program name joined with no separator, as the
// program has always read them; empty when there are none.
std::u16string joinArguments(const std::vector<std::string>& arguments);

// Remembers the current directory; call before start-up changes it.
void rememberStartDirectory();
const std::string& startDirectory();

// A path the user typed, meant from where the program was started: a
// relative one is taken from the start folder (when it is known).
std::string fromStartFolder(const std::string& path);

// A relative path that exists relative to startFolder becomes absolute, so
// "phrasewright notes.xml" opens the file the user means; anything else is
// left for the library's own search (the program folder, then Data/).
std::string resolveStartPath(const std::string& path, const std::string& startFolder);

// Rows numbered from 1: "A-B", "A-" (last 0: to the end) or "A" (one row).
// False for anything else, or a range that ends before it starts.
bool parseRows(const std::string& text, int& first, int& last);
// A decimal number of up to nine digits from minimum to maximum.
bool parseNumber(const std::string& text, int minimum, int maximum, int& value);

// An argument no option of the command took: the learning file, the first
// time. False, with the reason in error, for a second file or an option the
// command does not know (or, when lacksValue, one given without its value).
bool takeLearningFile(const std::string& arg, bool lacksValue, std::string& file,
                      std::string& error);

// Opens the learning file a command was given and picks its records firstRow
// to lastRow (from 1; lastRow 0: to the end) into rows. 0 when they are
// there; otherwise the status to exit with, the reason said on err: 1 for a
// file that cannot be opened, 2 for rows it does not have.
int openCommandRows(SentenceListModel& list, const std::string& file, int firstRow, int lastRow,
                    std::vector<int>& rows, std::ostream& err);

// For a path from resolveStartPath that was found nowhere: the line that
// names the folders it was looked for in; else "".
std::string searchedFoldersNote(const std::string& resolvedPath);

}  // namespace pw
