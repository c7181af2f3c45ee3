// The speech engine's hidden window: it has no screen presence here, only
// what the engine needs of one, timers that tick on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace pw {

class SapiWindowMessageListener {
public:
    virtual ~SapiWindowMessageListener() = default;
    // Both run on the user-interface thread and answer whether they handled it.
    virtual bool onMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
    // False stops the timer.
    virtual bool onTimer(int timerId);
};

class SapiWindow {
public:
    explicit SapiWindow(SapiWindowMessageListener* listener = nullptr) : m_listener(listener) {}
    ~SapiWindow();
    SapiWindow(const SapiWindow&) = delete;
    SapiWindow& operator=(const SapiWindow&) = delete;

    // Makes className known; create() accepts only known classes.
    static bool registerClass(const std::u16string& className);
    // False when the class is unknown or the window exists already.
    bool create(const std::u16string& className);
    // Stops every timer and drops messages not yet delivered.
    void destroy();
    bool isCreated() const { return m_alive != nullptr; }

    void setListener(SapiWindowMessageListener* listener) { m_listener = listener; }

    // onTimer(timerId) every ms milliseconds until killed; setting a running
    // timer again restarts it.
    void setTimer(int timerId, int ms);
    void killTimer(int timerId);
    bool hasTimer(int timerId) const { return m_timers.count(timerId) != 0; }

    // A function that, called from any thread, has onMessage(message, 0, 0)
    // run on the user-interface thread, unless the window is gone by then.
    std::function<void()> poster(unsigned message);

private:
    SapiWindowMessageListener* m_listener;
    // Shared with the timers' ticks, which check it before touching this window.
    std::shared_ptr<bool> m_alive;
    std::map<int, int> m_timers;  // timer id -> id of the user-interface timer
};

}  // namespace pw
