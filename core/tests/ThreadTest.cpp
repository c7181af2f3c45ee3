// Worker threads: stop flag, wake event, and a stop that keeps the UI alive.
#include <atomic>

#include <gtest/gtest.h>

#include "core/Thread.h"
#include "core/testsupport/RecordingUi.h"

namespace pw {
namespace {

class Counter : public Thread {
public:
    ~Counter() override { stop(); }
    std::atomic<int> loops{0};

protected:
    void run() override {
        while (!stopRequested()) {
            ++loops;
            sleepUnlessStopped(1000);
        }
    }
};

TEST(Thread, StopEndsASleepingWorkerPromptlyAndItCanRestart) {
    Counter counter;
    EXPECT_TRUE(counter.stopRequested());
    counter.start();
    while (counter.loops == 0) {
        std::this_thread::yield();
    }
    const auto before = std::chrono::steady_clock::now();
    counter.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_FALSE(counter.isRunning());

    counter.start();
    EXPECT_TRUE(counter.isRunning() || counter.loops > 1);
    counter.stop();
}

// A worker that can finish only after the UI thread ran something it posted.
class WaitsForUi : public Thread {
public:
    ~WaitsForUi() override { stop(); }
    std::atomic<bool> answered{false};
    std::atomic<bool> started{false};

protected:
    void run() override {
        started = true;
        ui().post([this] { answered = true; });
        while (!answered) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

TEST(Thread, StopHandlesPendingUiWorkSoTheWorkerCanFinish) {
    test::ScopedRecordingUi recording;
    WaitsForUi worker;
    worker.start();
    while (!worker.started) {
        std::this_thread::yield();
    }
    worker.stop();
    EXPECT_TRUE(worker.answered);
}

class Throws : public Thread {
public:
    ~Throws() override { stop(); }

protected:
    void run() override { throw std::runtime_error("disk gone"); }
};

TEST(Thread, AnExceptionInTheWorkerDoesNotEndTheProgram) {
    Throws worker;
    worker.start();
    worker.stop();
    EXPECT_FALSE(worker.isRunning());
}

}  // namespace
}  // namespace pw
