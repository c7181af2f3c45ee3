// MP3 decoding (mpg123) for the players that feed the output buffer by
// buffer; a looping read starts the file again at its end.
#pragma once

#include <memory>

#include "audio/PCMDecoder.h"

namespace pw {

class Mpg123Decoder : public PCMDecoder {
public:
    Mpg123Decoder();
    ~Mpg123Decoder() override;

    bool isOpen() const override;
    bool open(const std::string& path) override;
    void close() override;
    int64_t tell() override;
    bool seek(int64_t ms) override;

private:
    Piece readPiece(char* buffer, size_t size) override;
    bool rewind() override;
    int64_t samplePosition() override;

    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

}  // namespace pw
