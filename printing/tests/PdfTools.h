// What the PDF tools of poppler-utils read from a printed page: its number of
// pages and its text, as a reader of the file would get them.
#pragma once

#include <string>

namespace pw::test {

// Empty when pdfinfo and pdftotext can be run; otherwise how to get them.
std::string missingPdfTools();
// The page count pdfinfo gives; -1 when it cannot read the file.
int pdfPageCount(const std::string& pdf);
// The text pdftotext gives, laid out as on the page, pages separated by form
// feeds and ligatures spelt out; empty on failure.
std::string pdfText(const std::string& pdf);

}  // namespace pw::test
