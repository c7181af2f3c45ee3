// Reading a decoder's stream with its loop.
#include "audio/PCMDecoder.h"

#include <algorithm>
#include <cstring>

namespace pw {

bool PCMDecoder::read(char* buffer, size_t size, size_t& bytesRead, bool& ended, bool loop) {
    std::memset(buffer, 0, size);
    bytesRead = 0;
    ended = false;
    if (!isOpen()) {
        return false;
    }
    const size_t frameBytes = static_cast<size_t>(m_channels) * 2;
    size = size / frameBytes * frameBytes;
    // Set after going back to the loop start at the end of the stream; a
    // second end with nothing read between means there is nothing to loop.
    bool rewound = false;
    while (bytesRead < size) {
        const Piece piece = readPiece(buffer + bytesRead, size - bytesRead);
        bytesRead += piece.bytes;
        if (piece.bytes > 0) {
            rewound = false;
        }
        if (piece.status == Piece::Failed) {
            return false;
        }
        if (piece.status == Piece::End) {
            if (!loop || rewound || !rewind()) {
                ended = true;
                break;
            }
            rewound = true;
            continue;
        }
        if (loop && m_loopLength > 0 && piece.bytes > 0) {
            const int64_t loopEnd = m_loopStart + m_loopLength;
            const int64_t position = samplePosition();
            if (position >= loopEnd) {
                // What was decoded past the loop end is dropped.
                const size_t over =
                    std::min(static_cast<size_t>(position - loopEnd) * frameBytes, piece.bytes);
                bytesRead -= over;
                std::memset(buffer + bytesRead, 0, over);
                if (!rewind()) {
                    ended = true;
                    break;
                }
            }
        }
    }
    bytesRead = bytesRead / frameBytes * frameBytes;
    return true;
}

}  // namespace pw
