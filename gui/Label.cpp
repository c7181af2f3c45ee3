// Labels.
#include "gui/Label.h"

#include <wx/stattext.h>

namespace pw {

wxWindow* Label::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return nullptr;
    }
    // No automatic resizing: the owner places it.
    return new wxStaticText(parent, wxID_ANY, wxEmptyString, pos, size, wxST_NO_AUTORESIZE);
}

}  // namespace pw
