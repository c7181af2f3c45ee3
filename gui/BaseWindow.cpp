// Native windows and the dispatch of their events to the virtual handlers.
#include "gui/BaseWindow.h"

#include <exception>
#include <vector>

#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/timer.h>
#include <wx/tooltip.h>

#include "core/UiServices.h"
#include "core/Utf.h"
#include "gui/WxText.h"

namespace pw {
namespace {

// How many of our handlers are running; a window destroyed while one runs is
// only hidden and deleted when wx is idle, since wx may still touch it.
int g_dispatchDepth = 0;

struct DispatchScope {
    DispatchScope() { ++g_dispatchDepth; }
    ~DispatchScope() { --g_dispatchDepth; }
};

const wxEventType kMouseTypes[] = {
    wxEVT_LEFT_DOWN,    wxEVT_LEFT_UP,      wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN,    wxEVT_RIGHT_UP,
    wxEVT_RIGHT_DCLICK, wxEVT_MIDDLE_DOWN,  wxEVT_MIDDLE_UP,   wxEVT_MIDDLE_DCLICK, wxEVT_MOTION,
    wxEVT_MOUSEWHEEL,   wxEVT_ENTER_WINDOW, wxEVT_LEAVE_WINDOW};

bool isMouseType(wxEventType type) {
    for (wxEventType t : kMouseTypes) {
        if (t == type) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Receives the window's events for its owner; an owner that let go of its
// window leaves the router behind silent, so late events do no harm.
class BaseWindow::Router : public wxEvtHandler {
public:
    explicit Router(BaseWindow* owner) : m_owner(owner) {}
    void onEvent(wxEvent& event) {
        if (m_owner) {
            m_owner->dispatch(event);
        } else {
            event.Skip();
        }
    }
    BaseWindow* m_owner;
};

BaseWindow::BaseWindow() = default;

BaseWindow::~BaseWindow() {
    destroy();
    m_timers.clear();
}

BaseWindow* BaseWindow::fromHandle(const wxWindow* window) {
    return dynamic_cast<BaseWindow*>(forWindow(window));
}

wxWindow* BaseWindow::createWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    if (!parent) {
        return new wxFrame(nullptr, wxID_ANY, wxEmptyString, pos, size);
    }
    return new wxPanel(parent, wxID_ANY, pos, size, wxTAB_TRAVERSAL | wxCLIP_CHILDREN);
}

bool BaseWindow::create(wxWindow* parent, int x, int y, int width, int height) {
    if (m_window || !parent) {
        return false;
    }
    const wxPoint pos = x == -1 && y == -1 ? wxDefaultPosition : wxPoint(x, y);
    const wxSize size = width == -1 && height == -1 ? wxDefaultSize : wxSize(width, height);
    return attach(createWindow(parent, pos, size));
}

bool BaseWindow::createTopLevel() {
    if (m_window) {
        return false;
    }
    return attach(createWindow(nullptr, wxDefaultPosition, wxDefaultSize));
}

bool BaseWindow::attach(wxWindow* window) {
    if (!window) {
        return false;
    }
    m_window = window;
    registerWindow(window);
    if (m_router) {
        m_retiredRouters.push_back(std::move(m_router));
    }
    m_router = std::make_unique<Router>(this);
    window->SetName(toWx(m_className));
    if (m_id != 0) {
        window->SetId(m_id);
    }
    if (m_backColor.IsOk()) {
        window->SetBackgroundColour(m_backColor);
    }
    if (m_textColor.IsOk()) {
        window->SetForegroundColour(m_textColor);
    }
    if (m_hasPendingText) {
        setText(m_pendingText);
    }
    for (wxEventType type : std::initializer_list<wxEventType>{
             wxEVT_SIZE, wxEVT_CLOSE_WINDOW, wxEVT_DESTROY, wxEVT_KEY_DOWN, wxEVT_KEY_UP,
             wxEVT_CHAR, wxEVT_TIMER, wxEVT_SET_FOCUS, wxEVT_KILL_FOCUS}) {
        listen(type);
    }
    for (wxEventType type : kMouseTypes) {
        listen(type);
    }
    bindControlEvents();

    bool handled = false;
    {
        DispatchScope scope;
        try {
            handled = onCreate();
        } catch (const std::exception& e) {
            messageBox(fromUtf8(e.what()), MbOk | MbIconError);
        }
    }
    if (!handled && m_window) {
        // The default creation handling lays the new window out once.
        onSize(clientWidth(), clientHeight());
    }
    return m_window != nullptr;
}

void BaseWindow::listen(wxEventType type) {
    if (m_window && m_router) {
        m_window->Bind(wxEventTypeTag<wxEvent>(type), &Router::onEvent, m_router.get());
    }
}

void BaseWindow::detach() {
    if (!m_window) {
        return;
    }
    for (auto& [id, timer] : m_timers) {
        timer->Stop();
    }
    unregisterWindow(m_window);
    if (m_router) {
        m_router->m_owner = nullptr;
    }
    m_window = nullptr;
}

void BaseWindow::destroy() {
    if (!m_window) {
        return;
    }
    wxWindow* window = m_window;
    onDestroy();
    detach();
    // A tab page leaves its tabs first, or they would keep a dangling page.
    if (auto* book = dynamic_cast<wxBookCtrlBase*>(window->GetParent())) {
        const int page = book->FindPage(window);
        if (page != wxNOT_FOUND) {
            book->RemovePage(static_cast<size_t>(page));
        }
    }
    if (window->IsTopLevel()) {
        window->Destroy();  // wx deletes top-level windows when idle
    } else if (g_dispatchDepth > 0 && wxTheApp) {
        window->Hide();
        wxTheApp->ScheduleForDestruction(window);
    } else {
        window->Destroy();
    }
}

bool BaseWindow::close() {
    if (!m_window) {
        return false;
    }
    handleClose(true, nullptr);
    return m_window == nullptr;
}

void BaseWindow::handleClose(bool canVeto, wxCloseEvent* event) {
    if (onClose() || !canVeto) {
        destroy();
    } else if (event) {
        event->Veto();
    }
}

bool BaseWindow::isOwnEvent(const wxEvent& event) const {
    for (auto* w = dynamic_cast<wxWindow*>(event.GetEventObject()); w; w = w->GetParent()) {
        if (w == m_window) {
            return true;
        }
        if (forWindow(w)) {
            return false;
        }
    }
    return false;
}

void BaseWindow::dispatch(wxEvent& event) {
    DispatchScope scope;
    // This is the boundary to wx: a failure is shown, never thrown through the toolkit.
    try {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_DESTROY) {
            event.Skip();  // parents see their children's destroy events too
            if (event.GetEventObject() == m_window) {
                onDestroy();
                detach();
            }
            return;
        }
        if (type == wxEVT_SIZE) {
            event.Skip();
            onSize(clientWidth(), clientHeight());
            return;
        }
        if (type == wxEVT_CLOSE_WINDOW) {
            auto& close = static_cast<wxCloseEvent&>(event);
            handleClose(close.CanVeto(), &close);
            return;
        }
        if (translate(event)) {
            return;
        }
        if (!windowProc(event)) {
            event.Skip();
        }
    } catch (const std::exception& e) {
        messageBox(fromUtf8(e.what()), MbOk | MbIconError);
    }
}

void BaseWindow::deliverForeign(wxEvent& event) {
    std::unique_ptr<wxEvent> copy(event.Clone());
    DispatchScope scope;
    try {
        windowProc(*copy);
    } catch (const std::exception& e) {
        messageBox(fromUtf8(e.what()), MbOk | MbIconError);
    }
}

KeyInput BaseWindow::keyInput(const wxKeyEvent& event) {
    KeyInput key;
    key.keyCode = event.GetKeyCode();
    if (event.GetEventType() == wxEVT_CHAR && event.GetUnicodeKey() != WXK_NONE) {
        key.ch = static_cast<char32_t>(event.GetUnicodeKey());
    }
    key.shift = event.ShiftDown();
    key.control = event.ControlDown();
    key.alt = event.AltDown();
    return key;
}

MouseInput BaseWindow::mouseInput(const wxMouseEvent& event) {
    MouseInput mouse;
    const wxEventType type = event.GetEventType();
    if (event.ButtonDClick()) {
        mouse.action = MouseInput::DoubleClick;
    } else if (event.ButtonDown()) {
        mouse.action = MouseInput::Down;
    } else if (event.ButtonUp()) {
        mouse.action = MouseInput::Up;
    } else if (type == wxEVT_MOUSEWHEEL) {
        mouse.action = MouseInput::Wheel;
    } else if (type == wxEVT_ENTER_WINDOW) {
        mouse.action = MouseInput::Enter;
    } else if (type == wxEVT_LEAVE_WINDOW) {
        mouse.action = MouseInput::Leave;
    }
    switch (event.GetButton()) {
        case wxMOUSE_BTN_LEFT:
            mouse.button = MouseInput::Left;
            break;
        case wxMOUSE_BTN_RIGHT:
            mouse.button = MouseInput::Right;
            break;
        case wxMOUSE_BTN_MIDDLE:
            mouse.button = MouseInput::Middle;
            break;
        default:
            break;
    }
    mouse.x = event.GetX();
    mouse.y = event.GetY();
    mouse.wheelRotation = event.GetWheelRotation();
    mouse.shift = event.ShiftDown();
    mouse.control = event.ControlDown();
    mouse.alt = event.AltDown();
    return mouse;
}

bool BaseWindow::windowProc(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_KEY_DOWN) {
        return onKeyDown(keyInput(static_cast<wxKeyEvent&>(event)));
    }
    if (type == wxEVT_KEY_UP) {
        return onKeyUp(keyInput(static_cast<wxKeyEvent&>(event)));
    }
    if (type == wxEVT_CHAR) {
        return onChar(keyInput(static_cast<wxKeyEvent&>(event)));
    }
    if (isMouseType(type)) {
        return onMouse(mouseInput(static_cast<wxMouseEvent&>(event)));
    }
    if (type == wxEVT_TIMER) {
        onTimer(event.GetId());
        return true;
    }
    if (type == wxEVT_SET_FOCUS || type == wxEVT_KILL_FOCUS) {
        onFocus(type == wxEVT_SET_FOCUS);
        return false;  // the toolkit still moves its own focus state
    }
    return false;
}

bool BaseWindow::onCommand(const Command&) {
    return false;
}
bool BaseWindow::onNotify(const Notify&) {
    return false;
}
bool BaseWindow::onCreate() {
    return false;
}
bool BaseWindow::onClose() {
    return true;
}
void BaseWindow::onSize(int, int) {}
void BaseWindow::onDestroy() {}
bool BaseWindow::onKeyDown(const KeyInput&) {
    return false;
}
bool BaseWindow::onKeyUp(const KeyInput&) {
    return false;
}
bool BaseWindow::onChar(const KeyInput&) {
    return false;
}
bool BaseWindow::onMouse(const MouseInput&) {
    return false;
}
void BaseWindow::onTimer(int) {}
void BaseWindow::onFocus(bool) {}

void BaseWindow::commandParent(int code) {
    routeCommand(Command{id(), code, m_window});
}

void BaseWindow::routeCommand(const Command& command) {
    if (!m_window) {
        return;
    }
    if (CommandReceiver* target = m_commandTarget ? m_commandTarget : parentOf(m_window)) {
        target->onCommand(command);
    }
}

void BaseWindow::routeNotify(const Notify& notify) {
    if (!m_window) {
        return;
    }
    if (CommandReceiver* target = m_commandTarget ? m_commandTarget : parentOf(m_window)) {
        target->onNotify(notify);
    }
}

void BaseWindow::notifyParent(int code) {
    Notify notify;
    notify.code = code;
    notifyParent(notify);
}

void BaseWindow::notifyParent(Notify notify) {
    notify.id = id();
    notify.sender = m_window;
    routeNotify(notify);
}

void BaseWindow::setTimer(int id, int ms) {
    if (!m_window) {
        return;
    }
    auto& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<wxTimer>(m_window, id);
    } else {
        timer->SetOwner(m_window, id);
    }
    timer->Start(ms);
}

