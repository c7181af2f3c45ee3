// The sentences an audio conversion turns into files, one row each: what is
// spoken, the recorded audio when the sentence has some, the output file's
// name and how far its conversion has come.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pw {

class SentenceListModel;

struct ConversionRow {
    int record = -1;             // in the sentence list
    std::u16string sentence;     // plain text
    std::u16string translation;  // plain text
    // The sentence's recorded audio (UTF-8 path; end -1: to the end of the file).
    std::string audioPath;
    int audioStart = 0;
    int audioEnd = -1;
    std::u16string outputName;  // without folder and extension
    std::u16string progress;    // the "Progress" cell

    bool hasRecordedAudio() const { return !audioPath.empty(); }
};

// The name of output number (from 1) of count: the number with as many
// digits as the count needs, from "%d" below 10 to "%05d" from 10 000 on, a
// space and text; the characters " * / : < > ? \ | become "%" and their code
// in upper-case hexadecimal ("?" gives "%3F"), those below U+0020 spaces.
std::u16string outputFileName(size_t number, size_t count, std::u16string_view text);

// The rows for records of list, in the order given: the sentence and
// translation as plain text, the recorded audio, and the output names. A
// name carries the word itself when wordMode and the word has fewer than 30
// characters, else the learning file's name without folder and extension.
std::vector<ConversionRow> makeConversionRows(SentenceListModel& list,
                                              const std::vector<int>& records, bool wordMode);

}  // namespace pw
