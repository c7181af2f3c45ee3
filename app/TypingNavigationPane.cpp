// The content pane.
#include "app/TypingNavigationPane.h"

#include <algorithm>

#include <wx/toplevel.h>

#include "core/AppFiles.h"
#include "core/UiServices.h"
#include "core/Utf.h"
#include "dictionary/ui/DictionaryDialog.h"
#include "export/ui/FlashWritingConverter.h"
#include "gui/WxText.h"
#include "gui/WxUi.h"
#include "printing/ui/HtmlPrinter.h"
#include "printing/ui/WordCounterDialog.h"

namespace pw {
namespace {
constexpr int kToolHeight = 28;
// The library takes three tenths of the width, within these bounds.
constexpr int kMinLibraryWidth = 200;
constexpr int kMaxLibraryWidth = 360;
}  // namespace

int TypingNavigationPane::libraryWidth(int width) {
    return std::clamp(width * 3 / 10, std::min(kMinLibraryWidth, width), kMaxLibraryWidth);
}

wxSize TypingNavigationPane::preferredSize() {
    const Size practice = TypingPane::preferredSize(SentenceSpeaker::kPreferredHeight);
    int width = practice.width;
    while (width - libraryWidth(width) < practice.width) {
        ++width;
    }
    return {width, practice.height};
}

TypingNavigationPane::TypingNavigationPane() : m_library(*this), m_toolWindow(*this) {}

TypingNavigationPane::~TypingNavigationPane() {
    m_dictionary.reset();
    m_typing.setSpeakerPane(nullptr);
}

bool TypingNavigationPane::onCreate() {
    m_toolWindow.create(*this);
    m_tabs.create(*this);
    m_library.create(m_tabs);
    m_tabs.addPage(m_library, u"Data");
    // The start screen shows neither the practice's controls nor the
    // speaker's: they come once it is on screen.
    m_typing.deferControls([this] {
        m_speakerPane.setDictionaryOpener([this] { openDictionary(); });
        m_speakerPane.create(m_typing);
        m_typing.setSpeakerPane(&m_speakerPane);
    });
    m_typing.create(*this);
    m_typing.session().setAudioConversionOpener([this](const std::vector<int>& rows) {
        // Once the list's menu has closed.
        if (wxWindow* window = handle()) {
            window->CallAfter([this, rows] { openAudioConversion(rows); });
        }
    });
    m_typing.session().setPrintOpener([this](const std::vector<int>& rows) {
        if (wxWindow* window = handle()) {
            window->CallAfter([this, rows] { openPrinter(rows); });
        }
    });
    loadLibrary();
    openStartFile();
    onSize(clientWidth(), clientHeight());
    return true;
}

void TypingNavigationPane::onSize(int width, int height) {
    const int left = libraryWidth(width);
    const int toolHeight = std::max(kToolHeight, m_toolWindow.bestSize().y);
    m_toolWindow.setBounds(0, 0, left, toolHeight);
    m_tabs.setBounds(0, toolHeight, left, std::max(0, height - toolHeight));
    m_typing.setBounds(left, 0, std::max(0, width - left), height);
}

bool TypingNavigationPane::onCommand(const Command& command) {
    switch (command.id) {
        case kWordCounterCommand:
            openWordCounter();
            return true;
        case kAlwaysOnTopCommand:
            setAlwaysOnTop(m_toolWindow.isChecked(kAlwaysOnTopCommand));
            return true;
        case kThemeMenuCommand:
            openThemeMenu();
            return true;
        default:
            return false;
    }
}

bool TypingNavigationPane::onNotify(const Notify&) {
    return false;
}

bool TypingNavigationPane::onClose() {
    saveLibrary();
    return practiceArea().finish();
}

bool TypingNavigationPane::onKeyDown(const KeyInput& key) {
    return practiceArea().keyDown(key);
}

bool TypingNavigationPane::onKeyUp(const KeyInput& key) {
    return practiceArea().keyUp(key);
}

bool TypingNavigationPane::onChar(const KeyInput& key) {
    return practiceArea().charTyped(key);
}

bool TypingNavigationPane::onMouse(const MouseInput&) {
    return false;
}

void TypingNavigationPane::bindControlEvents() {
    // Keys reach this hook before the focused control, from any child.
    listen(wxEVT_CHAR_HOOK);
}

bool TypingNavigationPane::isWordCounterKey(const KeyInput& key) {
    return key.keyCode == 'W' && key.control && key.shift && !key.alt;
}

bool TypingNavigationPane::windowProc(wxEvent& event) {
    if (event.GetEventType() != wxEVT_CHAR_HOOK) {
        return BaseWindow::windowProc(event);
    }
    if (!isWordCounterKey(keyInput(static_cast<wxKeyEvent&>(event)))) {
        return false;  // on to the focused control
    }
    if (wxWindow* window = handle()) {
        window->CallAfter([this] { openWordCounter(); });
    }
    return true;
}

bool TypingNavigationPane::isAlwaysOnTop() const {
    const wxWindow* top = handle() ? wxGetTopLevelParent(handle()) : nullptr;
    return top && (top->GetWindowStyleFlag() & wxSTAY_ON_TOP);
}

void TypingNavigationPane::setAlwaysOnTop(bool onTop) {
    wxWindow* top = handle() ? wxGetTopLevelParent(handle()) : nullptr;
    if (!top) {
        return;
    }
    const long style = top->GetWindowStyleFlag();
    top->SetWindowStyleFlag(onTop ? style | wxSTAY_ON_TOP : style & ~wxSTAY_ON_TOP);
}

void TypingNavigationPane::loadLibrary() {
    m_library.loadLibrary();
}

void TypingNavigationPane::saveLibrary() {
    if (!m_library.library().root()) {
        return;
    }
    std::string error;
    if (!m_library.saveLibrary(&error)) {
        messageBox(u"The library of learning files could not be saved.\n" + fromUtf8(error),
                   MbOk | MbIconError);
    }
}

void TypingNavigationPane::openStartFile() {
    if (!m_startFile.empty()) {
        openLearningFile(m_startFile);
    }
}

bool TypingNavigationPane::openLearningFile(const std::u16string& path) {
    if (path.empty()) {
        return false;
    }
    PracticeArea& area = practiceArea();
    if (!area.releaseOpenFile()) {
        return false;  // results that could not be saved keep their file open
    }
    // An absolute path names one file; only a relative one may be in Data/.
    if (area.openFile(path) ||
        (!isAbsolutePath(path) &&
         area.openFile(fromUtf8(learnerFolder(AppFiles::kDataFolder)) + path))) {
        m_openFile = path;
        // The file's own label, also when another entry is selected or the
        // file came from the command line.
        setWindowTitle(m_library.labelForPath(path) + u" - Phrasewright");
        return true;
    }
    closeLearningFile();
    return false;
}

void TypingNavigationPane::learningFilesRemoved(const std::vector<std::u16string>& paths) {
    if (!m_openFile.empty() && std::find(paths.begin(), paths.end(), m_openFile) != paths.end() &&
        practiceArea().releaseOpenFile()) {
        closeLearningFile();
    }
}

void TypingNavigationPane::closeLearningFile() {
    practiceArea().resetToNoFile();
    m_openFile.clear();
    setWindowTitle(u"Phrasewright");
}

void TypingNavigationPane::setWindowTitle(const std::u16string& title) {
    wxWindow* top = handle() ? wxGetTopLevelParent(handle()) : nullptr;
    if (BaseWindow* window = BaseWindow::fromHandle(top)) {
        window->setText(title);
    } else if (top) {
        top->SetLabel(toWx(title));
    }
}

void TypingNavigationPane::openWordCounter() {
    WordCounterDialog dialog;
    dialog.showModal(mainWindow());
}

void TypingNavigationPane::openAudioConversion(const std::vector<int>& rows) {
    SentenceListModel& list = m_typing.session().list();
    FlashWritingConverter dialog(m_typing.speaker(),
                                 makeConversionRows(list, rows, list.wordMode()));
    dialog.showModal(mainWindow());
}

void TypingNavigationPane::openPrinter(const std::vector<int>& rows) {
    HtmlPrinter printer;
    printer.page().fill(m_typing.session().list(), rows);
    printer.showModal(mainWindow());
}

void TypingNavigationPane::openDictionary() {
    if (m_dictionary && m_dictionary->isOpen()) {
        if (wxWindow* window = m_dictionary->handle()) {
            window->Raise();
        }
        return;
    }
    m_dictionary = std::make_unique<DictionaryDialog>();
    m_dictionary->showModeless(mainWindow());
}

void TypingNavigationPane::openThemeMenu() {
    practiceArea().showThemeMenu();
}

}  // namespace pw
