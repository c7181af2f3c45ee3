// The yardstick for the start-up benchmark: the smallest wx program that shows
// a frame, reporting the moment it is on screen the same way the program does.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/timer.h>

namespace {

const auto g_start = std::chrono::steady_clock::now();

class MinimalApp : public wxApp {
public:
    bool OnInit() override {
        m_frame = new wxFrame(nullptr, wxID_ANY, "Minimal", wxDefaultPosition, wxSize(640, 480));
        m_frame->Show();
        Bind(wxEVT_IDLE, &MinimalApp::onIdle, this);
        return true;
    }

private:
    void onIdle(wxIdleEvent& event) {
        event.Skip();
        if (m_reported || !m_frame->IsShownOnScreen()) {
            return;
        }
        m_reported = true;
        const auto elapsed = std::chrono::steady_clock::now() - g_start;
        std::printf("PW_SHOWN %.1f\n", std::chrono::duration<double, std::milli>(elapsed).count());
        std::fflush(stdout);
        const char* close = std::getenv("PW_AUTOCLOSE_MS");
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_frame->Close(); });
        m_timer.StartOnce(close ? std::atoi(close) : 1);
    }

    wxFrame* m_frame = nullptr;
    wxTimer m_timer;
    bool m_reported = false;
};

}  // namespace

wxIMPLEMENT_APP(MinimalApp);
