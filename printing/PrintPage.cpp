// The print page's template expansion and the preparation of its items.
#include "printing/PrintPage.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "content/SentenceListModel.h"
#include "core/Utf.h"
#include "xml/Element.h"
#include "xml/TextFile.h"

namespace pw {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kHtmlLineBreak = u"<br />\r\n";

// Every line break as CR LF, whichever way it was stored.
std::u16string withCrLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += kLineBreak;
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else {
            out += c;
        }
    }
    return out;
}

bool isBlank(char16_t c) {
    return c <= u' ';
}

std::u16string trimmed(const std::u16string& text) {
    size_t from = 0;
    size_t to = text.size();
    while (from < to && isBlank(text[from])) {
        ++from;
    }
    while (to > from && isBlank(text[to - 1])) {
        --to;
    }
    return text.substr(from, to - from);
}

// The block with the item's texts put in, in one pass from left to right:
// a sentence that itself reads "[translation]" is printed as it stands.
std::u16string fillBlock(std::u16string_view block, const PrintItem& item) {
    const std::pair<std::u16string_view, const std::u16string*> fields[] = {
        {PrintPage::kSentence, &item.sentence},
        {PrintPage::kTranslation, &item.translation},
        {PrintPage::kExplanation, &item.explanation}};
    std::u16string out;
    out.reserve(block.size());
    size_t at = 0;
    while (at < block.size()) {
        const size_t open = block.find(u'[', at);
        if (open == std::u16string_view::npos) {
            break;
        }
        out.append(block.substr(at, open - at));
        at = open;
        for (const auto& [placeholder, value] : fields) {
            if (block.substr(open).starts_with(placeholder)) {
                out.append(*value);
                at += placeholder.size();
                break;
            }
        }
        if (at == open) {
            out += u'[';
            ++at;
        }
    }
    out.append(block.substr(std::min(at, block.size())));
    return out;
}

}  // namespace

std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
    if (from.empty()) {
        return std::u16string(text);
    }
    std::u16string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t found = text.find(from); found != std::u16string_view::npos;
         found = text.find(from, start)) {
        out.append(text.substr(start, found - start));
        out.append(to);
        start = found + from.size();
    }
    out.append(text.substr(start));
    return out;
}

PrintItem preparePrintItem(std::u16string_view sentence, std::u16string_view translation,
                           std::u16string_view explanation) {
    PrintItem item;
    item.sentence = replaceAll(withCrLf(sentence), kLineBreak, u"");
    item.translation = replaceAll(withCrLf(translation), kLineBreak, kHtmlLineBreak);
    item.explanation = replaceAll(replaceAll(withCrLf(explanation), u"\r\n\r\n", kLineBreak),
                                  kLineBreak, kHtmlLineBreak);
    return item;
}

std::u16string listTitle(SentenceListModel& list) {
    if (Element* root = list.document().getRoot()) {
        if (const Element* title = root->findFirst(u"title")) {
            std::u16string text = trimmed(title->deepText());
            if (!text.empty()) {
                return text;
            }
        }
    }
    return fromUtf8(std::filesystem::path(list.path()).stem().string());
}

std::u16string readPrintTemplate(const std::string& path) {
    std::u16string text;
    if (readTextFile(path, text, kDetectEncoding) < 0) {
        text.clear();
    }
    return text;
}

void PrintPage::fill(SentenceListModel& list, const std::vector<int>& rows) {
    m_title = listTitle(list);
    m_items.clear();
    for (int row : rows) {
        if (list.isValidIndex(row)) {
            m_items.push_back(preparePrintItem(list.text(row, TextKind::Sentence),
                                               list.text(row, TextKind::Translation),
                                               list.text(row, TextKind::Explanation)));
        }
    }
}

std::optional<std::u16string> PrintPage::expand(std::u16string_view text) const {
    std::u16string page = replaceAll(text, kTitle, m_title);
    page = replaceAll(page, kProgramFolder, m_programFolder);
    const size_t start = page.find(kRepeatStart);
    if (start == std::u16string::npos) {
        return std::nullopt;
    }
    const size_t blockStart = start + kRepeatStart.size();
    const size_t blockEnd = page.find(kRepeatEnd, blockStart);
    if (blockEnd == std::u16string::npos) {
        return std::nullopt;
    }
    const std::u16string_view block =
        std::u16string_view(page).substr(blockStart, blockEnd - blockStart);
    std::u16string copies;
    for (size_t i = 0; i < m_items.size(); ++i) {
        copies += fillBlock(block, m_items[i]);
        if (i % kItemsPerPage == kItemsPerPage - 1) {
            copies += kPageBreak;
            copies += kLineBreak;
        }
    }
    // The whole block goes, so the copies stand alone between the markers.
    return page.substr(0, blockStart) + copies + page.substr(blockEnd);
}

}  // namespace pw
