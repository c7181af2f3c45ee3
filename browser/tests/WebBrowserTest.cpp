// The HTML view with the real engine under a display: documents and the
// calls into them (also those made while a document loads), answers, the
// context menu hook, links, printing, destruction with answers outstanding,
// and a missing engine module.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/window.h>

#include "browser/WebBrowser.h"
#include "core/Utf.h"
#include "core/testsupport/TestFiles.h"
#include "gui/testsupport/GuiTest.h"

namespace pw {
namespace {
namespace fs = std::filesystem;
using test::runEventsUntil;

constexpr const char* kPage =
    "<!DOCTYPE html><html><head><meta charset='utf-8'><script>"
    "var calls = [];"
    "function mark() { calls.push('mark'); }"
    "function fail() { throw new Error('no'); }"
    "</script></head><body>"
    "<p id='first'>one</p><p id='second'>two</p>"
    "<a id='away' href='https://example.invalid/elsewhere'>away</a>"
    "</body></html>";

class Recorder : public WebBrowserListener {
public:
    void pageLoaded(WebBrowser&, bool ok) override { loads.push_back(ok); }
    void pageContextMenu(WebBrowser&, int x, int y) override { menus.push_back({x, y}); }
    bool pageLinkClicked(WebBrowser&, const std::u16string& url) override {
        links.push_back(url);
        return true;
    }
    std::vector<bool> loads;
    std::vector<std::pair<int, int>> menus;
    std::vector<std::u16string> links;
};

class Browser : public ::testing::Test {
protected:
    void SetUp() override {
        browser.setListener(&recorder);
        ASSERT_TRUE(browser.create(host, 0, 0, 600, 400)) << toUtf8(browser.lastError());
        test::writeAll(page(), kPage);
    }
    std::string page() const { return dir.file("page.html"); }
    bool loaded(size_t count = 1) {
        return runEventsUntil([&] { return recorder.loads.size() >= count; }, 20000);
    }
    std::u16string eval(const std::u16string& script) {
        bool ok = false;
        std::u16string value = browser.evaluate(script, &ok, 10000);
        EXPECT_TRUE(ok) << toUtf8(script) << ": " << toUtf8(value);
        return value;
    }

