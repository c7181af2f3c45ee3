// Headless user-interface services.
#include "core/HeadlessUi.h"

#include <cstdio>
#include <vector>

#include "core/Utf.h"

namespace pw {

HeadlessUi::HeadlessUi() : m_uiThread(std::this_thread::get_id()) {}

int HeadlessUi::defaultAnswer(unsigned flags) {
    const unsigned buttons = flags & MbButtonMask;
    const bool second = (flags & MbDefButton2) != 0;
    const bool third = (flags & MbDefButton3) != 0;
    switch (buttons) {
        case MbOkCancel:
            return second ? IdCancel : IdOk;
        case MbYesNoCancel:
            return third ? IdCancel : (second ? IdNo : IdYes);
        case MbYesNo:
            return second ? IdNo : IdYes;
        default:
            return IdOk;
    }
}

int HeadlessUi::messageBox(const std::u16string& text, const std::u16string& caption,
                           unsigned flags) {
    std::fprintf(stderr, "%s: %s\n", toUtf8(caption).c_str(), toUtf8(text).c_str());
    std::fflush(stderr);
    return defaultAnswer(flags);
}

std::optional<std::u16string> HeadlessUi::chooseFile(const FileChooserRequest&) {
    return std::nullopt;
}

std::optional<std::u16string> HeadlessUi::chooseFolder(const std::u16string&,
                                                       const std::u16string&) {
    return std::nullopt;
}

void HeadlessUi::post(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_all();
}

int HeadlessUi::startTimer(int intervalMs, std::function<void()> tick) {
    std::lock_guard lock(m_mutex);
    const int id = m_nextTimerId++;
    const int interval = intervalMs > 0 ? intervalMs : 1;
    m_timers[id] =
        Timer{interval, Clock::now() + std::chrono::milliseconds(interval), std::move(tick)};
    return id;
}

void HeadlessUi::stopTimer(int id) {
    std::lock_guard lock(m_mutex);
    m_timers.erase(id);
}

bool HeadlessUi::isUiThread() const {
    return std::this_thread::get_id() == m_uiThread;
}

std::optional<HeadlessUi::Clock::time_point> HeadlessUi::runOnce() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(m_mutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks) {
        task();
    }

    // A tick may start or stop timers, so collect the due ones first.
    std::vector<int> due;
    {
        std::lock_guard lock(m_mutex);
        const auto now = Clock::now();
        for (auto& [id, timer] : m_timers) {
            if (timer.due <= now) {
                due.push_back(id);
            }
        }
    }
    for (int id : due) {
        std::function<void()> tick;
        {
            std::lock_guard lock(m_mutex);
            auto it = m_timers.find(id);
            if (it == m_timers.end()) {
                continue;
            }
            it->second.due = Clock::now() + std::chrono::milliseconds(it->second.intervalMs);
            tick = it->second.tick;
        }
        tick();
    }

    std::lock_guard lock(m_mutex);
    std::optional<Clock::time_point> next;
    for (auto& [id, timer] : m_timers) {
        if (!next || timer.due < *next) {
            next = timer.due;
        }
    }
    return next;
}

void HeadlessUi::pumpPendingEvents() {
    runOnce();
}

bool HeadlessUi::runUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto next = runOnce();
        if (done()) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        auto wakeAt = deadline;
        if (next && *next < wakeAt) {
            wakeAt = *next;
        }
        // Bounded waits keep a condition changed by another thread noticed soon.
        const auto cap = now + std::chrono::milliseconds(5);
        if (cap < wakeAt) {
            wakeAt = cap;
        }
        std::unique_lock lock(m_mutex);
        m_wake.wait_until(lock, wakeAt, [this] { return !m_tasks.empty(); });
    }
    return true;
}

void HeadlessUi::runFor(int ms) {
    runUntil([] { return false; }, ms);
}

}  // namespace pw
