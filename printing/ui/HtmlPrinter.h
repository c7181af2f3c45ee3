// "PrintManager": the selected sentences laid out through the print template.
// The template's text stands in an editor at the top and the page made from
// it below; every edit rebuilds the page at once. The page is printed by the
// web engine: the Print button (or the page's context menu) opens the
// system's print dialog, PDF writes a PDF file. Edits of the template are not
// saved; the template file stays as it is.
//
//   HtmlPrinter printer;
//   printer.page().fill(list, selectedRows);
//   printer.showModal(mainWindow());
#pragma once

#include <memory>
#include <string>

#include "browser/WebBrowser.h"
#include "core/AppFiles.h"
#include "editor/TextEditor.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/Label.h"
#include "gui/TextArea.h"
#include "printing/PrintPage.h"

namespace pw {

// Writes a page made from the template into browser's document: its head
// and body take the page's (the scroll position stays), or, in a document
// without a body, the page is written whole. Linked style sheets are then
// loaded again. done(false) when the script failed.
void writePrintPage(WebBrowser& browser, const std::u16string& html,
                    WebBrowser::DoneCallback done = {});

class HtmlPrinter : public Dialog, private WebBrowserListener {
public:
    static constexpr const char16_t* kCaption = u"PrintManager";
    enum Id : int { kPrintButton = 101, kPdfButton };
    // The page's context menu.
    enum MenuId : int { kPrintItem = 1, kPdfItem };

    HtmlPrinter();
    ~HtmlPrinter() override;

    // Title and items to print; fill them before the dialog opens. The
    // program folder is the executable's unless set.
    PrintPage& page() { return m_page; }
    // The template, read when the dialog opens ("Resources/print.html").
    void setTemplatePath(std::string path) { m_templatePath = std::move(path); }
    const std::string& templatePath() const { return m_templatePath; }

    TextEditor& templateEditor() { return m_editor; }
    // Null when the web engine could not make a page (errorText() says why).
    WebBrowser* browser() { return m_browser.get(); }
    std::u16string errorText() const { return m_error.getText(); }
    Button& printButton() { return m_print; }
    Button& pdfButton() { return m_pdf; }
    // True once the page of the last rebuild is in the document.
    bool isPageWritten() const { return m_writes == 0; }

    // Expands the editor's text and writes the page into the browser; a
    // template without its repeated block leaves the page as it was.
    void rebuild();
    // The system's print dialog; false when there is no page.
    bool print();
    // Asks for a file and prints the page into it as PDF.
    void saveAsPdf();
    // Prints the page into path as PDF; done(ok, why) when the engine has
    // finished. False at once when the engine cannot print to files.
    bool printToPdf(const std::string& path, WebBrowser::TextCallback done);

    bool onInit() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

private:
    void pageContextMenu(WebBrowser& browser, int x, int y) override;

    PrintPage m_page;
    std::string m_templatePath = shippedFile(kPrintTemplatePath);
    Label m_label;
    TextEditor m_editor;
    Button m_print;
    Button m_pdf;
    std::unique_ptr<WebBrowser> m_browser;
    TextArea m_error;  // in the page's place when there is no engine
    int m_writes = 0;  // pages sent to the document and not yet written
};

}  // namespace pw
