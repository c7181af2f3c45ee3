// Reading tab- and comma-separated text.
#include "content/DelimitedText.h"

#include <algorithm>

#include "core/Utf.h"

namespace pw {
namespace {

bool isLineEnd(char16_t c) {
    return c == u'\n' || c == u'\r';
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u00A0' || c == u'\u3000';
}

// Skips one line end (CR LF, LF or CR) at pos; false when there is none.
bool skipLineEnd(std::u16string_view text, size_t& pos) {
    if (pos >= text.size() || !isLineEnd(text[pos])) {
        return false;
    }
    if (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') {
        ++pos;
    }
    ++pos;
    return true;
}

size_t lineEnd(std::u16string_view text, size_t pos) {
    while (pos < text.size() && !isLineEnd(text[pos])) {
        ++pos;
    }
    return pos;
}

// A positive decimal number, or 0.
int columnNumber(std::u16string_view text) {
    if (text.empty() || text.size() > 6) {
        return 0;
    }
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return 0;
        }
        value = value * 10 + (c - u'0');
    }
    return value;
}

char16_t namedSeparator(std::u16string_view value) {
    const std::u16string name = lowerCaseName(value);
    if (name == u"tab" || value == u"\t") {
        return u'\t';
    }
    if (name == u"comma") {
        return u',';
    }
    if (name == u"semicolon") {
        return u';';
    }
    if (name == u"space") {
        return u' ';
    }
    if (name == u"pipe") {
        return u'|';
    }
    if (name == u"colon") {
        return u':';
    }
    return value.size() == 1 && !isLineEnd(value[0]) && value[0] != u'"' ? value[0] : 0;
}

struct Headers {
    char16_t separator = 0;
    std::u16string columns;
};

// Reads one "#key:value" header line into table and headers; false when the
// line is no header the flash-card programs write (it is then data).
bool readHeader(std::u16string_view line, DelimitedTable& table, Headers& headers) {
    const size_t colon = line.find(u':');
    if (line.empty() || line[0] != u'#' || colon == std::u16string_view::npos) {
        return false;
    }
    const std::u16string key = lowerCaseName(trimmedField(line.substr(1, colon - 1)));
    // The value keeps its tabs: "#separator:<tab>" and the column names need them.
    std::u16string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == u' ') {
        value.remove_prefix(1);
    }
    if (key == u"separator") {
        headers.separator = namedSeparator(value == u"\t" ? value : trimmedField(value));
    } else if (key == u"html") {
        table.html = lowerCaseName(trimmedField(value)) != u"false";
    } else if (key == u"columns") {
        headers.columns = std::u16string(value);
    } else if (key == u"guid column" || key == u"notetype column" || key == u"deck column" ||
               key == u"tags column") {
        if (const int column = columnNumber(trimmedField(value)); column > 0) {
            table.bookkeepingColumns.push_back(column - 1);
        }
    } else if (key != u"tags" && key != u"deck" && key != u"notetype" && key != u"if matches") {
        return false;
    }
    return true;
}

// How many of c the line holds outside double quotes.
int countOutsideQuotes(std::u16string_view line, char16_t c) {
    int count = 0;
    bool quoted = false;
    for (char16_t ch : line) {
        if (ch == u'"') {
            quoted = !quoted;
        } else if (ch == c && !quoted) {
            ++count;
        }
    }
    return count;
}

char16_t chooseSeparator(char16_t hint, std::u16string_view firstLine) {
    if (hint == u'\t' || (hint == 0 && countOutsideQuotes(firstLine, u'\t') > 0)) {
        return u'\t';
    }
    if (hint != 0 && hint != u',') {
        return hint;
    }
    const int commas = countOutsideQuotes(firstLine, u',');
    const int semicolons = countOutsideQuotes(firstLine, u';');
    if (commas == 0 && semicolons == 0) {
        return hint == u',' ? u',' : u'\t';
    }
    return semicolons >= commas ? u';' : u',';
}

class Reader {
public:
    Reader(std::u16string_view text, size_t pos, int line, char16_t separator)
        : m_text(text), m_pos(pos), m_line(line), m_separator(separator) {}

