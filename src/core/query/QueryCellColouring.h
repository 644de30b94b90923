#pragma once

#include <string>
#include <string_view>

// The background a result cell is drawn on.
enum class CellShade { Default, Yellow, Red };

struct RgbColour {
    int red, green, blue;
};

// The colours of the result lists: yellow and red for cells over a threshold, and the blue,
// green and orange of the health detail lists.
inline constexpr RgbColour YellowColour{255, 255, 0};
inline constexpr RgbColour RedColour{255, 0, 0};
inline constexpr RgbColour BlueColour{0, 0, 255};
inline constexpr RgbColour GreenColour{0, 200, 0};
inline constexpr RgbColour OrangeColour{255, 128, 0};

// Decides a cell's background from its column's header text and the cell's text. The threshold
// report fills this in with its lifetime thresholds; a list without one draws every cell plainly.
class QueryCellColouring {
public:
    virtual ~QueryCellColouring() = default;
    virtual CellShade shadeFor(const std::string& columnTitle, std::string_view cellText) const = 0;
};
