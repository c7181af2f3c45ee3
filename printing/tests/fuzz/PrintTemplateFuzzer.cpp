// Fuzz target: the print page's expansion of arbitrary templates and items.
// The input is UTF-8: the first line is the template, the second the title,
// every further line an item "SENTENCE<TAB>TRANSLATION<TAB>EXPLANATION"
// (a "\n" in a text stands for a line break). The page must never be
// larger than its placeholders, each replaced as often as it fits, allow.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/Utf.h"
#include "printing/PrintPage.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::u16string field(const std::u16string& line, size_t index) {
    size_t start = 0;
    for (size_t i = 0; i < index; ++i) {
        start = line.find(u'\t', start);
        if (start == std::u16string::npos) {
            return {};
        }
        ++start;
    }
    const size_t end = std::min(line.find(u'\t', start), line.size());
    return pw::replaceAll(line.substr(start, end - start), u"\\n", u"\r\n");
}

// The longest text that replacing placeholder by value in a text of length
// units can give.
size_t grown(size_t length, std::u16string_view placeholder, size_t value) {
    return length + (length / placeholder.size()) * value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string input =
        pw::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::u16string> lines;
    for (size_t start = 0; start <= input.size();) {
        const size_t end = std::min(input.find(u'\n', start), input.size());
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    const std::u16string text = lines[0];
    pw::PrintPage page;
    page.setTitle(lines.size() > 1 ? lines[1] : u"");
    page.setProgramFolder(u"/opt/phrasewright/");
    // The title and the folder may widen the block before it repeats.
    const size_t widened = grown(grown(text.size(), pw::PrintPage::kTitle, page.title().size()),
                                 pw::PrintPage::kProgramFolder, page.programFolder().size());
    std::vector<pw::PrintItem> items;
    size_t longestCopy = 0;
    for (size_t i = 2; i < lines.size(); ++i) {
        items.push_back(
            pw::preparePrintItem(field(lines[i], 0), field(lines[i], 1), field(lines[i], 2)));
        const pw::PrintItem& item = items.back();
        size_t copy = widened;
        copy = grown(copy, pw::PrintPage::kSentence, item.sentence.size());
        copy = grown(copy, pw::PrintPage::kTranslation, item.translation.size());
        copy = grown(copy, pw::PrintPage::kExplanation, item.explanation.size());
        longestCopy = std::max(longestCopy, copy);
        // A prepared text holds no bare line break but CR LF.
        for (const std::u16string* t : {&item.sentence, &item.translation, &item.explanation}) {
            for (size_t at = t->find_first_of(u"\r\n"); at != std::u16string::npos;
                 at = t->find_first_of(u"\r\n", at + 2)) {
                check(t->compare(at, 2, u"\r\n") == 0);
            }
        }
        check(item.sentence.find(u'\n') == std::u16string::npos);
    }
    const size_t count = items.size();
    page.setItems(std::move(items));
    const std::optional<std::u16string> html = page.expand(text);
    if (!html) {
        return 0;
    }
    const size_t breaks = count / pw::PrintPage::kItemsPerPage;
    check(html->size() <=
          widened + count * longestCopy + breaks * (pw::PrintPage::kPageBreak.size() + 2));
    check(html->find(pw::PrintPage::kRepeatStart) != std::u16string::npos);
    return 0;
}
