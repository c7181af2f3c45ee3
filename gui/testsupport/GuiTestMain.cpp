// The main of GUI test programs: starts wxWidgets (a display is needed; run
// under xvfb-run -a), runs the tests, shuts wxWidgets down.
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {

class GuiTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "Cannot start the GUI toolkit: no display? Run under xvfb-run -a.\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
