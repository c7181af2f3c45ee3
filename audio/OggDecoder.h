// Ogg Vorbis decoding (vorbisfile), looping between the LOOPSTART and
// LOOPSTART + LOOPLENGTH sample positions that the stream's comments give.
#pragma once

#include <memory>

#include "audio/PCMDecoder.h"

namespace pw {

class OggDecoder : public PCMDecoder {
public:
    OggDecoder();
    ~OggDecoder() override;

    bool isOpen() const override;
    bool open(const std::string& path) override;
    void close() override;
    int64_t tell() override;
    bool seek(int64_t ms) override;

private:
    Piece readPiece(char* buffer, size_t size) override;
    bool rewind() override;
    int64_t samplePosition() override;

    struct File;
    std::unique_ptr<File> m_file;
};

}  // namespace pw
