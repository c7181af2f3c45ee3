// Where the main window goes: the stored rectangle, pulled onto the nearest
// monitor, and the restored rectangle that is stored again at exit.
#pragma once

#include <string>
#include <vector>

namespace pw {

class ProfileSettings;

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

// A width x height window centred on a primary screen of the given size.
WindowRect centredRect(int screenWidth, int screenHeight, int width = 640, int height = 480);

// The monitor nearest to rect: the one it overlaps most, else the closest;
// 0 when there is none to choose.
size_t nearestMonitor(const WindowRect& rect, const std::vector<WindowRect>& monitors);

// Moves rect onto monitor keeping its size: first the right, then the left,
// then the bottom, then the top edge, so a window larger than the monitor
// ends at its left and top edges.
WindowRect clampToMonitor(WindowRect rect, const WindowRect& monitor);

// The window the program opens with when nothing is stored: width x height
// (what the practice pane needs to show all of itself), no larger than the
// work area of the primary monitor and centred in it.
WindowRect defaultWindowRect(const WindowRect& workArea, int width, int height);

// The stored window rectangle ("Window" section); a key that is not stored
// takes its value from fallback.
WindowRect readWindowRect(const ProfileSettings& settings, const WindowRect& fallback);
// Stores the restored rectangle and whether the window was maximised.
void writeWindowPlacement(ProfileSettings& settings, const WindowRect& restored, bool zoomed);

// Follows the rectangle of a window while it is neither maximised nor
// minimised. A window manager may report the maximised size a moment before
// it reports the window maximised; restored() then gives the step before.
class RestoredPlacement {
public:
    void reset(const WindowRect& rect);
    void changed(const WindowRect& rect, bool maximized, bool minimized);
    // The restored rectangle of a window that is now at current.
    WindowRect restored(bool maximizedNow, const WindowRect& current) const;

private:
    WindowRect m_current;
    WindowRect m_previous;
};

}  // namespace pw
