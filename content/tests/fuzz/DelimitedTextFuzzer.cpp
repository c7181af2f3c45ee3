// Fuzz target: tab- and comma-separated text from arbitrary bytes, decoded as
// the importer decodes files, with each kind of separator hint.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/DelimitedText.h"
#include "xml/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    constexpr char16_t kHints[] = {0, u'\t', u',', u'|'};
    const char16_t hint = kHints[data[0] % 4];
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::u16string text;
    pw::decodeTextBytes(bytes, text);

    pw::DelimitedTable table;
    if (const auto error = pw::readDelimitedText(text, hint, table)) {
        if (error->line < 1 || error->message.empty() || !table.rows.empty()) {
            std::abort();
        }
        return 0;
    }
    int line = 0;
    for (const pw::DelimitedRow& row : table.rows) {
        // Rows come in file order, each on a line of its own, none without fields.
        if (row.line <= line || row.fields.empty() ||
            static_cast<int>(row.fields.size()) > table.columnCount) {
            std::abort();
        }
        line = row.line;
    }
    return 0;
}
