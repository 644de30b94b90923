#include "GraphDrawing.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr GraphColour Black{0, 0, 0};
constexpr GraphColour GridGrey{200, 200, 200};
constexpr GraphColour LineRed{255, 0, 0};
constexpr GraphColour BarRed{250, 14, 0};
constexpr GraphColour MarkBlue{14, 14, 250};
constexpr GraphColour TrendBlue{0, 0, 255};
constexpr GraphPen DefaultPen{Black, 1, false, false};
constexpr GraphPen GridPen{GridGrey, 1, true, false};

class ItemList {
public:
    void line(double x1, double y1, double x2, double y2, const GraphPen& pen)
    {
        GraphItem item;
        item.kind = GraphItem::Kind::Line;
        item.x1 = x1;
        item.y1 = y1;
        item.x2 = x2;
        item.y2 = y2;
        item.pen = pen;
        m_items.push_back(std::move(item));
    }
    void rect(double left, double top, double right, double bottom, const GraphColour& outline, const GraphColour& fill)
    {
        GraphItem item;
        item.kind = GraphItem::Kind::FilledRect;
        item.x1 = left;
        item.y1 = top;
        item.x2 = right;
        item.y2 = bottom;
        item.pen = GraphPen{outline, 1, false, false};
        item.brush = fill;
        m_items.push_back(std::move(item));
    }
    void text(double x, double top, std::string text, const GraphFont& font, GraphTextAlign align)
    {
        GraphItem item;
        item.kind = GraphItem::Kind::Text;
        item.x1 = x;
        item.y1 = top;
        item.text = std::move(text);
        item.font = font;
        item.align = align;
        m_items.push_back(std::move(item));
    }
    std::vector<GraphItem> take() { return std::move(m_items); }

private:
    std::vector<GraphItem> m_items;
};

std::string decimal(unsigned long long value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llu", value);
    return buffer;
}

GraphFont font(double height, double width, int weight)
{
    return GraphFont{static_cast<int>(height), static_cast<int>(width), weight};
}

GraphFont axisFont(const GraphFrame& f)
{
    return font(0.06 * f.plotHeight, 0.009 * f.plotWidth, 400);
}

GraphFont captionFont(const GraphFrame& f)
{
    return font(0.075 * f.plotHeight, 0.02 * f.plotWidth, 400);
}

// The drill-down's tick values, point numbers and legend: as high as the other graphs' axis
// font, at the face's own proportions (the layout's widths made them two to three times as large).
GraphFont drillDownTextFont(const GraphFrame& f)
{
    return font(0.06 * f.plotHeight, 0.6 * 0.06 * f.plotHeight, 400);
}

// Every text inside the drawing: a text whose font would run past the window's edge gets a
// narrower one (and, when very narrow, a lower one), a centred label near an edge is moved in.
// The layout's rules stay wherever they already fit.
void keepTextsInside(std::vector<GraphItem>& items, const GraphFrame& f)
{
    for (GraphItem& item : items) {
        if (item.kind != GraphItem::Kind::Text || item.text.empty())
            continue;
        GraphFont& shown = item.font;
        const double length = static_cast<double>(item.text.size());
        double room = 0;
        switch (item.align) {
        case GraphTextAlign::Left:
            room = f.width - 1 - item.x1;
            break;
        case GraphTextAlign::Right:
            room = item.x1 - 1;
            break;
        case GraphTextAlign::Centre:
            room = f.width - 2;
            break;
        }
        if (room > 0 && length * shown.width > room) {
            shown.width = std::max(1, static_cast<int>(room / length));
            shown.height = std::min(shown.height, 3 * shown.width);
        }
        if (item.y1 + shown.height > f.height)
            shown.height = std::max(1, static_cast<int>(f.height - item.y1));
        if (item.align == GraphTextAlign::Centre) {
            const double half = length * shown.width / 2;
            item.x1 = std::clamp(item.x1, half + 1, std::max(half + 1, f.width - 1 - half));
        }
    }
}

// Grid lines and tick values from 0 to the scale maximum.
void gridAndValueAxis(ItemList& items, const GraphFrame& f, const GraphScale& scale, GraphFont tickFont)
{
    // One font for every tick value, narrow enough for the widest in the left margin.
    const double widest = static_cast<double>(decimal(std::uint64_t{scale.ticks} * scale.step).size());
    if (widest * tickFont.width > f.left - 3) {
        tickFont.width = std::max(1, static_cast<int>((f.left - 3) / widest));
        tickFont.height = std::min(tickFont.height, 3 * tickFont.width);
    }
    const double tickPixels = f.plotHeight / scale.ticks;
    for (std::uint32_t i = 0; i <= scale.ticks; ++i) {
        const double y = f.top + f.plotHeight - i * tickPixels;
        if (i != scale.ticks)
            items.line(f.left, y, f.left + f.plotWidth, y, GridPen);
        items.text(f.left - 2, y - 0.25 * tickPixels, decimal(std::uint64_t{i} * scale.step), tickFont,
                   GraphTextAlign::Right);
    }
}

