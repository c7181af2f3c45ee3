// MP3 decoding over mpg123.
#include "audio/Mpg123Decoder.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "core/InputFile.h"

namespace pw {

struct Mpg123Decoder::Handle {
    mpg123_handle* mh = nullptr;
    int fd = -1;  // mpg123 reads it but leaves closing it to us
    ~Handle() {
        if (mh) {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

Mpg123Decoder::Mpg123Decoder() = default;
Mpg123Decoder::~Mpg123Decoder() = default;

bool Mpg123Decoder::isOpen() const {
    return m_handle != nullptr;
}

bool Mpg123Decoder::open(const std::string& path) {
    close();
    static std::once_flag initialized;
    std::call_once(initialized, [] { mpg123_init(); });
    auto handle = std::make_unique<Handle>();
    int error = MPG123_OK;
    handle->mh = mpg123_new(nullptr, &error);
    if (!handle->mh) {
        return false;
    }
    mpg123_param(handle->mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    // A FIFO or device given for a recording is refused instead of waited on.
    handle->fd = openRegularFile(path);
    if (handle->fd < 0 || mpg123_open_fd(handle->mh, handle->fd) != MPG123_OK ||
        mpg123_getformat(handle->mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0) {
        return false;
    }
    // Fix the output to 16-bit samples at the stream's own rate.
    mpg123_format_none(handle->mh);
    if (mpg123_format(handle->mh, rate, channels, MPG123_ENC_SIGNED_16) != MPG123_OK) {
        return false;
    }
    mpg123_scan(handle->mh);
    const off_t total = mpg123_length(handle->mh);
    m_channels = channels;
    m_sampleRate = static_cast<int>(rate);
    m_bitsPerSample = 16;
    m_loopStart = 0;
    m_loopLength = 0;
    m_totalSamples = total > 0 ? total : 0;
    m_handle = std::move(handle);
    return true;
}

void Mpg123Decoder::close() {
    m_handle.reset();
}

PCMDecoder::Piece Mpg123Decoder::readPiece(char* buffer, size_t size) {
    size_t done = 0;
    const int result =
        mpg123_read(m_handle->mh, reinterpret_cast<unsigned char*>(buffer), size, &done);
    if (result == MPG123_DONE) {
        return {done, Piece::End};
    }
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT && done == 0) {
        return {0, Piece::Failed};
    }
    return {done, Piece::More};
}

bool Mpg123Decoder::rewind() {
    return mpg123_seek(m_handle->mh, static_cast<off_t>(m_loopStart), SEEK_SET) >= 0;
}

int64_t Mpg123Decoder::samplePosition() {
    return mpg123_tell(m_handle->mh);
}

int64_t Mpg123Decoder::tell() {
    if (!m_handle) {
        return 0;
    }
    const off_t position = mpg123_tell(m_handle->mh);
    return position > 0 ? samplesToMs(position, m_sampleRate) : 0;
}

bool Mpg123Decoder::seek(int64_t ms) {
    if (!m_handle) {
        return false;
    }
    const auto sample = static_cast<off_t>(msToSamples(std::max<int64_t>(ms, 0), m_sampleRate));
    return mpg123_seek(m_handle->mh, sample, SEEK_SET) >= 0;
}

}  // namespace pw
