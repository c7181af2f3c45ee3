// Reading synchronised lyrics from the ID3v2 tag of an MP3 file.
#include "audio/SyltTagReader.h"

#include "audio/Id3TagReader.h"
#include "audio/SyltFrame.h"
#include "core/InputFile.h"
#include "core/Utf.h"

namespace pw {
namespace {

constexpr const char* kReadFunction = "LyricsInfoManager::readSyltTag";

[[noreturn]] void fail(std::u16string message, int code, int line) {
    throw LyricsManagerException(std::move(message), code, kReadFunction, line);
}

}  // namespace

void readSyltTag(const std::string& mp3Path, LyricsInfo& lyrics) {
    InputFileStream in(mp3Path);
    if (!in.is_open()) {
        fail(fromUtf8(mp3Path), LyricsManagerException::kCannotOpenFile, __LINE__);
    }
    readSyltTag(in, lyrics);
}

void readSyltTag(std::istream& in, LyricsInfo& lyrics) {
    using Result = Id3TagReader::Result;
    Id3TagReader tag(in);
    Result result = tag.readHeader();
    std::string body;
    if (result == Result::Found) {
        result = tag.findFrame(tag.majorVersion() == 2 ? "SLT" : "SYLT", body);
    }
    if (result == Result::NotFound) {
        fail(tag.problem(), LyricsManagerException::kNoLyricsFrame, __LINE__);
    }
    if (result != Result::Found) {
        fail(tag.problem(), LyricsManagerException::kNoValidTag, __LINE__);
    }
    LyricsInfo read;
    if (!sylt::readBody(body, read)) {
        fail(u"The lyrics frame is shorter than its header.", LyricsManagerException::kNoValidTag,
             __LINE__);
    }
    lyrics = std::move(read);
}

}  // namespace pw
