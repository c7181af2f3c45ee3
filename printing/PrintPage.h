// The print page: selected sentences laid out through an HTML template. The
// template names the list's title and the program folder by placeholders and
// marks one block that is repeated for every sentence; a page break follows
// every 24th copy. Nothing here needs a display: HtmlPrinter shows the page
// and the browser prints it.
//
//   PrintPage page;
//   page.fill(list, {0, 1, 2});                 // title and prepared items
//   page.setProgramFolder(moduleDirectory());
//   if (auto html = page.expand(readPrintTemplate())) show(*html);
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

class SentenceListModel;

// The template shipped with the program, relative to the program folder.
inline constexpr const char* kPrintTemplatePath = "Resources/print.html";

// One sentence as the page shows it: HTML fragments, inserted unescaped.
struct PrintItem {
    std::u16string sentence;
    std::u16string translation;
    std::u16string explanation;

    bool operator==(const PrintItem&) const = default;
};

// Every from in text replaced by to, left to right; the search goes on
// behind the inserted text, so to is never scanned again.
std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

// A row's texts made ready for the page. Line breaks are CR LF, LF or CR
// (the markup editor stores LF). The sentence loses its line breaks and
// prints on one line; the translation keeps each as "<br />"; the
// explanation's empty lines go first, so its paragraphs print without gaps.
PrintItem preparePrintItem(std::u16string_view sentence, std::u16string_view translation,
                           std::u16string_view explanation);

// The title of the open list: all the text of its first "title" element, or,
// when that is empty, the file's name without folder and extension.
std::u16string listTitle(SentenceListModel& list);

// The template's text (its encoding detected); empty when it cannot be read.
std::u16string readPrintTemplate(const std::string& path = kPrintTemplatePath);

class PrintPage {
public:
    static constexpr int kItemsPerPage = 24;
    static constexpr std::u16string_view kTitle = u"[title]";
    static constexpr std::u16string_view kProgramFolder = u"[app_path]";
    static constexpr std::u16string_view kRepeatStart = u"<!--repeat-->";
    static constexpr std::u16string_view kRepeatEnd = u"<!--/repeat-->";
    static constexpr std::u16string_view kSentence = u"[sentence]";
    static constexpr std::u16string_view kTranslation = u"[translation]";
    static constexpr std::u16string_view kExplanation = u"[explanation]";
    static constexpr std::u16string_view kPageBreak = u"<br style='page-break-after: always;'>";

    const std::u16string& title() const { return m_title; }
    void setTitle(std::u16string title) { m_title = std::move(title); }
    // Inserted for "[app_path]": the folder with its trailing separator.
    const std::u16string& programFolder() const { return m_programFolder; }
    void setProgramFolder(std::u16string folder) { m_programFolder = std::move(folder); }
    const std::vector<PrintItem>& items() const { return m_items; }
    void setItems(std::vector<PrintItem> items) { m_items = std::move(items); }

    // The title of list and one prepared item for each of rows, in their
    // order; rows that are no record are left out.
    void fill(SentenceListModel& list, const std::vector<int>& rows);

    // The page made from text: the title and the program folder put in
    // everywhere (in that order, so a title naming "[app_path]" shows the
    // folder), then the block between the first "<!--repeat-->" and the
    // first "<!--/repeat-->" behind it replaced by one copy per item, with a
    // page break after every 24th. An item's texts are put in as they are,
    // never scanned for placeholders again. The markers stay, as comments. Nothing
    // when the template has no such block: the page then stays as it was.
    std::optional<std::u16string> expand(std::u16string_view text) const;

private:
    std::u16string m_title;
    std::u16string m_programFolder;
    std::vector<PrintItem> m_items;
};

}  // namespace pw
