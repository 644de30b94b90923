#pragma once

#include <string>
#include <vector>

// The main window's Window menu: the list of open child windows and the cascade of them.

// A Window menu entry: "&1 title" for the first nine windows (the digit is the mnemonic),
// "10 title" from the tenth on; ampersands of the title are shown as they are.
std::string windowMenuItemText(int position, const std::string& title);

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// The usable size a cascaded window keeps, whatever its own size hint: a graph is still read at
// this size, and a monitor's time-stamped lines mostly fit.
inline constexpr int CascadeMinimumWidth = 640;
inline constexpr int CascadeMinimumHeight = 480;
inline constexpr int CascadeStep = 28;

// Cascade of `count` windows in an area: each a step down and right of the one before, all of
// one size, the area less the room the steps take but never below the usable size (or the area,
// when that is smaller). Windows whose step would leave less than that size start again at the
// corner, so every title bar stays in the area.
std::vector<WindowRect> cascadeWindows(int areaWidth, int areaHeight, int count, int step = CascadeStep);
