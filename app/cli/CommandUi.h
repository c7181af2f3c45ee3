// Message boxes while a headless command runs: counted, and passed on to the
// services installed before (which print them) or dropped where the command
// says what failed itself.
#pragma once

#include <memory>

#include "core/UiServices.h"

namespace pw {

class ScopedCommandUi {
public:
    enum class Boxes { PassedOn, Dropped };

    explicit ScopedCommandUi(Boxes boxes);
    ~ScopedCommandUi();
    ScopedCommandUi(const ScopedCommandUi&) = delete;
    ScopedCommandUi& operator=(const ScopedCommandUi&) = delete;

    // The boxes shown since the object was made.
    int boxCount() const { return *m_count; }

private:
    std::shared_ptr<int> m_count;
    std::unique_ptr<UiServices> m_previous;
};

}  // namespace pw
