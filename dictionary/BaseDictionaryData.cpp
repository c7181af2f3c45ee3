// Loading and writing the dictionary file format shared by all dictionaries.
#include "dictionary/BaseDictionaryData.h"

#include "xml/TextFile.h"

namespace pw {
namespace {

// Calls entry(key, value) for each well-formed line, in file order. Lines end
// in CR LF (a lone LF, as editors on this platform write, counts too); a last
// line without its line end is not an entry. A line needs exactly one TAB:
// lines without one (blank lines) or with more (a three-column export) are
// skipped rather than run into their neighbours.
template <typename Entry>
void parseLines(std::u16string_view text, Entry&& entry) {
    size_t start = 0;
    for (size_t end = text.find(u'\n'); end != std::u16string_view::npos;
         start = end + 1, end = text.find(u'\n', start)) {
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') {
            line.remove_suffix(1);
        }
        const size_t tab = line.find(u'\t');
        if (tab == std::u16string_view::npos || line.find(u'\t', tab + 1) != line.npos) {
            continue;
        }
        entry(line.substr(tab + 1), line.substr(0, tab));
    }
}

}  // namespace

BaseDictionaryData::~BaseDictionaryData() = default;

bool BaseDictionaryData::load(const std::string& name) {
    m_name = name;
    m_modified = false;
    std::u16string text;
    if (readTextFile(path(), text, kDetectEncoding) < 0 || text.empty()) {
        return false;
    }
    clear();
    parseLines(text, [this](std::u16string_view key, std::u16string_view value) {
        set(std::u16string(key), std::u16string(value), -1);
    });
    m_modified = false;
    return true;
}

std::u16string BaseDictionaryData::keyAt(int) const {
    return {};
}

void BaseDictionaryData::appendLine(std::u16string& file, std::u16string_view key,
                                    std::u16string_view value) {
    file += value;
    file += u'\t';
    file += key;
    file += u"\r\n";
}

bool BaseDictionaryData::writeFile(std::u16string_view text) const {
    return writeTextFile(path(), text, kUtf16);
}

}  // namespace pw
