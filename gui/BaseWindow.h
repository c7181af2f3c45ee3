// One native window per object: the base of every pane and control. It turns
// the window's wx events into the virtual handlers below.
//
// How a pane is built: hold the child controls as members; create them in
// onCreate with child.create(*this, x, y, w, h) (or create(*this)); place them
// in onSize with setBounds; react in onCommand / onNotify, telling the senders
// apart with `command.sender == child.handle()`.
//
// Dispatch: creation calls onCreate (false lets the default run: one onSize
// with the client size); a size change calls onSize; close() and the window
// manager's close call onClose, and only when it returns true is the window
// destroyed; child commands call onCommand and child notifications onNotify;
// every other event the window listens to goes to windowProc, whose default
// hands keys, mouse, timers and focus to the typed handlers. After the window
// is destroyed (by us or with its parent) handle() is null.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/colour.h>
#include <wx/event.h>
#include <wx/gdicmn.h>

#include "gui/CommandReceiver.h"
#include "gui/Events.h"

class wxTimer;
class wxWindow;

namespace pw {

class BaseWindow : public CommandReceiver {
public:
    BaseWindow();
    // Destroys the window (and with it its children's windows).
    ~BaseWindow() override;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Destroys the window now and clears the handle; safe to call at any time,
    // also from the window's own handlers.
    virtual void destroy();

    // A visible child window of parent at the given place; false when the
    // window could not be made (no parent, or created already).
    virtual bool create(wxWindow* parent, int x, int y, int width, int height);
    bool create(BaseWindow& parent, int x, int y, int width, int height) {
        return create(parent.handle(), x, y, width, height);
    }
    // The same at the default position and size.
    bool create(wxWindow* parent) { return create(parent, -1, -1, -1, -1); }
    bool create(BaseWindow& parent) { return create(parent.handle()); }
    // A hidden top-level window (a frame) at the default position and size.
    virtual bool createTopLevel();

    // Sends the window a close: onClose decides; returns true when it was destroyed.
    bool close();

    bool hasFocus() const;
    bool isVisible() const;
    bool isEnabled() const;
    int width() const;  // outer size
    int height() const;
    int clientWidth() const;
    int clientHeight() const;
    int x() const;  // relative to the parent (to the screen for top-level windows)
    int y() const;
    long style() const;  // wx window style flags
    void setStyle(long style);
    // The window's text (title, label or content); text set before create is
    // given to the window when it is made.
    virtual std::u16string getText() const;
    virtual void setText(const std::u16string& text);

    // The window for id 0, else the descendant window with that control id.
    wxWindow* handle(int id = 0) const;
    int id() const;
    void setId(int id);  // control id carried by commands; set it before or after create

    void setFocus();
    virtual void setEnabled(bool enabled);
    void setVisible(bool visible);
    void setBackColor(const wxColour& colour);
    void setTextColor(const wxColour& colour);
    const wxColour& backColor() const { return m_backColor; }
    const wxColour& textColor() const { return m_textColor; }
    void setPosition(int x, int y);
    void setBounds(int x, int y, int width, int height);
    void setSize(int width, int height);
    void setToolTip(const std::u16string& text);
    void update();      // paints pending invalid areas now
    void invalidate();  // the whole window
    void invalidate(const wxRect& rect, bool erase = true);
    void centre();  // in the parent, or on the screen

    // The window class name (the wx window name), "BaseWindowPane" unless set
    // before create.
    const std::u16string& className() const { return m_className; }
    void setClassName(const std::u16string& name) { m_className = name; }

    // Sends the parent a command or a notification from this control.
    void commandParent(int code);
    void notifyParent(int code);
    void notifyParent(Notify notify);  // id and sender are filled in
    // Sends this control's commands and notifications to target instead of the
    // parent (a tool bar serving the pane around its tool window); target must
    // outlive the control. Null restores the parent.
    void setCommandTarget(CommandReceiver* target) { m_commandTarget = target; }

    // Timers of this window: onTimer(id) every ms milliseconds until killed.
    void setTimer(int id, int ms);
    void killTimer(int id);

    // The toolkit object that owns window, or null.
    static BaseWindow* fromHandle(const wxWindow* window);

    // Handlers. Returning false lets the default handling run.
    bool onCommand(const Command& command) override;
    bool onNotify(const Notify& notify) override;
    virtual bool onCreate();  // default false
    virtual bool onClose();   // default true: destroy
    virtual void onSize(int clientWidth, int clientHeight);
    virtual void onDestroy();  // the window is going; its handle is still valid
    // Every other event; the default hands keys, mouse, timers and focus on to
    // the typed handlers below and returns what they return.
    virtual bool windowProc(wxEvent& event);
    virtual bool onKeyDown(const KeyInput& key);
    virtual bool onKeyUp(const KeyInput& key);
    virtual bool onChar(const KeyInput& key);
    virtual bool onMouse(const MouseInput& mouse);
    virtual void onTimer(int id);
    virtual void onFocus(bool gained);

    // Runs the handlers for an event aimed at another window, as if it were
    // this window's (the program hands keys of the HTML view to its content pane).
    void deliverForeign(wxEvent& event);

    static KeyInput keyInput(const wxKeyEvent& event);
    static MouseInput mouseInput(const wxMouseEvent& event);

protected:
    // Makes the wx window; classes wrapping a native control override this.
    // parent null: a top-level window.
    virtual wxWindow* createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size);
    // Wrappers listen to their native events here (listen(wxEVT_...)) and turn
    // them into commands and notifications in translate().
    virtual void bindControlEvents() {}
    // A native event this class listens to; true when it was used up.
    virtual bool translate(wxEvent&) { return false; }
    void listen(wxEventType type);
    // Hands a command or notification to the parent (or the command target).
    void routeCommand(const Command& command);
    void routeNotify(const Notify& notify);
    // True when the event came from this window (not a descendant's propagated one).
    bool isOwnEvent(const wxEvent& event) const;

private:
    class Router;
    bool attach(wxWindow* window);
    void detach();
    void dispatch(wxEvent& event);
    void handleClose(bool canVeto, wxCloseEvent* event);

    wxWindow* m_window = nullptr;
    std::unique_ptr<Router> m_router;
    // Routers of earlier windows; one may still be running a handler of its own.
    std::vector<std::unique_ptr<Router>> m_retiredRouters;
    CommandReceiver* m_commandTarget = nullptr;
    std::u16string m_pendingText;
    bool m_hasPendingText = false;
    std::u16string m_className = u"BaseWindowPane";
    int m_id = 0;
    wxColour m_backColor;
    wxColour m_textColor;
    std::map<int, std::unique_ptr<wxTimer>> m_timers;
    int m_dispatchDepth = 0;
};

}  // namespace pw
