// Joins the spoken and recorded pieces of one sentence into one sound, with
// silences between them, and times the lyrics by where each piece really
// begins in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/LyricsInfo.h"
#include "audio/WavFile.h"

namespace pw {

struct Piece {
    std::string path;        // a 16-bit PCM WAV file; a missing or empty one is left out
    std::u16string text;     // its lyric; empty: none
    uint32_t silenceMs = 0;  // before it, unless it comes first
};

struct JoinedSound {
    WaveFormat format;
    std::string data;  // the samples, little-endian
    uint32_t durationMs() const;
};

// Joins pieces at the highest rate among them (at least minimumRate) and with
// the most channels. lyrics receives one entry per piece with text: its text
// and, as value, the time from its start to the next entry's start; the last
// entry's value is its duration plus its own silence. False when no piece
// holds sound or a piece cannot be read.
bool joinPieces(const std::vector<Piece>& pieces, uint32_t minimumRate, JoinedSound& sound,
                LyricsInfo& lyrics);

}  // namespace pw
