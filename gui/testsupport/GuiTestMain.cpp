// The main of GUI test programs: starts wxWidgets (a display is needed; run
// under xvfb-run -a), runs the tests, shuts wxWidgets down.
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>

namespace {

class GuiTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

// The desktop libraries keep caches for the life of the process (fonts, type
// registrations); the leak checker is told about them so it reports ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n"
           "leak:libgio-2.0\n"
           "leak:libgtk-3\n"
           "leak:libgdk-3\n"
           "leak:libpango\n"
           "leak:libcairo\n"
           "leak:libharfbuzz\n"
           "leak:libX11\n"
           "leak:libatk\n"
           "leak:libatspi\n"
           "leak:libdbus\n"
           // The sound server's client, opened by the sound library's plug-in
           // when a test plays into the null sink.
           "leak:libpulse\n"
           // The web engine's JavaScript engine, and the loader's records of
           // the thread-local storage of the libraries it opened (see below).
           "leak:libjavascriptcoregtk\n"
           "leak:libwebkit2gtk\n"
           "leak:ld-linux\n";
}

// The web engine's threads hold thread-local storage that the leak checker
// faults on when it reads it at exit; it takes no roots from there instead.
extern "C" const char* __lsan_default_options() {
    return "use_tls=0";
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the cases (as CTest does to register each) needs no display.
    if (testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Cannot start the GUI toolkit: no display? Run under xvfb-run -a.\n");
        return 1;
    }
    // A failed wx assertion fails the test instead of opening a dialog.
    wxSetAssertHandler([](const wxString& file, int line, const wxString& function,
                          const wxString& condition, const wxString& message) {
        ADD_FAILURE_AT(file.utf8_str().data(), line)
            << "wx assertion " << condition.utf8_str().data() << " failed in "
            << function.utf8_str().data() << ": " << message.utf8_str().data();
    });
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
