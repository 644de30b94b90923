#pragma once

#include "GraphLayout.h"

#include <cstdint>
#include <string>
#include <vector>

// What a graph view paints, in painting order: lines, filled rectangles and texts with their
// pens, brushes and fonts, all placed for one window size. The views only replay the list.

struct GraphColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const GraphColour&) const = default;
};

struct GraphPen {
    GraphColour colour;
    int width = 1;
    bool dashed = false;
    bool bevelJoins = false;
    bool operator==(const GraphPen&) const = default;
};

// Pixel height and average character width (both truncated) and weight; always Courier New.
struct GraphFont {
    int height = 0;
    int width = 0;
    int weight = 400;
    bool operator==(const GraphFont&) const = default;
};

enum class GraphTextAlign { Left, Right, Centre };

struct GraphItem {
    enum class Kind { Line, FilledRect, Text };
    Kind kind = Kind::Line;
    // Line: from (x1, y1) to (x2, y2). Rectangle: left, top, right, bottom. Text: x is the left
    // edge, right edge or centre by `align`, y1 the top.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    GraphPen pen;      // lines and rectangle outlines
    GraphColour brush; // rectangle fill
    std::string text;
    GraphFont font;
    GraphTextAlign align = GraphTextAlign::Left;
};

// The data a report hands to a graph window.
struct GraphData {
    std::string library;
    std::string title;
    std::vector<std::uint32_t> values;
    std::vector<std::string> firstLabels;
    std::vector<std::string> secondLabels;
};

// A single value is drawn as a peak: a zero point with empty labels on either side of it.
void padSingleValue(GraphData& data);

std::vector<GraphItem> lineGraphItems(const GraphData& data, int clientWidth, int clientHeight);
std::vector<GraphItem> barGraphItems(const GraphData& data, int clientWidth, int clientHeight);
// The drill-down drawing: ratings in red and their moving average in blue against point numbers
// 0 to 100, with a legend; no labels or markers.
std::vector<GraphItem> twoSeriesGraphItems(const std::string& library, const std::string& title,
                                           const std::vector<std::uint32_t>& ratings,
                                           const std::vector<std::uint32_t>& trend, int clientWidth, int clientHeight);

namespace graph_texts {
inline constexpr const char* BarAxisCaption = "Mounts";
inline constexpr const char* LineAxisCaption = "Trend";
inline constexpr const char* RatingsLegend = "Ratings";
inline constexpr const char* TrendLegend = "Trend";
} // namespace graph_texts