void plotFrame(ItemList& items, const GraphFrame& f)
{
    const double right = f.left + f.plotWidth;
    const double bottom = f.top + f.plotHeight;
    items.line(f.left, bottom, right, bottom, DefaultPen);
    items.line(f.left, f.top, right, f.top, DefaultPen);
    items.line(f.left, f.top, f.left, bottom, DefaultPen);
    items.line(right, f.top, right, bottom, DefaultPen);
}

void titleAndLibrary(ItemList& items, const GraphFrame& f, const std::string& title, const std::string& library)
{
    items.text(0.05 * f.width, 0.01 * f.height, title, captionFont(f), GraphTextAlign::Left);
    items.text(0.05 * f.width, 0.07 * f.height, library, captionFont(f), GraphTextAlign::Left);
}

void oneSeriesFrame(ItemList& items, const GraphFrame& f, const GraphScale& scale, const GraphData& data,
                    const char* axisCaption)
{
    gridAndValueAxis(items, f, scale, axisFont(f));
    plotFrame(items, f);
    // The layout put the axis caption below the window (1.05 of its height); it goes above the
    // plot's right corner instead, where it is seen and meets neither labels nor title.
    const GraphFont caption = captionFont(f);
    items.text(f.left + f.plotWidth, f.top - caption.height - 2, axisCaption, caption, GraphTextAlign::Right);
    titleAndLibrary(items, f, data.title, data.library);
}

// Empty labels (the zero points around a single value) draw nothing.
void pointLabels(ItemList& items, const GraphFrame& f, const GraphData& data, std::size_t index, double x)
{
    if (index < data.firstLabels.size() && !data.firstLabels[index].empty())
        items.text(x, 0.96 * f.height, data.firstLabels[index], axisFont(f), GraphTextAlign::Centre);
    if (index < data.secondLabels.size() && !data.secondLabels[index].empty())
        items.text(x, 0.93 * f.height, data.secondLabels[index], axisFont(f), GraphTextAlign::Centre);
}

void marker(ItemList& items, const GraphFrame& f, double x, double y)
{
    const double halfWidth = 0.006 * f.plotWidth / 2;
    const double halfHeight = 0.02 * f.plotHeight / 2;
    items.rect(x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight, MarkBlue, MarkBlue);
}

std::vector<GraphItem> inside(ItemList& items, const GraphFrame& f)
{
    std::vector<GraphItem> drawn = items.take();
    keepTextsInside(drawn, f);
    return drawn;
}

int digitCount(std::uint32_t value)
{
    return static_cast<int>(decimal(value).size());
}

void series(ItemList& items, const GraphFrame& f, const GraphScale& scale, const std::vector<std::uint32_t>& values,
            const GraphPen& pen)
{
    // The point axis counts 0 to 100; later points would fall outside the plot.
    const double spacing = f.plotWidth * 0.01;
    const std::size_t count = std::min<std::size_t>(values.size(), 101);
    for (std::size_t i = 1; i < count; ++i)
        items.line(f.left + (i - 1) * spacing, valueY(f, scale, values[i - 1]), f.left + i * spacing,
                   valueY(f, scale, values[i]), pen);
}
} // namespace

void padSingleValue(GraphData& data)
{
    if (data.values.size() != 1)
        return;
    data.values = {0, data.values.front(), 0};
    data.firstLabels.resize(1);
    data.firstLabels.insert(data.firstLabels.begin(), std::string());
    data.firstLabels.emplace_back();
    if (!data.secondLabels.empty()) {
        data.secondLabels.resize(1);
        data.secondLabels.insert(data.secondLabels.begin(), std::string());
        data.secondLabels.emplace_back();
    }
}

std::vector<GraphItem> lineGraphItems(const GraphData& data, int clientWidth, int clientHeight)
{
    ItemList items;
    const GraphFrame f = graphFrame(clientWidth, clientHeight, false);
    const GraphScale scale = graphScale(largestValue(data.values));
    oneSeriesFrame(items, f, scale, data, graph_texts::LineAxisCaption);

    const std::size_t n = data.values.size();
    if (n == 0)
        return inside(items, f);
    const double spacing = n > 1 ? f.plotWidth / static_cast<double>(n - 1) : 0;
    const GraphPen linePen{LineRed, 2, false, true};
    const std::vector<std::size_t> labelled = labelledIndexes(n);
    const auto isLabelled = [&](std::size_t i) { return std::binary_search(labelled.begin(), labelled.end(), i); };

    pointLabels(items, f, data, 0, f.left);
    double markedX = f.left;
    double markedY = valueY(f, scale, data.values[0]);
    marker(items, f, markedX, markedY);
    for (std::size_t i = 1; i < n; ++i) {
        const double x = f.left + i * spacing;
        const double y = valueY(f, scale, data.values[i]);
        if (isLabelled(i))
            pointLabels(items, f, data, i, x);
        items.line(f.left + (i - 1) * spacing, valueY(f, scale, data.values[i - 1]), x, y, linePen);
        if (isLabelled(i)) {
            // The segment just drawn crosses the previous marker; it is drawn again on top.
            marker(items, f, x, y);
            marker(items, f, markedX, markedY);
            markedX = x;
            markedY = y;
        }
    }
    return inside(items, f);
}

