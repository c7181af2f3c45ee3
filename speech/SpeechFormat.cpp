// The table of speech stream formats.
#include "speech/SpeechFormat.h"

#include "core/Utf.h"
#include "speech/ChoiceList.h"

namespace pw {
namespace {

struct Rate {
    int label;  // kHz as the name shows it
    int hz;
};
constexpr Rate kRates[] = {{8, 8000},   {11, 11025}, {12, 12000}, {16, 16000}, {22, 22050},
                           {24, 24000}, {32, 32000}, {44, 44100}, {48, 48000}};

int labelOf(int hz) {
    for (const Rate& rate : kRates) {
        if (rate.hz == hz) {
            return rate.label;
        }
    }
    return hz / 1000;
}

}  // namespace

std::u16string SpeechFormat::name() const {
    return fromUtf8(std::to_string(labelOf(rate)) + "kHz " + std::to_string(bits) + " Bit " +
                    (channels == 1 ? "Mono" : "Stereo"));
}

const std::array<SpeechFormat, kSpeechFormatCount>& speechFormats() {
    static const std::array<SpeechFormat, kSpeechFormatCount> formats = [] {
        std::array<SpeechFormat, kSpeechFormatCount> table{};
        int i = 0;
        for (const Rate& rate : kRates) {
            for (int bits : {8, 16}) {
                for (int channels : {1, 2}) {
                    table[static_cast<size_t>(i)] = {kFirstSpeechFormatNumber + i, rate.hz, bits,
                                                     channels};
                    ++i;
                }
            }
        }
        return table;
    }();
    return formats;
}

const SpeechFormat* speechFormatByNumber(int64_t number) {
    const int64_t index = number - kFirstSpeechFormatNumber;
    if (index < 0 || index >= kSpeechFormatCount) {
        return nullptr;
    }
    return &speechFormats()[static_cast<size_t>(index)];
}

int speechFormatNumber(int rate, int bits, int channels) {
    for (const SpeechFormat& format : speechFormats()) {
        if (format.rate == rate && format.bits == bits && format.channels == channels) {
            return format.number;
        }
    }
    return 0;
}

void addSpeechFormats(ChoiceList& list) {
    for (const SpeechFormat& format : speechFormats()) {
        list.add(format.name(), format.number);
    }
}

}  // namespace pw
