// The rows of an audio conversion and their output names.
#include "export/ConversionRow.h"

#include <cstdio>

#include "content/SentenceListModel.h"
#include "core/Utf.h"
#include "xml/HtmlText.h"

namespace pw {
namespace {

constexpr size_t kMaxWordNameLength = 30;

std::u16string fileStem(const std::string& path) {
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return fromUtf8(name);
}

}  // namespace

std::u16string outputFileName(size_t number, size_t count, std::u16string_view text) {
    int digits = 5;
    if (count < 10) {
        digits = 1;
    } else if (count < 100) {
        digits = 2;
    } else if (count < 1000) {
        digits = 3;
    } else if (count < 10000) {
        digits = 4;
    }
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%0*zu ", digits, number);
    std::u16string name = fromUtf8(prefix);
    for (char16_t c : text) {
        switch (c) {
            case u'"':
            case u'*':
            case u'/':
            case u':':
            case u'<':
            case u'>':
            case u'?':
            case u'\\':
            case u'|': {
                char escape[8];
                std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned>(c));
                name += fromUtf8(escape);
                break;
            }
            default:
                name.push_back(c < 0x20 ? u' ' : c);
        }
    }
    return name;
}

std::vector<ConversionRow> makeConversionRows(SentenceListModel& list,
                                              const std::vector<int>& records, bool wordMode) {
    std::vector<ConversionRow> rows;
    const std::u16string stem = fileStem(list.path());
    for (int record : records) {
        if (!list.isValidIndex(record)) {
            continue;
        }
        ConversionRow row;
        row.record = record;
        row.sentence = htmlToText(list.text(record, TextKind::Sentence));
        row.translation = htmlToText(list.text(record, TextKind::Translation));
        int start = 0;
        int end = -1;
        if (list.audioSource(record, row.audioPath, start, end)) {
            row.audioStart = start;
            row.audioEnd = end;
        } else {
            row.audioPath.clear();
        }
        rows.push_back(std::move(row));
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::u16string& word = rows[i].sentence;
        const bool byWord = wordMode && word.size() < kMaxWordNameLength;
        rows[i].outputName = outputFileName(i + 1, rows.size(), byWord ? word : stem);
    }
    return rows;
}

}  // namespace pw
