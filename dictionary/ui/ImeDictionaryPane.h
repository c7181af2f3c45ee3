// The readings pane of the dictionary window: the analyser chosen among the
// identifiers, "Use IME as Dictionary" (the readings stage of speech), an
// editor to try texts in, and a page that shows the typed text with its
// readings as ruby. "Open" registers the typed word with its reading.
#pragma once

#include <functional>
#include <string>

#include "browser/WebBrowser.h"
#include "dictionary/ImeReadings.h"
#include "editor/TextEditor.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Component.h"
#include "gui/Label.h"

namespace pw {

class ImeDictionaryPane : public Component, private WebBrowserListener {
public:
    // The word "Open" offers for registration (the editor's text when it is
    // shorter than this, else nothing) and its reading.
    static constexpr size_t kMaxOfferedWord = 10;
    using RegistrationHandler =
        std::function<void(const std::u16string& word, const std::u16string& reading)>;

    // readings must outlive the pane.
    explicit ImeDictionaryPane(ImeReadings& readings);
    ~ImeDictionaryPane() override;

    // What "Open" calls; the window registers the word in the word pane.
    void setRegistrationHandler(RegistrationHandler handler) {
        m_registration = std::move(handler);
    }

    ComboBox& selector() { return m_selector; }
    CheckBox& useAsDictionary() { return m_use; }
    Button& openButton() { return m_open; }
    TextEditor& textEditor() { return m_editor; }
    // The preview; null until a text has been shown in it.
    WebBrowser* preview() { return m_preview.handle() ? &m_preview : nullptr; }
    // The last page handed to the preview; empty before the first.
    const std::u16string& previewPage() const { return m_page; }
    bool isPreviewLoading() const { return m_loading; }

    // Shows the editor's text with its readings, when there is a text and
    // the chosen analyser opens.
    void showPreview();
    // The HTML of the page the preview shows, as the engine has it now;
    // empty when there is no preview.
    void requestPreviewHtml(std::function<void(const std::u16string& html)> done);
    // "Open": hands the word and its reading to the registration handler.
    void registerWord();
    // Puts the settings' state into the controls.
    void refresh();

    bool onCreate() override;
    void onSize(int width, int height) override;
    bool onCommand(const Command& command) override;

private:
    void pageLoaded(WebBrowser& browser, bool ok) override;

    ImeReadings& m_readings;
    Label m_nameLabel;
    ComboBox m_selector;
    Button m_open;
    CheckBox m_use;
    TextEditor m_editor;
    WebBrowser m_preview;
    std::u16string m_page;
    bool m_loading = false;
    RegistrationHandler m_registration;
};

}  // namespace pw
