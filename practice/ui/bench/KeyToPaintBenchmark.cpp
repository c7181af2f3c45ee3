// From a key event to the repainted practice view, in the real pane under a
// display (xvfb-run -a build/bench/practice_ui_bench):
//   BM_KeyEvents     the key's events through the pane and the session alone;
//   BM_KeyToPicture  the key's events through the pane and the session, then
//                    the whole view painted into a picture: the program's own
//                    work for one key;
//   BM_KeyToScreen   the same key, then the pane repainted on the display
//                    through the toolkit and the X server.
// Sentences of growing length, wrapped as the pane wraps them.
#include <cstdio>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "core/ProfileSettings.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "practice/CharacterClasses.h"
#include "practice/bench/LongSentence.h"
#include "practice/ui/TypingPane.h"
#include "practice/ui/testsupport/KeyPresses.h"
#include "speech/tests/SpeechFakes.h"

namespace pw {
namespace {

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

class QuietKeys : public KeySound {
public:
    void play() override {}
};

void runPendingEvents() {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (loop && loop->Pending()) {
        loop->Dispatch();
    }
    wxTheApp->ProcessPendingEvents();
}

// A shown window holding a practice pane in a Dictation run over one
// sentence of about length characters.
class Fixture {
public:
    explicit Fixture(size_t length) {
        ProfileSettings::instance().setPath(m_dir.file("phrasewright.ini"));
        const std::string list = m_dir.file("long.xml");
        test::writeAll(list, "<SentenceList><SentenceGroup><sentence><![CDATA[" +
                                 toUtf8(bench::longSentence(length)) +
                                 "]]></sentence><translation><![CDATA[長い文を聞いて打ちます。]]>"
                                 "</translation></SentenceGroup></SentenceList>");
        PracticeSetup setup;
        setup.keySound = &m_keys;
        setup.logPath = m_dir.file("Log.xml");
        setup.themePath = m_dir.file("ThemeList.xml");
        m_pane = std::make_unique<TypingPane>(setup, std::make_unique<test::FakePlayer>(),
                                              m_voices.factory());
        m_host.createTopLevel();
        m_host.setBounds(0, 0, 1000, 700);
        m_host.setVisible(true);
        m_pane->create(m_host, 0, 0, 1000, 700);
        for (int i = 0; i < 200 && !m_host.handle()->IsShownOnScreen(); ++i) {
            runPendingEvents();
            wxMilliSleep(5);
        }
        m_pane->openFile(fromUtf8(list));
        startRun();
    }
    ~Fixture() {
        m_pane.reset();
        m_host.destroy();
    }

    TypingPane& pane() { return *m_pane; }
    void startRun() {
        m_pane->session().run().setState(PracticeState::Stop);
        m_pane->session().startRun(RunKind::AllRows);
    }
    // The key the learner would type next, or a miss every 16th key.
    wxChar nextKey() {
        char16_t key = m_pane->session().sentence().expected();
        if (++m_keysTyped % 16 == 0 || !typing::isWordChar(key)) {
            key = u'q';
        }
        return key;
    }

private:
    test::TempDir m_dir;
    QuietKeys m_keys;
    test::FakeVoices m_voices;
    BaseWindow m_host;
    std::unique_ptr<TypingPane> m_pane;
    size_t m_keysTyped = 0;
};

template <typename Repaint>
void typeKeys(benchmark::State& state, Repaint repaint) {
    Fixture fixture(static_cast<size_t>(state.range(0)));
    TypingPane& pane = fixture.pane();
    int64_t keys = 0;
    for (auto _ : state) {
        if (pane.session().state() != PracticeState::Typing) {
            state.PauseTiming();
            fixture.startRun();
            runPendingEvents();
            state.ResumeTiming();
        }
        test::typeChar(pane.handle(), fixture.nextKey());
        repaint(pane);
        ++keys;
    }
    state.SetItemsProcessed(keys);
}

void BM_KeyEvents(benchmark::State& state) {
    typeKeys(state, [](TypingPane&) {});
}

void BM_KeyToPicture(benchmark::State& state) {
    wxBitmap picture(1000, 700, 24);
    typeKeys(state, [&](TypingPane& pane) {
        wxMemoryDC dc(picture);
        pane.paintView(dc);
    });
}

void BM_KeyToScreen(benchmark::State& state) {
    typeKeys(state, [](TypingPane& pane) {
        pane.handle()->Update();
        runPendingEvents();
    });
}

BENCHMARK(BM_KeyEvents)->Arg(40)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyToPicture)->Arg(40)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyToScreen)->Arg(40)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pw

wxIMPLEMENT_APP_NO_MAIN(pw::BenchApp);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "Cannot start the GUI toolkit: run under xvfb-run -a.\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        benchmark::RunSpecifiedBenchmarks();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
