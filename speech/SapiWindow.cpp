// The hidden window over the user-interface services.
#include "speech/SapiWindow.h"

#include <mutex>
#include <set>

#include "core/UiServices.h"

namespace pw {
namespace {

std::mutex g_classMutex;
std::set<std::u16string>& registeredClasses() {
    static std::set<std::u16string> classes;
    return classes;
}

}  // namespace

bool SapiWindowMessageListener::onMessage(unsigned, uintptr_t, intptr_t) {
    return false;
}

bool SapiWindowMessageListener::onTimer(int) {
    return false;
}

SapiWindow::~SapiWindow() {
    destroy();
}

bool SapiWindow::registerClass(const std::u16string& className) {
    std::lock_guard lock(g_classMutex);
    registeredClasses().insert(className);
    return true;
}

bool SapiWindow::create(const std::u16string& className) {
    {
        std::lock_guard lock(g_classMutex);
        if (m_alive || !registeredClasses().count(className)) {
            return false;
        }
    }
    m_alive = std::make_shared<bool>(true);
    return true;
}

void SapiWindow::destroy() {
    for (const auto& [id, uiTimer] : m_timers) {
        ui().stopTimer(uiTimer);
    }
    m_timers.clear();
    if (m_alive) {
        *m_alive = false;
        m_alive.reset();
    }
}

void SapiWindow::setTimer(int timerId, int ms) {
    if (!m_alive) {
        return;
    }
    killTimer(timerId);
    std::weak_ptr<bool> alive = m_alive;
    m_timers[timerId] = ui().startTimer(ms, [this, alive, timerId] {
        const auto window = alive.lock();
        if (!window || !*window || !m_timers.count(timerId)) {
            return;
        }
        if (!m_listener || !m_listener->onTimer(timerId)) {
            killTimer(timerId);
        }
    });
}

void SapiWindow::killTimer(int timerId) {
    const auto it = m_timers.find(timerId);
    if (it != m_timers.end()) {
        ui().stopTimer(it->second);
        m_timers.erase(it);
    }
}

std::function<void()> SapiWindow::poster(unsigned message) {
    std::weak_ptr<bool> alive = m_alive;
    return [this, alive, message] {
        ui().post([this, alive, message] {
            const auto window = alive.lock();
            if (window && *window && m_listener) {
                m_listener->onMessage(message, 0, 0);
            }
        });
    };
}

}  // namespace pw
