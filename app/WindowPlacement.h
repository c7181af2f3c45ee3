// Where the main window goes: the stored rectangle, pulled onto the nearest
// monitor, and the restored rectangle that is stored again at exit.
#pragma once

#include <string>
#include <vector>

namespace pw {

class ProfileSettings;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// A width x height window centred on a primary screen of the given size.
Rect centredRect(int screenWidth, int screenHeight, int width = 640, int height = 480);

// The monitor nearest to rect: the one it overlaps most, else the closest;
// 0 when there is none to choose.
size_t nearestMonitor(const Rect& rect, const std::vector<Rect>& monitors);

// Moves rect onto monitor keeping its size: first the right, then the left,
// then the bottom, then the top edge, so a window larger than the monitor
// ends at its left and top edges.
Rect clampToMonitor(Rect rect, const Rect& monitor);

// The stored window rectangle ("Window" section), with defaults centring a
// 640 x 480 window on the primary screen.
Rect readWindowRect(const ProfileSettings& settings, int primaryWidth, int primaryHeight);
// Stores the restored rectangle and whether the window was maximised.
void writeWindowPlacement(ProfileSettings& settings, const Rect& restored, bool zoomed);

// Follows the rectangle of a window while it is neither maximised nor
// minimised. A window manager may report the maximised size a moment before
// it reports the window maximised; restored() then gives the step before.
class RestoredPlacement {
public:
    void reset(const Rect& rect);
    void changed(const Rect& rect, bool maximized, bool minimized);
    // The restored rectangle of a window that is now at current.
    Rect restored(bool maximizedNow, const Rect& current) const;

private:
    Rect m_current;
    Rect m_previous;
};

}  // namespace pw