    std::optional<DelimitedTextError> read(std::vector<DelimitedRow>& rows, int& columnCount) {
        while (m_pos < m_text.size()) {
            DelimitedRow row;
            row.line = m_line;
            for (;;) {
                std::u16string field;
                if (auto error = readField(field)) {
                    return error;
                }
                row.fields.push_back(std::move(field));
                if (m_pos < m_text.size() && m_text[m_pos] == m_separator) {
                    ++m_pos;
                    continue;
                }
                if (skipLineEnd(m_text, m_pos)) {
                    ++m_line;
                }
                break;
            }
            if (!std::all_of(row.fields.begin(), row.fields.end(),
                             [](const std::u16string& f) { return isBlankField(f); })) {
                columnCount = std::max(columnCount, static_cast<int>(row.fields.size()));
                rows.push_back(std::move(row));
            }
        }
        return std::nullopt;
    }

private:
    bool endsField(size_t pos) const {
        return pos >= m_text.size() || m_text[pos] == m_separator || isLineEnd(m_text[pos]);
    }

    void readLiteral(std::u16string& field) {
        const size_t start = m_pos;
        while (!endsField(m_pos)) {
            ++m_pos;
        }
        field.assign(m_text.substr(start, m_pos - start));
    }

    std::optional<DelimitedTextError> readField(std::u16string& field) {
        if (m_pos >= m_text.size() || m_text[m_pos] != u'"') {
            readLiteral(field);
            return std::nullopt;
        }
        int breaks = 0;
        for (size_t pos = m_pos + 1; pos < m_text.size(); ++pos) {
            const char16_t c = m_text[pos];
            if (c == u'"') {
                if (pos + 1 < m_text.size() && m_text[pos + 1] == u'"') {
                    field.push_back(u'"');
                    ++pos;
                    continue;
                }
                if (endsField(pos + 1)) {
                    m_pos = pos + 1;
                    m_line += breaks;
                    return std::nullopt;
                }
                // Text after the closing quote: the field was never quoted.
                field.clear();
                readLiteral(field);
                return std::nullopt;
            }
            if (c == u'\n' ||
                (c == u'\r' && (pos + 1 >= m_text.size() || m_text[pos + 1] != u'\n'))) {
                ++breaks;
            }
            field.push_back(c);
        }
        return DelimitedTextError{
            m_line,
            u"a quoted field is never closed: its opening quote here would take in "
            u"the rest of the file"};
    }

    std::u16string_view m_text;
    size_t m_pos;
    int m_line;
    char16_t m_separator;
};

std::vector<std::u16string> splitNames(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string> names;
    size_t start = 0;
    for (;;) {
        const size_t next = text.find(separator, start);
        names.emplace_back(trimmedField(text.substr(start, next - start)));
        if (next == std::u16string_view::npos) {
            return names;
        }
        start = next + 1;
    }
}

}  // namespace

bool isBlankField(std::u16string_view field) {
    return std::all_of(field.begin(), field.end(), [](char16_t c) { return isBlank(c); });
}

std::u16string_view trimmedField(std::u16string_view field) {
    while (!field.empty() && isBlank(field.front())) {
        field.remove_prefix(1);
    }
    while (!field.empty() && isBlank(field.back())) {
        field.remove_suffix(1);
    }
    return field;
}

std::u16string lowerCaseName(std::u16string_view name) {
    std::u16string out(name);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return out;
}

char16_t separatorForFileName(std::string_view path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return 0;
    }
    const std::string extension = asciiLower(path.substr(dot));
    if (extension == ".tsv" || extension == ".tab") {
        return u'\t';
    }
    return extension == ".csv" ? u',' : 0;
}

std::optional<DelimitedTextError> readDelimitedText(std::u16string_view text,
                                                    char16_t separatorHint, DelimitedTable& table) {
    table = DelimitedTable();
    Headers headers;
    size_t pos = 0;
    int line = 1;
    while (pos < text.size() && text[pos] == u'#') {
        const size_t end = lineEnd(text, pos);
        if (!readHeader(text.substr(pos, end - pos), table, headers)) {
            break;
        }
        pos = end;
        skipLineEnd(text, pos);
        ++line;
    }
    table.separator =
        headers.separator
            ? headers.separator
            : chooseSeparator(separatorHint, text.substr(pos, lineEnd(text, pos) - pos));
    if (!headers.columns.empty()) {
        table.columnNames = splitNames(headers.columns, table.separator);
    }
    Reader reader(text, pos, line, table.separator);
    if (auto error = reader.read(table.rows, table.columnCount)) {
        const bool html = table.html;
        table = DelimitedTable();
        table.html = html;
        return error;
    }
    table.columnCount = std::max(table.columnCount, static_cast<int>(table.columnNames.size()));
    return std::nullopt;
}

}  // namespace pw
