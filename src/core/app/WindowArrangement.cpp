#include "WindowArrangement.h"

#include <algorithm>

std::string windowMenuItemText(int position, const std::string& title)
{
    std::string escaped;
    for (char c : title) {
        if (c == '&')
            escaped += '&';
        escaped += c;
    }
    const std::string number = std::to_string(position);
    return (position >= 1 && position <= 9 ? "&" + number : number) + " " + escaped;
}

std::vector<WindowRect> cascadeWindows(int areaWidth, int areaHeight, int count, int step)
{
    std::vector<WindowRect> windows;
    if (count <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return windows;
    step = std::max(step, 1);
    const int steps = count - 1;
    const int width = std::min(areaWidth, std::max(CascadeMinimumWidth, areaWidth - steps * step));
    const int height = std::min(areaHeight, std::max(CascadeMinimumHeight, areaHeight - steps * step));
    // How many windows one run down the diagonal holds before the next starts at the corner.
    const int run = std::max(1, std::min((areaWidth - width) / step, (areaHeight - height) / step) + 1);
    windows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int offset = (i % run) * step;
        windows.push_back({offset, offset, width, height});
    }
    return windows;
}
