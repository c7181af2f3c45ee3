// The message layout of lyrics failures.
#include "audio/LyricsManagerException.h"

#include <cstdio>

#include "core/Utf.h"

namespace pw {

std::u16string LyricsManagerException::codeText(int code) {
    switch (code) {
        case kCannotOpenFile:
            return u"\r\nCouldn't open this mp3 file";
        case kLyricsListUnreadable:
            return u"\r\nLists/Lyrics.txt ファイルが正しく読み込めていません。";
        case kLrcFileFailed:
            return u"\r\nLlrc ファイルの作成に失敗しました";
        case kSyltTagFailed:
            return u"\r\nLSylt タグを MP3 に設定できませんでした";
        default:
            return {};
    }
}

std::u16string LyricsManagerException::fullMessage() const {
    std::u16string text = u"Function: " + fromUtf8(function()) + u"\r\nLine:     " +
                          fromUtf8(std::to_string(line())) + u"\r\nException:";
    if (!message().empty()) {
        text += u"\r\n" + message();
    }
    if (code() != 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(code()));
        text += u"\r\nErrorCode: " + fromUtf8(hex) + codeText(code());
    }
    return text;
}

}  // namespace pw
