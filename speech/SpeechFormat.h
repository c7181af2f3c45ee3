// The 36 stream formats speech can be written in: 8 to 48 kHz, 8 or 16 bit,
// mono or stereo, each with its stream-format number (entry i carries i + 4).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pw {

class ChoiceList;

struct SpeechFormat {
    int number;  // the stream-format number
    int rate;    // Hz
    int bits;    // 8 or 16
    int channels;

    // "16kHz 16 Bit Mono"
    std::u16string name() const;
};

inline constexpr int kSpeechFormatCount = 36;
inline constexpr int kFirstSpeechFormatNumber = 4;
// "16kHz 16 Bit Stereo": what a list selects when it has no better choice.
inline constexpr int kFallbackFormatIndex = 15;
// "16kHz 16 Bit Mono": the format the settings start with.
inline constexpr int kDefaultFormatIndex = 14;

const std::array<SpeechFormat, kSpeechFormatCount>& speechFormats();
// The format with number, or null.
const SpeechFormat* speechFormatByNumber(int64_t number);
// The number of the format of rate, bits and channels; 0 when there is none.
int speechFormatNumber(int rate, int bits, int channels);

// Fills list with the 36 names and their numbers, selecting nothing.
void addSpeechFormats(ChoiceList& list);

}  // namespace pw
