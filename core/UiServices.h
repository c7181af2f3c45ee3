// The few services through which code below the GUI reaches the user: message
// boxes, file and folder choosers, and work handed to the user-interface thread.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pw {

// Message-box flags and answers keep the values of the classic message box so
// that callers can be written the way the program's dialogs were designed.
enum MessageBoxFlags : unsigned {
    MbOk = 0x0,
    MbOkCancel = 0x1,
    MbYesNoCancel = 0x3,
    MbYesNo = 0x4,
    MbButtonMask = 0xF,
    MbIconError = 0x10,
    MbIconQuestion = 0x20,
    MbIconWarning = 0x30,
    MbIconInformation = 0x40,
    MbIconMask = 0xF0,
    MbDefButton2 = 0x100,
    MbDefButton3 = 0x200,
};

enum MessageBoxAnswer : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

inline constexpr const char16_t* kDefaultCaption = u"Korvant";

struct FileChooserRequest {
    std::u16string title;
    std::u16string filterLabel;  // e.g. "Learning file (*.xml,*.mp3)"
    std::u16string patterns;     // e.g. "*.xml;*.mp3"
    std::u16string initialDirectory;
    std::u16string defaultName;
    bool save = false;
    bool mustExist = true;
};

class UiServices {
public:
    virtual ~UiServices() = default;

    // Shows a top-most box and returns one of MessageBoxAnswer.
    virtual int messageBox(const std::u16string& text, const std::u16string& caption,
                           unsigned flags) = 0;
    virtual std::optional<std::u16string> chooseFile(const FileChooserRequest& request) = 0;
    virtual std::optional<std::u16string> chooseFolder(const std::u16string& title,
                                                       const std::u16string& initial) = 0;

    // Queues task to run on the user-interface thread; callable from any thread.
    virtual void post(std::function<void()> task) = 0;
    // Repeating timer on the user-interface thread; returns an id above 0.
    virtual int startTimer(int intervalMs, std::function<void()> tick) = 0;
    virtual void stopTimer(int id) = 0;
    // Handles what is pending for the user-interface thread, without blocking.
    virtual void pumpPendingEvents() = 0;
    virtual bool isUiThread() const = 0;
};

// The installed services; a headless implementation until one is installed.
UiServices& ui();
// Installs services and returns the previous ones (null when none was set).
std::unique_ptr<UiServices> installUi(std::unique_ptr<UiServices> services);

// The one function through which the program shows a message box.
int messageBox(const std::u16string& text, unsigned flags = MbOk,
               const std::u16string& caption = kDefaultCaption);

}  // namespace pw
