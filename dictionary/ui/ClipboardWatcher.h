// Tells when the text on the clipboard changes. The toolkit has no change
// notification of its own on every platform, so the clipboard is looked at
// a few times a second while the watcher runs.
#pragma once

#include <functional>
#include <memory>
#include <string>

class wxTimer;

namespace pw {

class ClipboardWatcher {
public:
    using Listener = std::function<void(const std::u16string& text)>;
    static constexpr int kIntervalMs = 300;

    explicit ClipboardWatcher(Listener listener);
    ~ClipboardWatcher();
    ClipboardWatcher(const ClipboardWatcher&) = delete;
    ClipboardWatcher& operator=(const ClipboardWatcher&) = delete;

    // What is on the clipboard when it starts is not a change.
    void start();
    void stop();
    bool isRunning() const;

    // The clipboard's text now; empty when it holds none.
    static std::u16string currentText();
    // Looks at the clipboard now, as the timer does.
    void check();

private:
    Listener m_listener;
    std::unique_ptr<wxTimer> m_timer;
    std::u16string m_last;
};

}  // namespace pw
