// The windowed user-interface services: how boxes and choosers are set up,
// and work and timers on the wx event loop.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include "core/Thread.h"
#include "gui/WxUi.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {

using test::runEventsUntil;

TEST(WxUi, BoxFlagsBecomeButtonsIconsAndDefaults) {
    struct Case {
        unsigned flags;
        long expected;
    };
    const Case cases[] = {
        {MbOk, wxOK},
        {MbOkCancel | MbIconWarning, wxOK | wxCANCEL | wxICON_WARNING},
        {MbOkCancel | MbDefButton2, wxOK | wxCANCEL | wxCANCEL_DEFAULT},
        {MbYesNo | MbIconQuestion, wxYES_NO | wxICON_QUESTION},
        {MbYesNo | MbDefButton2, wxYES_NO | wxNO_DEFAULT},
        {MbYesNoCancel | MbDefButton2, wxYES_NO | wxCANCEL | wxNO_DEFAULT},
        {MbYesNoCancel | MbDefButton3 | MbIconError,
         wxYES_NO | wxCANCEL | wxCANCEL_DEFAULT | wxICON_ERROR},
        {MbOk | MbIconInformation, wxOK | wxICON_INFORMATION},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WxUi::messageDialogStyle(c.flags), c.expected | wxSTAY_ON_TOP | wxCENTRE)
            << c.flags;
    }
}

TEST(WxUi, WhatTheBoxReturnsBecomesTheClassicAnswer) {
    struct Case {
        int wxResult;
        unsigned flags;
        int answer;
    };
    const Case cases[] = {
        {wxID_OK, MbOk, IdOk},
        {wxID_YES, MbYesNo, IdYes},
        {wxID_NO, MbYesNoCancel, IdNo},
        {wxID_CANCEL, MbYesNoCancel, IdCancel},
        {wxID_CANCEL, MbOkCancel, IdCancel},
        // Closing a box that has no Cancel gives its safe answer.
        {wxID_CANCEL, MbYesNo, IdNo},
        {wxID_CANCEL, MbOk, IdOk},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WxUi::answerFor(c.wxResult, c.flags), c.answer) << c.wxResult << " " << c.flags;
    }
}

TEST(WxUi, ChooserFiltersAndStyles) {
    FileChooserRequest open;
    open.filterLabel = u"Learning file (*.xml,*.mp3)";
    open.patterns = u"*.xml;*.mp3";
    EXPECT_EQ(WxUi::fileWildcard(open), "Learning file (*.xml,*.mp3)|*.xml;*.mp3");
    EXPECT_EQ(WxUi::fileDialogStyle(open), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    // Choosing never changes the current directory.
    EXPECT_EQ(WxUi::fileDialogStyle(open) & wxFD_CHANGE_DIR, 0);

    FileChooserRequest save;
    save.save = true;
    save.patterns = u"*.lrc";
    EXPECT_EQ(WxUi::fileWildcard(save), "*.lrc|*.lrc");
    EXPECT_EQ(WxUi::fileDialogStyle(save), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(WxUi::fileWildcard(FileChooserRequest{}), "All files (*)|*");
}

class WxUiLoop : public ::testing::Test {
protected:
    void SetUp() override { m_previous = installUi(std::make_unique<WxUi>()); }
    void TearDown() override { installUi(std::move(m_previous)); }

private:
    std::unique_ptr<UiServices> m_previous;
};

TEST_F(WxUiLoop, WorkPostedFromAWorkerRunsOnTheUiThread) {
    std::atomic<bool> ran{false};
    bool onUiThread = false;
    std::thread worker([&] {
        EXPECT_FALSE(ui().isUiThread());
        ui().post([&] {
            onUiThread = ui().isUiThread();
            ran = true;
        });
    });
    worker.join();
    EXPECT_TRUE(runEventsUntil([&] { return ran.load(); }));
    EXPECT_TRUE(onUiThread);
}

TEST_F(WxUiLoop, TimersRepeatAndMayStopThemselves) {
    int ticks = 0;
    int id = 0;
    id = ui().startTimer(5, [&] {
        if (++ticks == 3) {
            ui().stopTimer(id);
        }
    });
    EXPECT_GT(id, 0);
    EXPECT_TRUE(runEventsUntil([&] { return ticks >= 3; }));
    test::runEventsFor(60);
    EXPECT_EQ(ticks, 3);
}

// A worker that needs the UI thread before it can end: stop() must keep
// handling UI events while it waits, or both would wait for ever.
class NeedsTheUi : public Thread {
public:
    ~NeedsTheUi() override { stop(); }
    std::atomic<bool> started{false};
    std::atomic<bool> answered{false};

protected:
    void run() override {
        started = true;
        ui().post([this] { answered = true; });
        while (!answered) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
};

TEST_F(WxUiLoop, StoppingAThreadKeepsTheUiAliveSoTheWorkerCanFinish) {
    NeedsTheUi worker;
    worker.start();
    while (!worker.started) {
        std::this_thread::yield();
    }
    worker.stop();
    EXPECT_TRUE(worker.answered);
    EXPECT_FALSE(worker.isRunning());
}

TEST_F(WxUiLoop, ABoxAskedForByAWorkerIsShownOnTheUiThread) {
    // The box itself cannot be answered here, so check the hand-over: a worker's
    // request is queued for the UI thread rather than run on the worker.
    std::atomic<bool> posted{false};
    std::thread worker([&] { ui().post([&] { posted = true; }); });
    worker.join();
    EXPECT_TRUE(runEventsUntil([&] { return posted.load(); }));
}

}  // namespace
}  // namespace pw
