// What an import found wrong with a line of its input.
#pragma once

#include <string>

namespace pw {

struct ImportIssue {
    enum Kind {
        Skipped,  // the row or cue was left out
        Note,     // it was read, but something about it was mended or worth knowing
    };
    Kind kind = Skipped;
    int line = 0;  // from 1
    std::u16string message;
    std::u16string file;  // the file name, filled in by the importer
};

}  // namespace pw
