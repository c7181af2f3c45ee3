// The print dialog.
#include "printing/ui/HtmlPrinter.h"

#include <algorithm>
#include <filesystem>

#include <wx/window.h>

#include "core/AppPaths.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "gui/Menu.h"

namespace pw {
namespace {

constexpr int kLabelX = 4;
constexpr int kLabelWidth = 50;
constexpr int kRowHeight = 20;
constexpr int kButtonHeight = 24;
constexpr int kEditorHeight = 180;
constexpr int kEditorX = kLabelX + kLabelWidth + 8;

// The page's head and body replace the document's, so that the styles and
// the title follow the template as well as the sentences do.
constexpr std::u16string_view kWriteScript =
    u"(function (html) {"
    u"  var d = document;"
    u"  if (d.body) {"
    u"    var page = new DOMParser().parseFromString(html, 'text/html');"
    u"    if (d.head && page.head) d.head.innerHTML = page.head.innerHTML;"
    u"    var body = d.body, from = page.body;"
    u"    while (body.attributes.length) body.removeAttribute(body.attributes[0].name);"
    u"    for (var i = 0; i < from.attributes.length; ++i)"
    u"      body.setAttribute(from.attributes[i].name, from.attributes[i].value);"
    u"    body.innerHTML = from.innerHTML;"
    u"  } else {"
    u"    d.open(); d.write(html); d.close();"
    u"  }"
    u"  for (var j = 0; j < d.styleSheets.length; ++j) {"
    u"    var sheet = d.styleSheets[j];"
    u"    if (sheet.href && sheet.ownerNode && 'href' in sheet.ownerNode)"
    u"      sheet.ownerNode.href = sheet.href;"
    u"  }"
    u"  return 'written';"
    u"})";

std::u16string programFolder() {
    std::string folder = moduleDirectory();
    if (folder.empty()) {
        std::error_code ec;
        folder = std::filesystem::current_path(ec).string() + "/";
    }
    return fromUtf8(folder);
}

}  // namespace

void writePrintPage(WebBrowser& browser, const std::u16string& html,
                    WebBrowser::DoneCallback done) {
    browser.runScript(std::u16string(kWriteScript) + u"(" + WebBrowser::scriptString(html) + u")",
                      [done](bool ok, const std::u16string& answer) {
                          if (done) {
                              done(ok && answer == u"written");
                          }
                      });
}

HtmlPrinter::HtmlPrinter() = default;

HtmlPrinter::~HtmlPrinter() = default;

bool HtmlPrinter::onInit() {
    setTitle(kCaption);
    wxWindow* parent = handle();
    if (m_page.programFolder().empty()) {
        m_page.setProgramFolder(programFolder());
    }
    m_label.setText(u"Header");
    m_label.create(parent, kLabelX, 4, kLabelWidth, kRowHeight);
    m_label.setBackColor(parent->GetBackgroundColour());
    m_editor.create(parent, kEditorX, 0, 100, kEditorHeight);
    m_print.setId(kPrintButton);
    m_print.setText(u"Print");
    m_print.create(parent, kLabelX, 32, kLabelWidth, kButtonHeight);
    m_print.setToolTip(u"Print the page: printer, paper and pages are chosen in the print dialog");
    m_pdf.setId(kPdfButton);
    m_pdf.setText(u"PDF");
    m_pdf.create(parent, kLabelX, 32 + kButtonHeight + 4, kLabelWidth, kButtonHeight);
    m_pdf.setToolTip(u"Save the page as a PDF file");

    // The page shows the template file first, so that what it links (style
    // sheets, pictures) is found beside it.
    m_browser = std::make_unique<WebBrowser>();
    m_browser->setListener(this);
    if (m_browser->create(parent, 0, kEditorHeight, 100, 100)) {
        m_browser->navigate(m_templatePath);
    } else {
        m_error.setReadOnly(true);
        m_error.create(parent, 0, kEditorHeight, 100, 100);
        m_error.setText(u"The page cannot be shown or printed. " + m_browser->lastError());
        m_browser.reset();
        m_print.setEnabled(false);
        m_pdf.setEnabled(false);
    }
    m_editor.setText(readPrintTemplate(m_templatePath));
    rebuild();
    setSizeCentred(640, 480);
    return true;
}

void HtmlPrinter::onSize(int width, int height) {
    m_label.setBounds(kLabelX, 4, kLabelWidth, kRowHeight);
    m_editor.setBounds(kEditorX, 0, std::max(width - kLabelWidth - 16, 10), kEditorHeight);
    m_print.setBounds(kLabelX, 32, kLabelWidth, kButtonHeight);
    m_pdf.setBounds(kLabelX, 32 + kButtonHeight + 4, kLabelWidth, kButtonHeight);
    const int pageHeight = std::max(height - kEditorHeight, 0);
    if (m_browser) {
        m_browser->setBounds(0, kEditorHeight, width, pageHeight);
    } else {
        m_error.setBounds(0, kEditorHeight, width, pageHeight);
    }
}

bool HtmlPrinter::onCommand(const Command& command) {
    if (command.sender == m_editor.handle() && command.code == codes::kTextChanged) {
        rebuild();
        return true;
    }
    if (command.code == codes::kClicked && command.id == kPrintButton) {
        print();
        return true;
    }
    if (command.code == codes::kClicked && command.id == kPdfButton) {
        saveAsPdf();
        return true;
    }
    return Dialog::onCommand(command);
}

void HtmlPrinter::rebuild() {
    if (!m_browser) {
        return;
    }
    const std::optional<std::u16string> html = m_page.expand(m_editor.getText());
    if (!html) {
        return;
    }
    ++m_writes;
    writePrintPage(*m_browser, *html, [this](bool) { --m_writes; });
}

bool HtmlPrinter::print() {
    return m_browser && m_browser->print();
}

void HtmlPrinter::saveAsPdf() {
    if (!m_browser) {
        return;
    }
    FileChooserRequest request;
    request.title = u"Save the page as PDF";
    request.filterLabel = u"PDF file (*.pdf)";
    request.patterns = u"*.pdf";
    request.defaultName = (m_page.title().empty() ? u"Sentences" : m_page.title()) + u".pdf";
    request.save = true;
    request.mustExist = false;
    const std::optional<std::u16string> chosen = ui().chooseFile(request);
    if (!chosen || chosen->empty()) {
        return;
    }
    std::string path = toUtf8(*chosen);
    if (std::filesystem::path(path).extension().empty()) {
        path += ".pdf";
    }
    const bool started = printToPdf(path, [path](bool ok, const std::u16string& why) {
        if (!ok) {
            messageBox(u"The page could not be printed to " + fromUtf8(path) +
                           (why.empty() ? u"." : u":\n" + why),
                       MbOk | MbIconError);
        }
    });
    if (!started) {
        messageBox(
            u"The web engine here cannot print into files; use Print and choose a file "
            u"there.",
            MbOk | MbIconError);
    }
}

bool HtmlPrinter::printToPdf(const std::string& path, WebBrowser::TextCallback done) {
    return m_browser && m_browser->printToFile(path, std::move(done));
}

void HtmlPrinter::pageContextMenu(WebBrowser& browser, int x, int y) {
    PopupMenu menu;
    menu.append(kPrintItem, u"Print...");
    menu.append(kPdfItem, u"Save as PDF...");
    const int chosen = menu.track(browser, x, y);
    if (chosen != kPrintItem && chosen != kPdfItem) {
        return;
    }
    // The dialogs wait for the learner: not inside the engine's report.
    handle()->CallAfter([this, chosen] {
        if (chosen == kPrintItem) {
            print();
        } else {
            saveAsPdf();
        }
    });
}

}  // namespace pw
