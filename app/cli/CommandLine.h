// The learning file named on the command line, and the folder the program was
// started from (start-up makes the program's own folder the current one).
#pragma once

#include <string>
#include <vector>

namespace pw {

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

}  // namespace pw
