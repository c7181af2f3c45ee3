// A dialog window (wxDialog), run modally or shown modeless by its owner.
//
// Derive, hold the controls as members and create them in onInit with the
// dialog's handle() as parent (control.create(dialog.handle(), x, y, w, h)),
// setting the title and a centred size there. A Button with the id wxID_OK
// runs onOK and one with wxID_CANCEL (or Escape, or the window's close box)
// runs onCancel; either closes the dialog when it returns true. Commands and
// notifications of the controls reach onCommand and onNotify.
#pragma once

#include <memory>
#include <string>

#include <wx/colour.h>

#include "gui/CommandReceiver.h"

class wxDialog;
class wxEvent;
class wxWindow;

namespace pw {

class Dialog : public CommandReceiver {
public:
    Dialog();
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally over owner (may be null) and returns the result
    // given to close: wxID_OK after onOK, wxID_CANCEL after onCancel.
    int showModal(wxWindow* owner);
    // Shows the dialog and returns at once; false when it could not be made.
    bool showModeless(wxWindow* owner);
    bool isOpen() const { return m_dialog != nullptr; }

    virtual void setTitle(const std::u16string& title);
    virtual void setBackColor(const wxColour& colour);
    virtual void setTextColor(const wxColour& colour);
    virtual void setPosition(int x, int y);
    virtual void setSize(int width, int height);
    virtual void setBounds(int x, int y, int width, int height);
    // The dialog window for id 0, else its descendant with that control id.
    virtual wxWindow* handle(int id = 0) const;
    // Ends a modal dialog with result, or destroys a modeless one.
    virtual void close(int result);
    // The size, centred on the desktop.
    virtual void setSizeCentred(int width, int height);
    virtual void centre();
    int clientWidth() const;
    int clientHeight() const;

    // Handlers.
    virtual bool onInit();    // creates the content; false gives up showing the dialog
    virtual bool onOK();      // true closes with wxID_OK
    virtual bool onCancel();  // true closes with wxID_CANCEL
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;
    virtual void onSize(int clientWidth, int clientHeight);

private:
    class Router;
    bool createDialog(wxWindow* owner);
    void dispatch(wxEvent& event);
    void forgetDialog();

    wxDialog* m_dialog = nullptr;
    std::unique_ptr<Router> m_router;
    bool m_modal = false;
};

}  // namespace pw
