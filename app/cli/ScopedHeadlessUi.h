// The user-interface services of a headless command: boxes go to standard
// error, and the command's thread carries posted work, timers and the
// speaker's events.
#pragma once

#include <memory>

#include "core/HeadlessUi.h"

namespace pw {

class ScopedHeadlessUi {
public:
    ScopedHeadlessUi() {
        auto ui = std::make_unique<HeadlessUi>();
        m_ui = ui.get();
        m_previous = installUi(std::move(ui));
    }
    ~ScopedHeadlessUi() { installUi(std::move(m_previous)); }
    ScopedHeadlessUi(const ScopedHeadlessUi&) = delete;
    ScopedHeadlessUi& operator=(const ScopedHeadlessUi&) = delete;
    HeadlessUi& operator*() { return *m_ui; }
    HeadlessUi* operator->() { return m_ui; }

private:
    HeadlessUi* m_ui;
    std::unique_ptr<UiServices> m_previous;
};

}  // namespace pw
