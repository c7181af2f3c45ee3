// Start-up and shutdown of the windowed program.
#include "app/GuiApplication.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <wx/icon.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include "app/ScreenCapture.h"
#include "app/TestApp.h"
#include "audio/AudioEngine.h"
#include "core/AppFiles.h"
#include "core/Utf.h"
#include "gui/ImageStrip.h"
#include "gui/WxUi.h"

namespace pw {
namespace {

const auto g_processStart = std::chrono::steady_clock::now();

int envInt(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : 0;
}

}  // namespace

GuiApplication::GuiApplication(std::u16string startFile) : m_startFile(std::move(startFile)) {}

GuiApplication::~GuiApplication() = default;

bool GuiApplication::OnInit() {
    // The base OnInit would parse the command line, whose file argument is ours.
    SetAppName("Phrasewright");
    installUi(std::make_unique<WxUi>());
    enablePngImages();

    m_mainWindow = std::make_unique<TestApp>();
    m_mainWindow->contentPane().setStartFile(m_startFile);
    if (!m_mainWindow->createTopLevel()) {
        return false;
    }
    m_keyForwarder.setTarget(&m_mainWindow->contentPane());
    // A learning file from the command line has given the window its title.
    if (m_mainWindow->getText().empty()) {
        m_mainWindow->setText(u"Phrasewright");
    }
    m_mainWindow->setVisible(true);
    {
        wxLogNull quiet;  // a missing icon file leaves the default icon
        const wxImage image(wxString::FromUTF8(shippedFile("Resources/Phrasewright.png")),
                            wxBITMAP_TYPE_PNG);
        if (image.IsOk()) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap(image));
            static_cast<wxTopLevelWindow*>(m_mainWindow->handle())->SetIcon(icon);
        }
    }
    // Logging out ends the program the way closing its window does, so the
    // placement and results are saved and the scratch folder is removed.
    SetSignalHandler(SIGTERM, [](int) {
        if (wxWindow* window = mainWindow()) {
            window->Close();
        }
    });
    startTestHooks();
    // The sound output opens in the background once the window is up: early
    // enough for the first key click and sentence, without competing with
    // the window's first picture (its libraries load then, a few ms).
    whenShown([] { AudioEngine::instance().initializeInBackground(); });
    Bind(wxEVT_IDLE, &GuiApplication::runShownSteps, this);
    return true;
}

void GuiApplication::whenShown(std::function<void()> step) {
    m_shownSteps.push_back(std::move(step));
}

void GuiApplication::runShownSteps(wxIdleEvent& event) {
    event.Skip();
    if (m_shownSteps.empty() || !m_mainWindow->handle() ||
        !m_mainWindow->handle()->IsShownOnScreen()) {
        return;
    }
    for (auto& step : std::exchange(m_shownSteps, {})) {
        step();
    }
}

void GuiApplication::startTestHooks() {
    const bool marker = std::getenv("PW_SHOWN_MARKER") != nullptr;
    const int autoCloseMs = envInt("PW_AUTOCLOSE_MS");
    const char* screenshot = std::getenv("PW_SCREENSHOT");
    if (screenshot && *screenshot) {
        startScreenshotTimer(screenshot);
    }
    if (!marker && autoCloseMs <= 0) {
        return;
    }
    whenShown([this, marker, autoCloseMs] {
        if (marker) {
            const auto elapsed = std::chrono::steady_clock::now() - g_processStart;
            std::printf("PW_SHOWN %.1f\n",
                        std::chrono::duration<double, std::milli>(elapsed).count());
            std::printf("PW_TITLE %s\n", toUtf8(m_mainWindow->getText()).c_str());
            std::fflush(stdout);
        }
        if (autoCloseMs > 0) {
            auto* timer = new wxTimer;
            timer->Bind(wxEVT_TIMER, [this, timer](wxTimerEvent&) {
                if (m_mainWindow->handle()) {
                    m_mainWindow->handle()->Close();
                }
                timer->Stop();
                CallAfter([timer] { delete timer; });
            });
            timer->StartOnce(autoCloseMs);
        }
    });
}

void GuiApplication::startScreenshotTimer(const std::string& path) {
    constexpr int kSettleMs = 500;
    auto* timer = new wxTimer;
    timer->Bind(wxEVT_TIMER, [this, timer, path](wxTimerEvent&) {
        wxWindow* window = m_mainWindow->handle();
        if (!window || !window->IsShownOnScreen()) {
            return;  // not yet: the timer comes again
        }
        timer->Stop();
        std::string error;
        if (!captureWindow(window, path, &error)) {
            std::fprintf(stderr, "PW_SCREENSHOT %s: %s\n", path.c_str(), error.c_str());
        }
        CallAfter([timer] { delete timer; });
    });
    timer->Start(kSettleMs);
}

int GuiApplication::FilterEvent(wxEvent& event) {
    m_keyForwarder.filter(event);
    return Event_Skip;
}

int GuiApplication::OnExit() {
    m_keyForwarder.setTarget(nullptr);
    m_mainWindow.reset();  // the content pane first, then the main window
    installUi(nullptr);
    return wxApp::OnExit();
}

int runWindowed(int argc, char** argv, std::u16string startFile) {
    static const char kNoDisplay[] =
        "phrasewright: cannot open the main window: no display can be reached (DISPLAY or "
        "WAYLAND_DISPLAY); the commands of phrasewright --help work without one\n";
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    wxApp::SetInstance(new GuiApplication(std::move(startFile)));
    bool started = false;
    {
        // A failed start logs its reason, and wx would show the log in a
        // window, which is what cannot be opened: the line below says it.
        wxLogNull quiet;
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    // What wxEntry does once the toolkit is up.
    int status = 1;
    try {
        if (wxTheApp->CallOnInit()) {
            status = wxTheApp->OnRun();
            wxTheApp->OnExit();
        }
    } catch (...) {
        wxTheApp->OnUnhandledException();
        status = 1;
    }
    wxEntryCleanup();
    return status == 0 ? 0 : 1;
}

}  // namespace pw
