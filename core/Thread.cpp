// Worker threads.
#include "core/Thread.h"

#include <chrono>
#include <cstdio>
#include <exception>

#include "core/UiServices.h"

namespace pw {

void Event::set() {
    {
        std::lock_guard lock(m_mutex);
        m_set = true;
    }
    m_changed.notify_all();
}

void Event::reset() {
    std::lock_guard lock(m_mutex);
    m_set = false;
}

bool Event::isSet() const {
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool Event::wait(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    if (timeoutMs < 0) {
        m_changed.wait(lock, [this] { return m_set; });
        return true;
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_set; });
}

Thread::~Thread() {
    stop();
}

Event& Thread::wakeEvent() {
    m_hasWakeEvent = true;
    return m_wake;
}

void Thread::start() {
    stop();
    m_stop = false;
    m_wake.reset();
    m_running = true;
    m_thread = std::thread([this] {
        try {
            run();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Phrasewright: a background task failed: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "Phrasewright: a background task failed.\n");
        }
        m_running = false;
    });
}

void Thread::stop() {
    m_stop = true;
    if (m_hasWakeEvent && !m_wake.isSet()) {
        m_wake.set();
    }
    if (!m_thread.joinable()) {
        return;
    }
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // A worker stopping itself only raises the flag; the owner joins later.
        return;
    }
    const bool onUi = ui().isUiThread();
    const auto started = std::chrono::steady_clock::now();
    bool reported = false;
    while (m_running.load()) {
        if (onUi) {
            ui().pumpPendingEvents();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!reported &&
            std::chrono::steady_clock::now() - started > std::chrono::milliseconds(kPatienceMs)) {
            reported = true;
            std::fprintf(stderr,
                         "Phrasewright: a background task has not finished after %d seconds; "
                         "still waiting for it.\n",
                         kPatienceMs / 1000);
        }
    }
    m_thread.join();
}

void Thread::sleepUnlessStopped(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!m_stop.load() && std::chrono::steady_clock::now() < until) {
        if (m_hasWakeEvent) {
            m_wake.wait(1);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

}  // namespace pw
