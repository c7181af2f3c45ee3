// The open learning file: opening, records by index, and their results.
#include "content/SentenceListModel.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "audio/SyltTagReader.h"
#include "core/Utf.h"

namespace pw {
namespace {

// Where the extension of the file name in path starts (its dot), or npos.
size_t extensionStart(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == 0 ||
        dot == slash + 1) {
        return std::string::npos;
    }
    return dot;
}

std::string withoutExtension(const std::string& path) {
    return path.substr(0, extensionStart(path));
}

bool hasExtension(const std::string& path, std::string_view extension) {
    const size_t dot = extensionStart(path);
    return dot != std::string::npos && asciiLower(path.substr(dot)) == extension;
}

bool isReadableFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) &&
           std::ifstream(path, std::ios::binary).is_open();
}

// A file with content, which must not be replaced by a list built from lyrics.
bool holdsContent(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) && std::filesystem::file_size(path, error) > 0 &&
           !error;
}

}  // namespace

const std::vector<std::string>& companionAudioExtensions() {
    // The first three are those learning files have always used; the others
    // are the formats the player reads that imported recordings may come in.
    static const std::vector<std::string> kExtensions = {".mp3",  ".ogg",  ".wma",
                                                         ".opus", ".flac", ".wav"};
    return kExtensions;
}

SentenceListModel::SentenceListModel() : m_document(std::make_unique<XMLParser>()) {}

SentenceListModel::~SentenceListModel() = default;

void SentenceListModel::addListener(SentenceListListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end()) {
        m_listeners.push_back(listener);
    }
}

void SentenceListModel::removeListener(SentenceListListener* listener) {
    std::erase(m_listeners, listener);
}

void SentenceListModel::notifyReset() {
    for (SentenceListListener* listener : m_listeners) {
        listener->recordsReset();
    }
}

void SentenceListModel::notifyChanged(int i) {
    for (SentenceListListener* listener : m_listeners) {
        listener->recordChanged(i);
    }
}

bool SentenceListModel::open(const std::u16string& path) {
    return open(toUtf8(path));
}

bool SentenceListModel::open(const std::string& path) {
    m_openError.clear();
    // A name that already ends in ".xml" is loaded as given, whatever the
    // case of its extension.
    const std::string xmlPath = hasExtension(path, ".xml") ? path : withoutExtension(path) + ".xml";
    auto loaded = std::make_unique<XMLParser>();
    if (loaded->load(xmlPath)) {
        m_document = std::move(loaded);
        m_fromLyrics = false;
        m_description.clear();
        return refresh();
    }
    if (loaded->lastError()) {
        m_openError = loaded->lastError()->boxText;
        return false;
    }
    std::error_code error;
    const auto status = std::filesystem::status(xmlPath, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A FIFO or device would never deliver a document, and a folder is none.
        m_openError = fromUtf8(xmlPath) + u" cannot be opened: it is not a regular file.";
        return false;
    }
    if (holdsContent(xmlPath)) {
        m_openError = fromUtf8(xmlPath) + u" cannot be read or holds no XML element.";
        return false;
    }
    if (!hasExtension(path, ".mp3")) {
        m_openError = fromUtf8(xmlPath) +
                      (std::filesystem::exists(status) ? u" is empty." : u" does not exist.");
        return false;
    }
    if (!loadLyrics(path)) {
        return false;
    }
    m_description.clear();
    return refresh();
}

bool SentenceListModel::loadFromMp3(const std::string& path) {
    m_openError.clear();
    if (!loadLyrics(path)) {
        return false;
    }
    m_description.clear();
    return refresh();
}

bool SentenceListModel::loadLyrics(const std::string& path) {
    if (!hasExtension(path, ".mp3")) {
        m_openError = fromUtf8(path) + u" is not an MP3 file.";
        return false;
    }
    LyricsInfo lyrics;
    try {
        readSyltTag(path, lyrics);
    } catch (const LyricsManagerException& e) {
        m_openError =
            u"The synchronised lyrics of " + fromUtf8(path) + u" cannot be read: " +
            (e.code() == LyricsManagerException::kCannotOpenFile ? u"the file cannot be opened."
                                                                 : e.message());
        return false;
    }
    // The document keeps its declaration, which decides how the new list is saved.
    m_document->clear();
    m_document->setPath(path.substr(0, path.size() - 4) + ".xml");
    m_document->setRoot(records::sentenceListFromLyrics(lyrics));
    m_fromLyrics = true;
    return true;
}

