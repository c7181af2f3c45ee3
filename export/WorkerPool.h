// A few worker threads that run queued tasks in order of submission: the
// conversion's joining, encoding and tagging of finished sentences, beside
// the speech engine's own thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pw {

class WorkerPool {
public:
    // threads 0: one per core.
    explicit WorkerPool(int threads);
    // Drops what has not started and waits for what has.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void submit(std::function<void()> task);
    int threadCount() const { return static_cast<int>(m_threads.size()); }

    static int coreCount();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

}  // namespace pw
