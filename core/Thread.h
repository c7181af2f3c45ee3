// One worker thread per object: start, stop with a stop flag and a wake
// event, and a run body that tests the flag in its loops.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pw {

// A manual-reset event the owner signals to wake a waiting worker.
class Event {
public:
    void set();
    void reset();
    bool isSet() const;
    // Waits up to timeoutMs (negative: for ever); true when signalled.
    bool wait(int timeoutMs);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set = false;
};

class Thread {
public:
    Thread() = default;
    // Stops the worker. A derived class must call stop() in its own destructor,
    // since run() may use members that are gone by the time this one runs.
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Stops a previous run, clears the stop flag and starts run() on a new thread.
    virtual void start();
    // Sets the stop flag, signals the wake event and waits for run() to end.
    // On the user-interface thread it keeps handling pending events while it
    // waits, so a worker waiting on that thread can finish. It never kills the
    // thread: past the patience limit it reports the wait and goes on waiting.
    virtual void stop();

    bool isRunning() const { return m_running.load(); }
    bool stopRequested() const { return m_stop.load(); }

    int priority() const { return m_priority; }
    void setPriority(int priority) { m_priority = priority; }

    // How long stop() waits before it reports a worker that does not end.
    static constexpr int kPatienceMs = 10000;

protected:
    virtual void run() = 0;

    // The wake event exists only for workers that wait on it.
    Event& wakeEvent();
    // Sleeps up to ms, returning early when stop() is called.
    void sleepUnlessStopped(int ms);

private:
    int m_priority = 2;
    std::thread m_thread;
    std::atomic<bool> m_stop{true};
    std::atomic<bool> m_running{false};
    Event m_wake;
    bool m_hasWakeEvent = false;
};

}  // namespace pw
