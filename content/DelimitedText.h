// Tables of text fields as spreadsheets, sentence corpora and flash-card
// programs write them: tab- or comma-separated values with RFC 4180 quoting,
// and the header lines of the flash-card programs' plain-text export:
//
//   #separator:tab
//   #html:true
//   #columns:Front	Back	Tags
//   #tags column:3
//   "He said ""hi"".	(with a tab)"	Er sagte „hallo“.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

struct DelimitedRow {
    int line = 0;  // where the row starts, from 1
    std::vector<std::u16string> fields;
};

struct DelimitedTable {
    char16_t separator = u'\t';
    // False when a "#html:false" header says the fields are plain text.
    bool html = true;
    // Names from a "#columns:" header line; empty when there was none.
    std::vector<std::u16string> columnNames;
    // Columns that hold no text of a note (the guid, note type, deck and tags
    // columns a header names), from 0.
    std::vector<int> bookkeepingColumns;
    // Rows with at least one field that is not blank; blank lines are no rows.
    std::vector<DelimitedRow> rows;
    // The number of fields of the widest row.
    int columnCount = 0;
};

// A file whose structure breaks: a quoted field that is never closed.
struct DelimitedTextError {
    int line = 0;
    std::u16string message;
};

// Whether a field holds nothing but spaces, tabs, line breaks and no-break
// or ideographic spaces.
bool isBlankField(std::u16string_view field);
// The field without such blanks at either end.
std::u16string_view trimmedField(std::u16string_view field);
// A column name with its ASCII letters in lower case, for comparing names.
std::u16string lowerCaseName(std::u16string_view name);

// The separator a file's name suggests, as readDelimitedText takes it: a tab
// for ".tsv" and ".tab", a comma for ".csv", else 0.
char16_t separatorForFileName(std::string_view path);

// Reads text into table. Header lines starting with "#" at the top are read
// as the flash-card programs write them and are no rows. The separator comes
// from a "#separator:" header, else from separatorHint and the first line: a
// tab hint is taken as it is; a comma hint means a comma or a semicolon,
// whichever the first line holds more of (a semicolon on a tie); 0 means a
// tab when the first line holds one, else as for a comma. A field that starts with a double quote
// is quoted: it ends at the next quote that is followed by the separator or a line end, may hold
// separators and line breaks, and "" stands for one quote. A quote followed by
// anything else shows that the field was not quoted after all: it is then
// read as written up to the next separator on its line, quotes included, so
// a sentence that merely begins with a quotation keeps it. A quoted field that
// is never closed is the error returned; table then holds nothing.
std::optional<DelimitedTextError> readDelimitedText(std::u16string_view text,
                                                    char16_t separatorHint, DelimitedTable& table);

}  // namespace pw
