// The start screen.
#include "app/StartScreenPane.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include <wx/settings.h>
#include <wx/window.h>

#include "app/LearningLibrary.h"
#include "app/core/Utf.h"
#include "xml/XMLParser.h"

namespace pw {

bool StartScreenPane::onCreate() {
    setBackColor(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    setTextColor(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    return false;
}

bool StartScreenPane::openFile(const std::u16string& path) {
    resetToNoFile();
    const std::string file = toUtf8(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return false;
    }
    const std::string extension = asciiLower(toUtf8(fileExtension(path)));
    bool readable = false;
    if (extension == ".xml") {
        XMLParser document;
        readable = document.load(file) && document.getRoot();
    } else if (extension == ".mp3") {
        readable = std::ifstream(file, std::ios::binary).good();
    }
    if (readable) {
        m_openFileName = std::u16string(fileNamePart(path));
        invalidate();
    }
    return readable;
}

void StartScreenPane::resetToNoFile() {
    if (!m_openFileName.empty()) {
        m_openFileName.clear();
        invalidate();
    }
}

void StartScreenPane::onPaint(Graphics& graphics) {
    const int width = clientWidth();
    const int height = clientHeight();
    const wxFont base = handle()->GetFont();

    wxFont title = base;
    title.SetPointSize(base.GetPointSize() * 2 + 4);
    title.SetWeight(wxFONTWEIGHT_BOLD);
    graphics.setFont(title);
    const std::u16string name = u"Phrasewright";
    const wxSize nameSize = graphics.textExtent(name);
    const int top = height / 2 - nameSize.y;
    graphics.drawText(name, (width - nameSize.x) / 2, top);

    graphics.setFont(base);
    graphics.setTextColor(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    std::vector<std::u16string> lines;
    if (m_openFileName.empty()) {
        lines = {
            u"Open a learning file from the Data tab to start practising.",
            u"Double-click a file there, or use its context menu to add your own.",
        };
    } else {
        lines = {m_openFileName};
    }
    int y = top + nameSize.y + nameSize.y / 2;
    for (const auto& line : lines) {
        const wxSize size = graphics.textExtent(line);
        graphics.drawText(line, (width - size.x) / 2, y);
        y += size.y + 4;
    }
}

}  // namespace pw
