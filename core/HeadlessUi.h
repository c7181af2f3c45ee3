// User-interface services without a display: boxes go to standard error and
// posted work and timers run in a small event loop of the calling thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "core/UiServices.h"

namespace pw {

class HeadlessUi : public UiServices {
public:
    // The constructing thread is the user-interface thread.
    HeadlessUi();

    int messageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned flags) override;
    std::optional<std::u16string> chooseFile(const FileChooserRequest& request) override;
    std::optional<std::u16string> chooseFolder(const std::u16string& title,
                                               const std::u16string& initial) override;
    void post(std::function<void()> task) override;
    int startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(int id) override;
    void pumpPendingEvents() override;
    bool isUiThread() const override;

    // Runs the loop until done() is true or timeoutMs passed; returns done().
    bool runUntil(const std::function<bool()>& done, int timeoutMs);
    void runFor(int ms);

    // The answer a box gets: the default button of its flags.
    static int defaultAnswer(unsigned flags);

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        int intervalMs;
        Clock::time_point due;
        std::function<void()> tick;
    };

    // Runs queued tasks and due timers once; returns the next timer's due time.
    std::optional<Clock::time_point> runOnce();

    std::thread::id m_uiThread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    std::map<int, Timer> m_timers;
    int m_nextTimerId = 1;
};

}  // namespace pw
