// The map from wx windows to the toolkit objects that own them.
#include "gui/CommandReceiver.h"

#include <unordered_map>

#include <wx/window.h>

namespace pw {
namespace {

// Only the user-interface thread touches windows, so no lock.
std::unordered_map<const wxWindow*, CommandReceiver*>& receivers() {
    static std::unordered_map<const wxWindow*, CommandReceiver*> map;
    return map;
}

}  // namespace

CommandReceiver::~CommandReceiver() {
    auto& map = receivers();
    for (auto it = map.begin(); it != map.end();) {
        it = it->second == this ? map.erase(it) : std::next(it);
    }
}

bool CommandReceiver::onCommand(const Command&) {
    return false;
}

bool CommandReceiver::onNotify(const Notify&) {
    return false;
}

CommandReceiver* CommandReceiver::forWindow(const wxWindow* window) {
    auto it = receivers().find(window);
    return it == receivers().end() ? nullptr : it->second;
}

CommandReceiver* CommandReceiver::parentOf(const wxWindow* window) {
    // Walk past wx's own inner windows (a notebook's, a list's) to the nearest of ours.
    for (const wxWindow* w = window ? window->GetParent() : nullptr; w; w = w->GetParent()) {
        if (auto* receiver = forWindow(w)) {
            return receiver;
        }
    }
    return nullptr;
}

void CommandReceiver::registerWindow(wxWindow* window) {
    receivers()[window] = this;
}

void CommandReceiver::unregisterWindow(wxWindow* window) {
    auto it = receivers().find(window);
    if (it != receivers().end() && it->second == this) {
        receivers().erase(it);
    }
}

}  // namespace pw