bool SentenceListModel::refresh() {
    Element* root = m_document->getRoot();
    if (!root) {
        return false;
    }
    m_description = records::readDescription(*root);
    m_records.clear();
    root->findAll(m_wordMode ? records::kWordRecord : records::kSentenceRecord, m_records);
    for (int i = 0; i < recordCount(); ++i) {
        SentenceRecord record = recordAt(i);
        record.removeObsoleteAttributes();
        // Reading the two texts adds the elements a record lacks, so that a
        // saved file holds them whichever rows were shown.
        record.text(TextKind::Sentence);
        record.text(TextKind::Translation);
    }
    notifyReset();
    return true;
}

bool SentenceListModel::save(std::string* error) {
    if (!m_document->saveAs(m_document->getPath(), error)) {
        return false;
    }
    m_fromLyrics = false;
    return true;
}

std::u16string SentenceListModel::text(int i, TextKind kind) {
    return isValidIndex(i) ? recordAt(i).text(kind) : std::u16string();
}

Element* SentenceListModel::textNode(int i, TextKind kind) {
    return isValidIndex(i) ? &recordAt(i).textNode(kind) : nullptr;
}

void SentenceListModel::setRecordText(int i, TextKind kind, std::u16string text) {
    if (!isValidIndex(i)) {
        return;
    }
    recordAt(i).setText(kind, std::move(text));
    if (kind != TextKind::Explanation) {
        notifyChanged(i);
    }
}

void SentenceListModel::incrementTrial(int i) {
    if (isValidIndex(i)) {
        recordAt(i).incrementTrial();
        notifyChanged(i);
    }
}

void SentenceListModel::setCheck(int i, int bit, bool on) {
    if (isValidIndex(i)) {
        recordAt(i).setCheck(bit, on);
        notifyChanged(i);
    }
}

int SentenceListModel::check(int i) const {
    return isValidIndex(i) ? recordAt(i).check() : 0;
}

void SentenceListModel::setScore(int i, std::u16string scoreText, bool writing) {
    if (isValidIndex(i)) {
        recordAt(i).setScore(std::move(scoreText), writing);
        notifyChanged(i);
    }
}

double SentenceListModel::getScore(int i, bool writing) const {
    return isValidIndex(i) ? recordAt(i).score(writing) : 0;
}

void SentenceListModel::setDescription(const std::u16string& text) {
    if (Element* root = m_document->getRoot()) {
        records::writeDescription(*root, text);
        m_description = text;
    }
}

int SentenceListModel::startTime(int i) const {
    return isValidIndex(i) ? recordAt(i).startTime() : -1;
}

int SentenceListModel::endTime(int i) const {
    return isValidIndex(i) ? recordAt(i).endTime() : -1;
}

bool SentenceListModel::audioSegment(int i, int& start, int& end) const {
    start = startTime(i);
    if (!isValidIndex(i) || (i >= 2 && start == 0)) {
        end = isValidIndex(i) ? 0 : -1;
        return false;
    }
    end = endTime(i);
    if (end == -1) {
        end = startTime(i + 1);
    }
    // Compared unsigned: no start (-1) is never before anything, and no end
    // (-1) comes after every start.
    return static_cast<uint32_t>(start) < static_cast<uint32_t>(end);
}

bool SentenceListModel::audioSource(int i, std::string& path, int& start, int& end) const {
    if (!isValidIndex(i)) {
        return false;
    }
    std::string voice = toUtf8(recordAt(i).voice());
    if (!voice.empty()) {
        // Files written on Windows may separate folders with backslashes.
        std::string portable = voice;
        std::replace(portable.begin(), portable.end(), '\\', '/');
        for (const std::string& candidate : {voice, portable}) {
            if (isReadableFile(candidate)) {
                path = candidate;
                start = 0;
                end = -1;
                return true;
            }
        }
    }
    const std::string& documentPath = m_document->getPath();
    if (documentPath.empty()) {
        return false;
    }
    const std::string base = withoutExtension(documentPath);
    for (const std::string& extension : companionAudioExtensions()) {
        if (isReadableFile(base + extension)) {
            path = base + extension;
            return audioSegment(i, start, end);
        }
    }
    return false;
}

std::u16string SentenceListModel::cellText(int i, int column) {
    if (!isValidIndex(i)) {
        return {};
    }
    SentenceRecord record = recordAt(i);
    switch (column) {
        case kCheckColumn:
            return records::renderCheck(record.check());
        case kTrialColumn:
            return record.trialText();
        case kSentenceColumn:
            return record.text(TextKind::Sentence);
        case kTranslationColumn:
            return record.text(TextKind::Translation);
        case kDictationColumn:
            return record.scoreText(false);
        case kWritingColumn:
            return record.scoreText(true);
        default:
            return {};
    }
}

}  // namespace pw
