// The lifetime totals and "Log.xml".
#include "practice/HistoryManager.h"

#include <cstdio>
#include <filesystem>

#include "core/SafeFile.h"
#include "core/UiServices.h"
#include "core/Utf.h"

namespace pw {
namespace {

constexpr char16_t kRoot[] = u"Log";
constexpr char16_t kRecord[] = u"Record";

struct Field {
    const char16_t* name;
    uint32_t PracticeTotals::*member;
};
constexpr Field kFields[] = {
    {u"totalTime", &PracticeTotals::totalTime},
    {u"typingCount", &PracticeTotals::typingCount},
    {u"missTypingCount", &PracticeTotals::missTypingCount},
    {u"typingWordCount", &PracticeTotals::typingWordCount},
    {u"typingSentenceCount", &PracticeTotals::typingSentenceCount},
};

// A counter as written: leading blanks and digits, at most UINT32_MAX; 0 for
// anything else, a negative number included.
uint32_t parseCounter(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    if (i < text.size() && text[i] == u'+') {
        ++i;
    }
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > UINT32_MAX) {
            return UINT32_MAX;
        }
    }
    return static_cast<uint32_t>(value);
}

Element* recordOf(XMLParser& document) {
    Element* root = document.getRoot();
    if (!root) {
        return nullptr;
    }
    for (Element* child = root->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getName() == kRecord) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

HistoryManager::HistoryManager(std::string path) : m_path(std::move(path)) {}

void HistoryManager::load() {
    m_totals = {};
    m_keepUnreadable = false;
    m_document.setShowsErrors(false);  // one box below says it all
    if (!m_document.load(m_path)) {
        m_document.clear();
        std::error_code ec;
        const bool exists = std::filesystem::exists(m_path, ec);
        if (exists && !(std::filesystem::is_regular_file(m_path, ec) &&
                        std::filesystem::file_size(m_path, ec) == 0)) {
            m_keepUnreadable = true;
            std::u16string text = u"The practice log \"" + fromUtf8(m_path) +
                                  u"\" could not be read, so the totals start at 0.\n"
                                  u"The file is kept as \"" +
                                  fromUtf8(backupPath()) + u"\" when the results are next saved.";
            if (const auto& parseError = m_document.lastError()) {
                text += u"\n\n" + parseError->boxText;
            }
            messageBox(text, MbOk | MbIconWarning);
        }
    }
    m_document.setPath(m_path);
    if (!m_document.getRoot()) {
        m_document.setRoot(std::make_unique<Element>(kRoot));
    }
    Element* record = recordOf(m_document);
    if (!record) {
        record = m_document.getRoot()->appendElement(kRecord);
    }
    for (const Field& field : kFields) {
        m_totals.*field.member = parseCounter(record->getAttribute(field.name));
    }
}

bool HistoryManager::save(std::string* error) {
    std::error_code ec;
    if (m_keepUnreadable && std::filesystem::exists(m_path, ec)) {
        std::string why;
        if (!copyFileContents(m_path, backupPath(), &why)) {
            if (error) {
                *error = "The unreadable practice log could not be kept as " + backupPath() + " (" +
                         why + "), so " + m_path + " was left as it was.";
            }
            return false;
        }
    }
    m_keepUnreadable = false;
    if (Element* record = recordOf(m_document)) {
        for (const Field& field : kFields) {
            record->setAttribute(field.name, fromUtf8(std::to_string(m_totals.*field.member)));
        }
    }
    return m_document.saveAs(m_path, error);
}

std::vector<std::pair<std::u16string, std::u16string>> HistoryManager::summaryLines() const {
    char text[64];
    const uint32_t seconds = m_totals.totalTime / 1000;
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    std::vector<std::pair<std::u16string, std::u16string>> lines;
    lines.emplace_back(u"Time:", fromUtf8(text));
    const std::pair<const char16_t*, uint32_t> counters[] = {
        {u"Typing:", m_totals.typingCount},
        {u"Miss:", m_totals.missTypingCount},
        {u"Word:", m_totals.typingWordCount},
        {u"Sentence:", m_totals.typingSentenceCount},
    };
    for (const auto& [label, value] : counters) {
        std::snprintf(text, sizeof text, "%-8u", value);
        lines.emplace_back(label, fromUtf8(text));
    }
    return lines;
}

}  // namespace pw