    test::TempDir dir;
    test::HostWindow host{600, 400};
    Recorder recorder;
    WebBrowser browser;
};

TEST_F(Browser, CallsMadeWhileThePageLoadsRunInOrderOnceItHas) {
    ASSERT_TRUE(browser.navigate(page()));
    EXPECT_TRUE(browser.isLoading());
    // Whatever the text holds reaches the element as it is.
    const std::u16string texts[] = {
        u"it's \"quoted\" \\ backslashed",
        u"two\r\nlines\nand\u2028separator",
        u"</script><b>bold</b>",
        u"日本語と😀",
        u"",
    };
    std::vector<bool> found;
    for (const std::u16string& text : texts) {
        browser.setElementHtml(u"first", text, [&](bool set) { found.push_back(set); });
    }
    browser.setElementHtml(u"nowhere", u"x", [&](bool set) { found.push_back(set); });
    browser.callFunction(u"mark");
    browser.setElementHtml(u"second", texts[3]);
    ASSERT_TRUE(loaded());
    EXPECT_EQ(recorder.loads, std::vector<bool>{true});
    EXPECT_FALSE(browser.isLoading());

    EXPECT_EQ(eval(u"calls.join()"), u"mark");
    EXPECT_EQ(found, (std::vector<bool>{true, true, true, true, true, false}));
    // The last text won; each one went in whole.
    EXPECT_EQ(eval(u"document.getElementById('first').innerHTML"), u"");
    EXPECT_EQ(eval(u"document.getElementById('second').innerHTML"), texts[3]);
    for (const std::u16string& text : texts) {
        browser.setElementHtml(u"first", text);
        EXPECT_EQ(eval(u"document.getElementById('first').innerHTML"),
                  eval(u"(function () { var d = document.createElement('div'); d.innerHTML = " +
                       WebBrowser::scriptString(text) + u"; return d.innerHTML; })()"));
    }
    EXPECT_EQ(eval(u"document.getElementById('first').innerText"), u"");
    browser.setElementHtml(u"first", texts[2]);
    EXPECT_EQ(eval(u"document.getElementById('first').innerText"), u"bold");
}

TEST_F(Browser, FunctionsThatAreMissingOrThrowAreReportedSo) {
    ASSERT_TRUE(browser.navigate(page()));
    ASSERT_TRUE(loaded());
    std::vector<std::pair<std::u16string, bool>> called;
    for (const char16_t* name : {u"mark", u"nothing", u"fail", u"calls", u"mark"}) {
        browser.callFunction(name, [&called, name](bool done) { called.push_back({name, done}); });
    }
    EXPECT_EQ(eval(u"calls.join()"), u"mark,mark");
    EXPECT_EQ(called, (std::vector<std::pair<std::u16string, bool>>{{u"mark", true},
                                                                    {u"nothing", false},
                                                                    {u"fail", false},
                                                                    {u"calls", false},
                                                                    {u"mark", true}}));
    bool ok = true;
    browser.evaluate(u"undefinedName.property", &ok);
    EXPECT_FALSE(ok);
}

TEST_F(Browser, TheSelectionAndThePageTextAreRead) {
    ASSERT_TRUE(browser.navigate(page()));
    ASSERT_TRUE(loaded());
    std::vector<std::u16string> answers;
    const auto keep = [&](bool ok, const std::u16string& text) {
        EXPECT_TRUE(ok);
        answers.push_back(text);
    };
    browser.requestSelectedText(keep);
    eval(u"window.getSelection().selectAllChildren(document.getElementById('second')); 'done'");
    browser.requestSelectedText(keep);
    browser.requestPageText(keep);
    ASSERT_TRUE(runEventsUntil([&] { return answers.size() == 3; }, 10000));
    EXPECT_EQ(answers[0], u"");
    EXPECT_EQ(answers[1], u"two");
    EXPECT_NE(answers[2].find(u"one"), std::u16string::npos);
    EXPECT_NE(answers[2].find(u"two"), std::u16string::npos);
}

TEST_F(Browser, AWholeDocumentFindsItsFilesAndReloadingStartsAfresh) {
    test::writeAll(dir.file("extra.js"), "var extra = 'from the folder';");
    browser.setDocument(
        u"<html><head><script src='extra.js'></script></head><body><p id='x'>doc</p></body>"
        u"</html>",
        dir.path());
    browser.setElementHtml(u"x", u"changed");
    ASSERT_TRUE(loaded());
    EXPECT_EQ(eval(u"extra"), u"from the folder");
    EXPECT_EQ(eval(u"document.getElementById('x').innerHTML"), u"changed");

    ASSERT_TRUE(browser.navigate(page()));
    ASSERT_TRUE(loaded(2));
    browser.setElementHtml(u"first", u"changed");
    EXPECT_EQ(eval(u"document.getElementById('first').innerHTML"), u"changed");
    browser.reload();
    ASSERT_TRUE(loaded(3));
    EXPECT_EQ(eval(u"document.getElementById('first').innerHTML"), u"one");
    EXPECT_FALSE(browser.navigate(dir.file("missing.html")));
}

TEST_F(Browser, LinksAndContextMenusGoToTheProgramAndThePageStays) {
    ASSERT_TRUE(browser.navigate(page()));
    ASSERT_TRUE(loaded());
    const std::u16string address = eval(u"location.href");
    eval(u"document.getElementById('away').click(); 'clicked'");
    ASSERT_TRUE(runEventsUntil([&] { return !recorder.links.empty(); }, 10000));
    EXPECT_EQ(recorder.links, std::vector<std::u16string>{u"https://example.invalid/elsewhere"});
    test::runEventsFor(200);
    EXPECT_EQ(eval(u"location.href"), address);
    EXPECT_EQ(recorder.loads.size(), 1u);

    eval(
        u"document.getElementById('second').dispatchEvent(new MouseEvent('contextmenu', "
        u"{clientX: 30, clientY: 40, bubbles: true, cancelable: true})) ? 'shown' : 'kept'");
    ASSERT_TRUE(runEventsUntil([&] { return !recorder.menus.empty(); }, 10000));
    EXPECT_EQ(recorder.menus, (std::vector<std::pair<int, int>>{{30, 40}}));
}

TEST_F(Browser, APageCanBePrintedIntoAPdfFile) {
    ASSERT_TRUE(browser.navigate(page()));
    ASSERT_TRUE(loaded());
    const std::string pdf = dir.file("page.pdf");
    bool ended = false;
    bool printed = false;
    std::u16string error;
    ASSERT_TRUE(browser.printToFile(pdf, [&](bool ok, const std::u16string& why) {
        ended = true;
        printed = ok;
        error = why;
    }));
    ASSERT_TRUE(runEventsUntil([&] { return ended; }, 30000));
    ASSERT_TRUE(printed) << toUtf8(error);
    EXPECT_EQ(test::readAll(pdf).substr(0, 5), "%PDF-");
}

TEST_F(Browser, AnswersNeverComeAfterTheBrowserIsGone) {
    ASSERT_TRUE(browser.navigate(page()));
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(WebBrowser::isBrowserWindow(browser.handle()));
    EXPECT_FALSE(WebBrowser::isBrowserWindow(host.handle()));
    int answers = 0;
    browser.runScript(u"'late'", [&](bool, const std::u16string&) { ++answers; });
    browser.setElementHtml(u"first", u"late", [&](bool) { ++answers; });
    browser.destroy();
    test::runEventsFor(200);
    EXPECT_EQ(answers, 0);
    // Gone, it takes calls and does nothing.
    browser.setElementHtml(u"first", u"x", [&](bool) { ++answers; });
    EXPECT_FALSE(browser.navigate(page()));
    EXPECT_EQ(answers, 0);
}

// The program closing while the page still owes answers: they must not reach
// the view that went with the window.
TEST(BrowserClosing, AnswersOutstandingWhenTheWholeWindowGoesAreAwaitedSafely) {
    test::TempDir dir;
    test::writeAll(dir.file("page.html"), kPage);
    auto host = std::make_unique<test::HostWindow>(600, 400);
    WebBrowser browser;
    ASSERT_TRUE(browser.create(*host, 0, 0, 600, 400)) << toUtf8(browser.lastError());
    Recorder recorder;
    browser.setListener(&recorder);
    ASSERT_TRUE(browser.navigate(dir.file("page.html")));
    ASSERT_TRUE(runEventsUntil([&] { return !recorder.loads.empty(); }, 20000));
    int answers = 0;
    for (int i = 0; i < 5; ++i) {
        browser.runScript(u"(function(){var t=Date.now();while(Date.now()-t<40){}return 1;})()",
                          [&](bool, const std::u16string&) { ++answers; });
    }
    wxWindow* top = host->handle();
    top->Destroy();  // as closing the main window does: the page goes with it
    test::runEventsFor(1500);
    EXPECT_EQ(answers, 0);
    browser.destroy();
    host.reset();
}

TEST(BrowserEngine, WithoutTheEngineModuleNoPageIsMadeAndTheReasonIsGiven) {
    test::HostWindow host;
    WebBrowser::setEngineModulePath("/nonexistent/phrasewright-webkit.so");
    std::u16string why;
    EXPECT_FALSE(WebBrowser::isEngineAvailable(&why));
    EXPECT_NE(why.find(u"/nonexistent/phrasewright-webkit.so"), std::u16string::npos)
        << toUtf8(why);
    WebBrowser browser;
    EXPECT_FALSE(browser.create(host, 0, 0, 100, 100));
    EXPECT_EQ(browser.handle(), nullptr);
    EXPECT_EQ(browser.lastError(), why);

    // A file that is no engine module is refused with its reason too.
    test::TempDir dir;
    test::writeAll(dir.file("fake.so"), "not a library");
    WebBrowser::setEngineModulePath(dir.file("fake.so"));
    EXPECT_FALSE(browser.create(host, 0, 0, 100, 100));
    EXPECT_NE(browser.lastError().find(fromUtf8(dir.file("fake.so"))), std::u16string::npos);

    WebBrowser::setEngineModulePath("");
    EXPECT_TRUE(WebBrowser::isEngineAvailable());
    EXPECT_TRUE(browser.create(host, 0, 0, 100, 100)) << toUtf8(browser.lastError());
    browser.destroy();
    test::runEventsFor(200);
}

}  // namespace
}  // namespace pw
