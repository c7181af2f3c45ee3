// Tool bars.
#include "gui/ToolBar.h"

#include <wx/toolbar.h>

#include "gui/ImageStrip.h"
#include "gui/WxText.h"

namespace pw {

wxWindow* ToolBar::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    return new wxToolBar(parent, wxID_ANY, pos, size, wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER);
}

void ToolBar::bindControlEvents() {
    listen(wxEVT_TOOL);
}

bool ToolBar::translate(wxEvent& event) {
    if (event.GetEventType() != wxEVT_TOOL || !isOwnEvent(event)) {
        return false;
    }
    routeCommand(Command{event.GetId(), codes::kClicked, handle()});
    return true;
}

wxToolBar* ToolBar::bar() const {
    return dynamic_cast<wxToolBar*>(handle());
}

bool ToolBar::loadImages(const std::string& path, int imageWidth, const wxColour& transparent) {
    m_images = loadImageStrip(path, imageWidth, transparent);
    if (auto* b = bar(); b && !m_images.empty()) {
        b->SetToolBitmapSize(m_images.front().GetSize());
    }
    return !m_images.empty();
}

bool ToolBar::addButton(int id, int image, const std::u16string& toolTip, Kind kind) {
    auto* b = bar();
    if (!b) {
        return false;
    }
    wxBitmap bitmap = image >= 0 && image < static_cast<int>(m_images.size())
                          ? m_images[static_cast<size_t>(image)]
                          : wxBitmap(16, 16);
    b->AddTool(id, toWx(toolTip), bitmap, toWx(toolTip),
               kind == Kind::Check ? wxITEM_CHECK : wxITEM_NORMAL);
    b->Realize();
    return true;
}

bool ToolBar::isChecked(int id) const {
    auto* b = bar();
    return b && b->GetToolState(id);
}

void ToolBar::setChecked(int id, bool checked) {
    if (auto* b = bar()) {
        b->ToggleTool(id, checked);
    }
}

int ToolBar::buttonCount() const {
    auto* b = bar();
    return b ? static_cast<int>(b->GetToolsCount()) : 0;
}

wxSize ToolBar::bestSize() const {
    auto* b = bar();
    return b ? b->GetBestSize() : wxSize();
}

}  // namespace pw