void BaseWindow::killTimer(int id) {
    // Only stopped: the timer may be the one whose tick is running now.
    auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        it->second->Stop();
    }
}

bool BaseWindow::hasFocus() const {
    return m_window && m_window->HasFocus();
}
bool BaseWindow::isVisible() const {
    return m_window && m_window->IsShown();
}
bool BaseWindow::isEnabled() const {
    return m_window && m_window->IsEnabled();
}
int BaseWindow::width() const {
    return m_window ? m_window->GetSize().x : 0;
}
int BaseWindow::height() const {
    return m_window ? m_window->GetSize().y : 0;
}
int BaseWindow::clientWidth() const {
    return m_window ? m_window->GetClientSize().x : 0;
}
int BaseWindow::clientHeight() const {
    return m_window ? m_window->GetClientSize().y : 0;
}
int BaseWindow::x() const {
    return m_window ? m_window->GetPosition().x : 0;
}
int BaseWindow::y() const {
    return m_window ? m_window->GetPosition().y : 0;
}
long BaseWindow::style() const {
    return m_window ? m_window->GetWindowStyleFlag() : 0;
}

void BaseWindow::setStyle(long style) {
    if (m_window) {
        m_window->SetWindowStyleFlag(style);
        m_window->Refresh();
    }
}

