// Window placement.
#include "app/WindowPlacement.h"

#include <algorithm>
#include <climits>

#include "core/ProfileSettings.h"

namespace pw {

WindowRect centredRect(int screenWidth, int screenHeight, int width, int height) {
    // Signed division: a screen smaller than the window gives a negative origin.
    const int left = (screenWidth - width) / 2;
    const int top = (screenHeight - height) / 2;
    return WindowRect{left, top, left + width, top + height};
}

size_t nearestMonitor(const WindowRect& rect, const std::vector<WindowRect>& monitors) {
    size_t best = 0;
    long long bestOverlap = 0;
    long long bestDistance = LLONG_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const WindowRect& m = monitors[i];
        const long long w = std::min(rect.right, m.right) - std::max(rect.left, m.left);
        const long long h = std::min(rect.bottom, m.bottom) - std::max(rect.top, m.top);
        if (w > 0 && h > 0) {
            if (w * h > bestOverlap) {
                bestOverlap = w * h;
                best = i;
            }
            continue;
        }
        if (bestOverlap > 0) {
            continue;
        }
        const long long dx = std::max({0, m.left - rect.right, rect.left - m.right});
        const long long dy = std::max({0, m.top - rect.bottom, rect.top - m.bottom});
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = i;
        }
    }
    return best;
}

WindowRect clampToMonitor(WindowRect rect, const WindowRect& monitor) {
    const int width = rect.width();
    const int height = rect.height();
    if (rect.right > monitor.right) {
        rect.left -= rect.right - monitor.right;
    }
    if (rect.left < monitor.left) {
        rect.left = monitor.left;
    }
    if (rect.top + height > monitor.bottom) {
        rect.top = monitor.bottom - height;
    }
    if (rect.top < monitor.top) {
        rect.top = monitor.top;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

WindowRect defaultWindowRect(const WindowRect& workArea, int width, int height) {
    width = std::min(width, workArea.width());
    height = std::min(height, workArea.height());
    const WindowRect centred = centredRect(workArea.width(), workArea.height(), width, height);
    return WindowRect{workArea.left + centred.left, workArea.top + centred.top,
                      workArea.left + centred.right, workArea.top + centred.bottom};
}

WindowRect readWindowRect(const ProfileSettings& settings, const WindowRect& fallback) {
    const auto read = [&](const IntSetting& setting, int value) {
        return settings.readInt(setting.section, setting.key, value);
    };
    const int left = read(settings::kMainLeft, fallback.left);
    const int top = read(settings::kMainTop, fallback.top);
    const int width = read(settings::kMainWidth, fallback.width());
    const int height = read(settings::kMainHeight, fallback.height());
    return WindowRect{left, top, left + width, top + height};
}

void writeWindowPlacement(ProfileSettings& settings, const WindowRect& restored, bool zoomed) {
    // Write failures are ignored: the next start simply uses the old placement.
    ProfileSettings::Batch batch(settings);
    settings.write(settings::kMainLeft, restored.left);
    settings.write(settings::kMainTop, restored.top);
    settings.write(settings::kMainWidth, restored.width());
    settings.write(settings::kMainHeight, restored.height());
    settings.writeString(settings::kZoomed.section, settings::kZoomed.key, zoomed ? u"1" : u"0");
}

void RestoredPlacement::reset(const WindowRect& rect) {
    m_current = rect;
    m_previous = rect;
}

void RestoredPlacement::changed(const WindowRect& rect, bool maximized, bool minimized) {
    if (maximized || minimized || rect == m_current) {
        return;
    }
    m_previous = m_current;
    m_current = rect;
}

WindowRect RestoredPlacement::restored(bool maximizedNow, const WindowRect& current) const {
    return maximizedNow && m_current == current ? m_previous : m_current;
}

}  // namespace pw
