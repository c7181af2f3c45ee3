// Ogg Vorbis decoding with comment-driven loops.
#include "audio/OggDecoder.h"

#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/InputFile.h"

namespace pw {
namespace {

constexpr size_t kPieceBytes = 4096;

// The decimal after prefix when comment starts with it; -1 otherwise.
int64_t commentValue(std::string_view comment, std::string_view prefix) {
    if (comment.substr(0, prefix.size()) != prefix) {
        return -1;
    }
    int64_t value = -1;
    const char* first = comment.data() + prefix.size();
    const auto [end, error] = std::from_chars(first, comment.data() + comment.size(), value);
    (void)end;
    return error == std::errc() ? value : -1;
}

}  // namespace

struct OggDecoder::File {
    OggVorbis_File vf{};
    bool opened = false;  // vorbisfile cleans up after a failed open itself
    ~File() {
        if (opened) {
            ov_clear(&vf);
        }
    }
};

OggDecoder::OggDecoder() = default;
OggDecoder::~OggDecoder() = default;

bool OggDecoder::isOpen() const {
    return m_file != nullptr;
}

bool OggDecoder::open(const std::string& path) {
    close();
    const int fd = openRegularFile(path);  // never waits on a FIFO
    FILE* f = fd < 0 ? nullptr : fdopen(fd, "rb");
    if (!f) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    auto file = std::make_unique<File>();
    if (ov_open(f, &file->vf, nullptr, 0) != 0) {
        std::fclose(f);
        return false;
    }
    file->opened = true;
    const vorbis_info* info = ov_info(&file->vf, -1);
    if (!info || info->channels <= 0 || info->rate <= 0) {
        return false;
    }
    m_channels = info->channels;
    m_sampleRate = static_cast<int>(info->rate);
    m_bitsPerSample = 16;
    m_loopStart = 0;
    m_loopLength = 0;
    if (const vorbis_comment* comments = ov_comment(&file->vf, -1)) {
        for (int i = 0; i < comments->comments; ++i) {
            const std::string_view text(comments->user_comments[i],
                                        static_cast<size_t>(comments->comment_lengths[i]));
            if (const int64_t v = commentValue(text, "LOOPLENGTH="); v >= 0) {
                m_loopLength = v;
            }
            if (const int64_t v = commentValue(text, "LOOPSTART="); v >= 0) {
                m_loopStart = v;
            }
        }
    }
    const ogg_int64_t total = ov_pcm_total(&file->vf, -1);
    m_totalSamples = total > 0 ? total : 0;
    // A loop that starts past the end cannot be played, and one shorter than
    // a hundredth of a second is no musical loop but would make every read
    // seek back thousands of times.
    if (m_loopStart >= m_totalSamples || m_loopLength < std::max(1, m_sampleRate / 100)) {
        m_loopLength = 0;
    }
    if (m_loopStart >= m_totalSamples) {
        m_loopStart = 0;
    }
    m_file = std::move(file);
    return true;
}

void OggDecoder::close() {
    m_file.reset();
}

PCMDecoder::Piece OggDecoder::readPiece(char* buffer, size_t size) {
    int section = 0;
    const int ask = static_cast<int>(std::min(size, kPieceBytes));
    const long n = ov_read(&m_file->vf, buffer, ask, 0, 2, 1, &section);
    if (n == OV_HOLE) {
        return {0, Piece::More};
    }
    if (n < 0) {
        return {0, Piece::Failed};
    }
    return {static_cast<size_t>(n), n == 0 ? Piece::End : Piece::More};
}

bool OggDecoder::rewind() {
    return ov_pcm_seek(&m_file->vf, m_loopStart) == 0;
}

int64_t OggDecoder::samplePosition() {
    return ov_pcm_tell(&m_file->vf);
}

int64_t OggDecoder::tell() {
    if (!m_file) {
        return 0;
    }
    return samplesToMs(ov_pcm_tell(&m_file->vf), m_sampleRate);
}

bool OggDecoder::seek(int64_t ms) {
    if (!m_file) {
        return false;
    }
    return ov_pcm_seek(&m_file->vf, msToSamples(std::max<int64_t>(ms, 0), m_sampleRate)) == 0;
}

}  // namespace pw
