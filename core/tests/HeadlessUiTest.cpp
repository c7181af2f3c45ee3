// The headless services: default answers, posted work and timers.
#include <thread>

#include <gtest/gtest.h>

#include "core/HeadlessUi.h"

namespace pw {
namespace {

TEST(HeadlessUi, BoxesGetTheirDefaultButton) {
    EXPECT_EQ(HeadlessUi::defaultAnswer(MbOk), IdOk);
    EXPECT_EQ(HeadlessUi::defaultAnswer(MbYesNo | MbIconQuestion), IdYes);
    EXPECT_EQ(HeadlessUi::defaultAnswer(MbYesNo | MbDefButton2), IdNo);
    EXPECT_EQ(HeadlessUi::defaultAnswer(MbYesNoCancel | MbDefButton3), IdCancel);
}

TEST(HeadlessUi, WorkPostedFromAnotherThreadRunsOnTheUiThread) {
    HeadlessUi loop;
    std::thread::id ranOn;
    std::thread poster([&] { loop.post([&] { ranOn = std::this_thread::get_id(); }); });
    poster.join();
    EXPECT_TRUE(loop.runUntil([&] { return ranOn != std::thread::id(); }, 1000));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(HeadlessUi, TimersRepeatUntilStopped) {
    HeadlessUi loop;
    int ticks = 0;
    int id = 0;
    id = loop.startTimer(10, [&] {
        if (++ticks == 3) {
            loop.stopTimer(id);
        }
    });
    loop.runFor(150);
    EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace pw
