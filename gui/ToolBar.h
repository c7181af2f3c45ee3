// A tool bar (wxToolBar) of image buttons. Each button sends the command
// (Command::id = the button's id, code codes::kClicked) to the parent, or to
// the target set with setCommandTarget.
#pragma once

#include <string>
#include <vector>

#include <wx/bitmap.h>

#include "gui/BaseWindow.h"

class wxToolBar;

namespace pw {

class ToolBar : public BaseWindow {
public:
    enum class Kind { Push, Check };

    // The button images, from a strip (see ImageStrip.h); before addButton.
    bool loadImages(const std::string& path, int imageWidth, const wxColour& transparent);
    void setImages(std::vector<wxBitmap> images) { m_images = std::move(images); }

    // image indexes the images; a missing image leaves an empty button.
    bool addButton(int id, int image, const std::u16string& toolTip, Kind kind = Kind::Push);
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);  // sends nothing
    int buttonCount() const;
    // The size that shows every button.
    wxSize bestSize() const;

protected:
    wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) override;
    void bindControlEvents() override;
    bool translate(wxEvent& event) override;

private:
    wxToolBar* bar() const;
    std::vector<wxBitmap> m_images;
};

}  // namespace pw