std::u16string BaseWindow::getText() const {
    if (!m_window) {
        return m_hasPendingText ? m_pendingText : std::u16string();
    }
    return fromWx(m_window->GetLabel());
}

void BaseWindow::setText(const std::u16string& text) {
    if (!m_window) {
        m_pendingText = text;
        m_hasPendingText = true;
        return;
    }
    m_window->SetLabel(toWx(text));
    m_window->Refresh();
}

wxWindow* BaseWindow::handle(int id) const {
    if (id == 0 || !m_window) {
        return m_window;
    }
    return m_window->FindWindow(id);
}

int BaseWindow::id() const {
    return m_window ? m_window->GetId() : m_id;
}

void BaseWindow::setId(int id) {
    m_id = id;
    if (m_window) {
        m_window->SetId(id);
    }
}

void BaseWindow::setFocus() {
    if (m_window) {
        m_window->SetFocus();
    }
}

void BaseWindow::setEnabled(bool enabled) {
    if (m_window) {
        m_window->Enable(enabled);
    }
}

void BaseWindow::setVisible(bool visible) {
    if (m_window) {
        m_window->Show(visible);
    }
}

void BaseWindow::setBackColor(const wxColour& colour) {
    m_backColor = colour;
    if (m_window) {
        m_window->SetBackgroundColour(colour);
        m_window->Refresh();
    }
}

void BaseWindow::setTextColor(const wxColour& colour) {
    m_textColor = colour;
    if (m_window) {
        m_window->SetForegroundColour(colour);
        m_window->Refresh();
    }
}

void BaseWindow::setPosition(int x, int y) {
    if (m_window) {
        m_window->Move(x, y);
    }
}

void BaseWindow::setBounds(int x, int y, int width, int height) {
    if (m_window) {
        m_window->SetSize(x, y, width, height, wxSIZE_ALLOW_MINUS_ONE);
    }
}

void BaseWindow::setSize(int width, int height) {
    if (m_window) {
        m_window->SetSize(width, height);
    }
}

void BaseWindow::setToolTip(const std::u16string& text) {
    if (m_window) {
        m_window->SetToolTip(toWx(text));
    }
}

void BaseWindow::update() {
    if (m_window) {
        m_window->Update();
    }
}

void BaseWindow::invalidate() {
    if (m_window) {
        m_window->Refresh();
    }
}

void BaseWindow::invalidate(const wxRect& rect, bool erase) {
    if (m_window) {
        m_window->RefreshRect(rect, erase);
    }
}

void BaseWindow::centre() {
    if (m_window) {
        m_window->Centre(wxBOTH);
    }
}

}  // namespace pw
