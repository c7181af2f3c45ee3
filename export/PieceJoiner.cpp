// Joining the pieces of a sentence.
#include "export/PieceJoiner.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "audio/PcmConvert.h"

namespace pw {
namespace {

// Shorter files are not taken for WAV files at all (see readWavInfo).
constexpr off_t kShortestWav = 64;

struct LoadedPiece {
    const Piece* piece;
    WaveFormat format;
    std::vector<int16_t> samples;
};

bool loadPiece(const Piece& piece, LoadedPiece& loaded) {
    WavLayout layout;
    if (!readWavLayout(piece.path, layout)) {
        return false;
    }
    const WaveFormat& f = layout.format;
    if (f.bitsPerSample != 16 || (f.channels != 1 && f.channels != 2) ||
        f.blockAlign != f.channels * 2) {
        return false;
    }
    const size_t bytes = layout.dataSize / f.blockAlign * f.blockAlign;
    std::string raw(bytes, '\0');
    std::ifstream in(piece.path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(layout.dataOffset));
    if (!in.read(raw.data(), static_cast<std::streamsize>(bytes))) {
        return false;
    }
    loaded.piece = &piece;
    loaded.format = f;
    loaded.samples.resize(bytes / 2);
    for (size_t i = 0; i < loaded.samples.size(); ++i) {
        loaded.samples[i] = static_cast<int16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                                 static_cast<unsigned char>(raw[2 * i + 1]) << 8);
    }
    return true;
}

class AppendSink : public PcmSink {
public:
    explicit AppendSink(std::string& out) : m_out(out) {}
    bool put(const int16_t* samples, size_t count) override {
        const size_t at = m_out.size();
        m_out.resize(at + count * 2);
        for (size_t i = 0; i < count; ++i) {
            const auto v = static_cast<uint16_t>(samples[i]);
            m_out[at + 2 * i] = static_cast<char>(v & 0xFF);
            m_out[at + 2 * i + 1] = static_cast<char>(v >> 8);
        }
        return true;
    }

private:
    std::string& m_out;
};

bool appendConverted(const LoadedPiece& piece, const WaveFormat& target, std::string& out) {
    AppendSink sink(out);
    const WaveFormat& from = piece.format;
    const size_t frames = piece.samples.size() / from.channels;
    if (from.samplesPerSec == target.samplesPerSec) {
        return from.channels == target.channels
                   ? sink.put(piece.samples.data(), piece.samples.size())
                   : remapPcmChannels(piece.samples.data(), frames, from.channels, target.channels,
                                      sink);
    }
    if (from.channels == target.channels) {
        return resamplePcm(piece.samples.data(), frames, from.channels, from.samplesPerSec,
                           target.samplesPerSec, sink);
    }
    ChannelRemapSink remap(from.channels, target.channels, sink);
    return resamplePcm(piece.samples.data(), frames, from.channels, from.samplesPerSec,
                       target.samplesPerSec, remap);
}

uint32_t framesToMs(uint64_t frames, uint32_t rate) {
    return static_cast<uint32_t>(frames * 1000 / rate);
}

}  // namespace

uint32_t JoinedSound::durationMs() const {
    return format.blockAlign == 0
               ? 0
               : framesToMs(data.size() / format.blockAlign, format.samplesPerSec);
}

bool joinPieces(const std::vector<Piece>& pieces, uint32_t minimumRate, JoinedSound& sound,
                LyricsInfo& lyrics) {
    std::vector<LoadedPiece> loaded;
    uint32_t rate = minimumRate;
    uint16_t channels = 1;
    for (const Piece& piece : pieces) {
        // A voice that said nothing leaves no file, or next to nothing, behind.
        struct stat st;
        if (::stat(piece.path.c_str(), &st) != 0 || st.st_size < kShortestWav) {
            continue;
        }
        LoadedPiece next;
        if (!loadPiece(piece, next)) {
            return false;
        }
        if (next.samples.empty()) {
            continue;
        }
        rate = std::max(rate, next.format.samplesPerSec);
        channels = std::max(channels, next.format.channels);
        loaded.push_back(std::move(next));
    }
    if (loaded.empty()) {
        return false;
    }
    sound.format = pcmFormat(rate, channels);
    sound.data.clear();
    const size_t block = sound.format.blockAlign;
    struct Start {
        const LoadedPiece* piece;
        uint64_t frame;
        uint64_t end;
    };
    std::vector<Start> starts;
    for (const LoadedPiece& piece : loaded) {
        if (!sound.data.empty()) {
            sound.data.append(silenceBytes(sound.format, piece.piece->silenceMs), '\0');
        }
        const uint64_t first = sound.data.size() / block;
        if (!appendConverted(piece, sound.format, sound.data)) {
            return false;
        }
        starts.push_back({&piece, first, sound.data.size() / block});
    }
    LyricsInfo timed;
    std::vector<const Start*> entries;
    for (const Start& start : starts) {
        if (!start.piece->piece->text.empty()) {
            entries.push_back(&start);
        }
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint32_t begin = framesToMs(entries[i]->frame, rate);
        uint32_t value;
        if (i + 1 < entries.size()) {
            value = framesToMs(entries[i + 1]->frame, rate) - begin;
        } else {
            const uint32_t own = std::min<uint32_t>(entries[i]->piece->piece->silenceMs, 10000);
            value = framesToMs(entries[i]->end, rate) - begin + own;
        }
        timed.add(entries[i]->piece->piece->text, value);
    }
    lyrics = std::move(timed);
    return true;
}

}  // namespace pw