std::vector<GraphItem> barGraphItems(const GraphData& data, int clientWidth, int clientHeight)
{
    ItemList items;
    const GraphFrame f = graphFrame(clientWidth, clientHeight, false);
    const GraphScale scale = graphScale(largestValue(data.values));
    oneSeriesFrame(items, f, scale, data, graph_texts::BarAxisCaption);

    const std::size_t n = data.values.size();
    if (n == 0)
        return inside(items, f);
    const double slot = f.plotWidth / static_cast<double>(n);
    const double barWidth = slot / 3 < 2 ? 1 : slot / 3;
    const std::vector<std::size_t> labelled = labelledIndexes(n);
    for (std::size_t i = 0; i < n; ++i) {
        const bool hasLabels = std::binary_search(labelled.begin(), labelled.end(), i);
        if (hasLabels)
            pointLabels(items, f, data, i, f.left + i * slot + slot / 2);
        const double left = f.left + i * slot + slot / 3;
        items.rect(left, valueY(f, scale, data.values[i]), left + barWidth, f.top + f.plotHeight,
                   hasLabels ? MarkBlue : BarRed, BarRed);
    }
    return inside(items, f);
}

std::vector<GraphItem> twoSeriesGraphItems(const std::string& library, const std::string& title,
                                           const std::vector<std::uint32_t>& ratings,
                                           const std::vector<std::uint32_t>& trend, int clientWidth, int clientHeight)
{
    ItemList items;
    const GraphFrame f = graphFrame(clientWidth, clientHeight, true);
    const GraphScale scale = graphScale(std::max(largestValue(ratings), largestValue(trend)));
    const int digits = digitCount(scale.maximum);

    // The tick values' font is no higher than the tick spacing allows (a scale of few ticks gave
    // a face taller than the other graphs' captions).
    GraphFont tickFont = drillDownTextFont(f);
    const GraphFont layoutTickFont = font(0.6667 * (f.plotHeight / scale.ticks), 0.85 * f.left / digits, 200);
    if (layoutTickFont.height < tickFont.height) {
        tickFont.height = layoutTickFont.height;
        tickFont.width = static_cast<int>(0.6 * tickFont.height);
    }
    gridAndValueAxis(items, f, scale, tickFont);

    const GraphFont pointFont = drillDownTextFont(f);
    const double bottom = f.top + f.plotHeight;
    for (int j = 1; j <= 10; ++j) {
        const double x = f.left + j * f.plotWidth * 0.1;
        items.line(x, bottom, x, f.top, GridPen);
        items.text(x + f.plotWidth * 0.0125, bottom, decimal(10ULL * static_cast<unsigned>(j)), pointFont,
                   GraphTextAlign::Right);
    }

    const double legendLeft = f.left + f.plotWidth;
    const GraphPen ratingsPen{LineRed, 2, false, false};
    series(items, f, scale, ratings, ratingsPen);
    items.line(legendLeft + 10, f.top + f.plotHeight * 0.2, legendLeft + 20, f.top + f.plotHeight * 0.2, ratingsPen);
    items.text(legendLeft + 25, f.top + f.plotHeight * 0.17, graph_texts::RatingsLegend, pointFont,
               GraphTextAlign::Left);
    if (trend.size() >= 2) {
        const GraphPen trendPen{TrendBlue, 2, false, false};
        series(items, f, scale, trend, trendPen);
        items.line(legendLeft + 10, f.top + f.plotHeight * 0.4, legendLeft + 20, f.top + f.plotHeight * 0.4, trendPen);
        items.text(legendLeft + 25, f.top + f.plotHeight * 0.37, graph_texts::TrendLegend, pointFont,
                   GraphTextAlign::Left);
    }

    plotFrame(items, f);
    items.text(f.left + f.plotWidth * 0.55, 0.95 * f.height, graph_texts::BarAxisCaption,
               font(0.075 * f.plotHeight, 0.015 * f.plotWidth, 400), GraphTextAlign::Right);
    titleAndLibrary(items, f, title, library);
    return inside(items, f);
}
