// Dialogs.
#include "gui/Dialog.h"

#include <exception>

#include <wx/dialog.h>
#include <wx/display.h>

#include "core/UiServices.h"
#include "core/Utf.h"
#include "gui/WxText.h"

namespace pw {

class Dialog::Router : public wxEvtHandler {
public:
    explicit Router(Dialog* owner) : m_owner(owner) {}

    void onEvent(wxEvent& event) {
        if (!m_owner) {
            event.Skip();
            return;
        }
        try {
            m_owner->dispatch(event);
        } catch (const std::exception& e) {
            messageBox(fromUtf8(e.what()), MbOk | MbIconError);
        }
    }

    Dialog* m_owner;
};

Dialog::Dialog() = default;

Dialog::~Dialog() {
    if (m_router) {
        m_router->m_owner = nullptr;
    }
    if (m_dialog) {
        wxDialog* dialog = m_dialog;
        forgetDialog();
        dialog->Destroy();
    }
}

bool Dialog::createDialog(wxWindow* owner) {
    if (m_dialog) {
        return false;
    }
    m_dialog = new wxDialog(owner, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    registerWindow(m_dialog);
    m_router = std::make_unique<Router>(this);
    for (wxEventType type :
         std::initializer_list<wxEventType>{wxEVT_SIZE, wxEVT_CLOSE_WINDOW, wxEVT_DESTROY}) {
        m_dialog->Bind(wxEventTypeTag<wxEvent>(type), &Router::onEvent, m_router.get());
    }
    bool ok = false;
    try {
        ok = onInit();
    } catch (const std::exception& e) {
        messageBox(fromUtf8(e.what()), MbOk | MbIconError);
    }
    if (!ok) {
        wxDialog* dialog = m_dialog;
        forgetDialog();
        delete dialog;
        return false;
    }
    return true;
}

void Dialog::forgetDialog() {
    if (m_dialog) {
        unregisterWindow(m_dialog);
    }
    m_dialog = nullptr;
    m_modal = false;
}

void Dialog::dispatch(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_DESTROY) {
        event.Skip();
        if (event.GetEventObject() == m_dialog) {
            forgetDialog();
        }
    } else if (type == wxEVT_SIZE) {
        event.Skip();
        onSize(clientWidth(), clientHeight());
    } else if (type == wxEVT_CLOSE_WINDOW) {
        auto& close = static_cast<wxCloseEvent&>(event);
        if (onCancel() || !close.CanVeto()) {
            this->close(wxID_CANCEL);
        } else {
            close.Veto();
        }
    } else {
        event.Skip();
    }
}

int Dialog::showModal(wxWindow* owner) {
    if (!createDialog(owner)) {
        return wxID_CANCEL;
    }
    m_modal = true;
    const int result = m_dialog->ShowModal();
    // Deleted now, not when idle, so the controls can be created again at once.
    wxDialog* dialog = m_dialog;
    forgetDialog();
    delete dialog;
    return result;
}

bool Dialog::showModeless(wxWindow* owner) {
    if (!createDialog(owner)) {
        return false;
    }
    m_dialog->Show();
    return true;
}

void Dialog::close(int result) {
    if (!m_dialog) {
        return;
    }
    if (m_modal && m_dialog->IsModal()) {
        m_dialog->EndModal(result);
        return;
    }
    wxDialog* dialog = m_dialog;
    forgetDialog();
    dialog->Destroy();  // when idle: we may be inside one of its handlers
}

bool Dialog::onInit() {
    return true;
}
bool Dialog::onOK() {
    return true;
}
bool Dialog::onCancel() {
    return true;
}
void Dialog::onSize(int, int) {}
bool Dialog::onNotify(const Notify&) {
    return false;
}

bool Dialog::onCommand(const Command& command) {
    if (command.code != codes::kClicked) {
        return false;
    }
    if (command.id == wxID_OK) {
        if (onOK()) {
            close(wxID_OK);
        }
        return true;
    }
    if (command.id == wxID_CANCEL) {
        if (onCancel()) {
            close(wxID_CANCEL);
        }
        return true;
    }
    return false;
}

void Dialog::setTitle(const std::u16string& title) {
    if (m_dialog) {
        m_dialog->SetTitle(toWx(title));
    }
}

void Dialog::setBackColor(const wxColour& colour) {
    if (m_dialog) {
        m_dialog->SetBackgroundColour(colour);
        m_dialog->Refresh();
    }
}

void Dialog::setTextColor(const wxColour& colour) {
    if (m_dialog) {
        m_dialog->SetForegroundColour(colour);
        m_dialog->Refresh();
    }
}

void Dialog::setPosition(int x, int y) {
    if (m_dialog) {
        m_dialog->Move(x, y);
    }
}

void Dialog::setSize(int width, int height) {
    if (m_dialog) {
        m_dialog->SetClientSize(width, height);
    }
}

void Dialog::setBounds(int x, int y, int width, int height) {
    if (m_dialog) {
        m_dialog->Move(x, y);
        m_dialog->SetClientSize(width, height);
    }
}

wxWindow* Dialog::handle(int id) const {
    if (id == 0 || !m_dialog) {
        return m_dialog;
    }
    return m_dialog->FindWindow(id);
}

void Dialog::setSizeCentred(int width, int height) {
    if (!m_dialog) {
        return;
    }
    m_dialog->SetClientSize(width, height);
    centre();
}

void Dialog::centre() {
    if (m_dialog) {
        m_dialog->CentreOnScreen(wxBOTH);
    }
}

int Dialog::clientWidth() const {
    return m_dialog ? m_dialog->GetClientSize().x : 0;
}
int Dialog::clientHeight() const {
    return m_dialog ? m_dialog->GetClientSize().y : 0;
}

}  // namespace pw
