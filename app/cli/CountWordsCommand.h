// phrasewright --count-words [FILE]: counts the words of a text as the word
// counter does, against the learned words of "Dictionaries/Learning.txt".
#pragma once

#include <istream>
#include <ostream>

#include "app/cli/Subcommand.h"

namespace pw {

// Prints the counter's report ("語数:\t5\n種類:\t3/3\n": the total, the new
// words listed, the distinct words), then one line per new word: its count,
// a TAB and the word, in the order of first use. The text's encoding is
// detected as for any text file.
int printWordCount(std::istream& text, std::ostream& out);

Subcommand countWordsCommand();

}  // namespace pw
