// Installation of the user-interface services.
#include "core/UiServices.h"

#include <mutex>

#include "core/HeadlessUi.h"

namespace pw {
namespace {

std::mutex g_mutex;
std::unique_ptr<UiServices> g_services;

}  // namespace

UiServices& ui() {
    std::lock_guard lock(g_mutex);
    if (!g_services) {
        g_services = std::make_unique<HeadlessUi>();
    }
    return *g_services;
}

std::unique_ptr<UiServices> installUi(std::unique_ptr<UiServices> services) {
    std::lock_guard lock(g_mutex);
    std::swap(g_services, services);
    return services;
}

int messageBox(const std::u16string& text, unsigned flags, const std::u16string& caption) {
    return ui().messageBox(text, caption, flags);
}

}  // namespace pw
