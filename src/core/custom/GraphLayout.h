#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The arithmetic of the line and bar graphs: the plot rectangle for a window size, the value
// scale with its ticks, and which points carry labels. The graph views paint what these give.

// The plot rectangle of one paint. Positions are measured from the client origin.
struct GraphFrame {
    int width = 0;         // client width, widened to the minimum
    int height = 0;        // client height, widened to 200
    int left = 0;          // X0, truncated
    int top = 0;           // Y0, truncated
    double plotWidth = 0;  // PW
    double plotHeight = 0; // PH
};

// One-series graphs need 400 pixels of width and use 0.9 of it for the plot; the two-series
// drawing needs 200 and keeps 0.23 of the width for its legend.
GraphFrame graphFrame(int clientWidth, int clientHeight, bool twoSeries);

// The value axis: its maximum, the value between two ticks and the number of ticks above 0.
struct GraphScale {
    std::uint32_t maximum = 10;
    std::uint32_t step = 1;
    std::uint32_t ticks = 10;
};

GraphScale graphScale(std::uint32_t largestValue);
std::uint32_t largestValue(const std::vector<std::uint32_t>& values);

// The y of a value inside the plot (the bottom edge is 0).
double valueY(const GraphFrame& frame, const GraphScale& scale, std::uint32_t value);

// Whether point or bar `index` of `count` carries its labels: all of them up to 13, the even
// ones up to 20, and nine spread over the range beyond that.
bool isLabelledIndex(std::size_t index, std::size_t count);
// The labelled indexes in ascending order, without repeats.
std::vector<std::size_t> labelledIndexes(std::size_t count);
