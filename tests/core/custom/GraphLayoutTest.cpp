#include "custom/GraphDrawing.h"
#include "custom/GraphLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
std::vector<const GraphItem*> itemsOf(const std::vector<GraphItem>& items, GraphItem::Kind kind)
{
    std::vector<const GraphItem*> found;
    for (const GraphItem& item : items)
        if (item.kind == kind)
            found.push_back(&item);
    return found;
}

// Texts drawn at a given top (the label rows sit at 0.96 and 0.93 of the height).
std::vector<std::string> textsAtTop(const std::vector<GraphItem>& items, double top)
{
    std::vector<std::string> texts;
    for (const GraphItem* item : itemsOf(items, GraphItem::Kind::Text))
        if (item->y1 == top)
            texts.push_back(item->text);
    return texts;
}

GraphData numbered(std::size_t count, std::uint32_t value = 5)
{
    GraphData data;
    for (std::size_t i = 0; i < count; ++i) {
        data.values.push_back(value);
        data.firstLabels.push_back("L" + std::to_string(i));
    }
    return data;
}
} // namespace

TEST(GraphScale, BandsRoundUpToTheirStepAndKeepExactLimits)
{
    struct Case {
        std::uint32_t largest, maximum, step, ticks;
    };
    const Case cases[] = {
        {0, 10, 1, 10},    {10, 10, 1, 10},    {11, 12, 2, 6},        {12, 14, 2, 7},        {13, 14, 2, 7},
        {20, 20, 2, 10},   {25, 30, 5, 6},     {50, 50, 5, 10},       {60, 70, 10, 7},       {100, 100, 10, 10},
        {101, 120, 20, 6}, {500, 500, 50, 10}, {1234, 1353, 123, 11}, {1230, 1230, 123, 10},
    };
    for (const Case& c : cases) {
        const GraphScale scale = graphScale(c.largest);
        EXPECT_EQ(scale.maximum, c.maximum) << c.largest;
        EXPECT_EQ(scale.step, c.step) << c.largest;
        EXPECT_EQ(scale.ticks, c.ticks) << c.largest;
    }
    // The largest 32-bit value has no next multiple within range: the scale stays at the value.
    const GraphScale top = graphScale(UINT32_MAX);
    EXPECT_EQ(top.maximum, UINT32_MAX);
    EXPECT_GE(top.ticks, 10u);
}

TEST(GraphFrame, NarrowAndLowWindowsAreLaidOutAtTheMinimumSize)
{
    const GraphFrame wide = graphFrame(640, 480, false);
    EXPECT_EQ(wide.left, 39);
    EXPECT_EQ(wide.top, 72);
    EXPECT_DOUBLE_EQ(wide.plotWidth, 576);
    EXPECT_DOUBLE_EQ(wide.plotHeight, 360);

    const GraphFrame narrow = graphFrame(250, 120, false);
    EXPECT_EQ(narrow.width, 400);
    EXPECT_EQ(narrow.height, 200);
    EXPECT_EQ(narrow.left, 24);
    EXPECT_DOUBLE_EQ(narrow.plotWidth, 360);

    const GraphFrame twoSeries = graphFrame(150, 480, true);
    EXPECT_EQ(twoSeries.width, 200);
    EXPECT_DOUBLE_EQ(twoSeries.plotWidth, 154);
    EXPECT_EQ(graphFrame(300, 480, true).width, 300) << "the two-series minimum is 200, not 400";

    // The drawing of a 250-pixel window is the drawing of a 400-pixel one.
    const GraphData data = numbered(16, 9);
    const auto small = barGraphItems(data, 250, 300);
    const auto minimum = barGraphItems(data, 400, 300);
    ASSERT_EQ(small.size(), minimum.size());
    for (std::size_t i = 0; i < small.size(); ++i)
        EXPECT_EQ(small[i].x1, minimum[i].x1);
}

TEST(GraphLabels, AllUpToThirteenEvenUpToTwentyNineSpreadBeyond)
{
    EXPECT_EQ(labelledIndexes(13).size(), 13u);
    EXPECT_EQ(labelledIndexes(16), (std::vector<std::size_t>{0, 2, 4, 6, 8, 10, 12, 14}));
    EXPECT_EQ(labelledIndexes(100), (std::vector<std::size_t>{0, 12, 25, 38, 50, 63, 75, 88, 99}));
    EXPECT_TRUE(isLabelledIndex(63, 100));
    EXPECT_FALSE(isLabelledIndex(64, 100));
    EXPECT_FALSE(isLabelledIndex(15, 16));
    for (std::size_t n = 21; n < 400; ++n)
        for (std::size_t index : labelledIndexes(n))
            ASSERT_LT(index, n) << "every label index lies inside the " << n << " points";
}

TEST(BarGraph, SixteenBarsAreLabelledEveryOtherOneAndPlacedInTheirSlots)
{
    const GraphData data = numbered(16, 9);
    const auto items = barGraphItems(data, 640, 480);
    EXPECT_EQ(textsAtTop(items, 0.96 * 480),
              (std::vector<std::string>{"L0", "L2", "L4", "L6", "L8", "L10", "L12", "L14"}));

    const auto bars = itemsOf(items, GraphItem::Kind::FilledRect);
    ASSERT_EQ(bars.size(), 16u);
    // Slot 576 / 16 = 36 from X0 = 39: a bar fills the middle third of its slot.
    EXPECT_DOUBLE_EQ(bars[1]->x1, 39 + 36 + 12);
    EXPECT_DOUBLE_EQ(bars[1]->x2, 39 + 36 + 24);
    // Value 9 on the 0 to 10 scale of a 360-pixel plot from Y0 = 72.
    EXPECT_DOUBLE_EQ(bars[1]->y1, 72 + 360 - 9 * 36.0);
    EXPECT_DOUBLE_EQ(bars[1]->y2, 72 + 360);
    const GraphColour blue{14, 14, 250};
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(bars[i]->pen.colour == blue, i % 2 == 0) << "bar " << i;

    // Bars narrower than two pixels are drawn one pixel wide.
    const auto thin = itemsOf(barGraphItems(numbered(400), 640, 480), GraphItem::Kind::FilledRect);
    EXPECT_DOUBLE_EQ(thin[0]->x2 - thin[0]->x1, 1.0);
}

TEST(LineGraph, OneValueIsAPeakBetweenTwoUnlabelledZeroPoints)
{
    GraphData data;
    data.values = {7};
    data.firstLabels = {"12-07-2026"};
    data.secondLabels = {"13:05:00"};
    padSingleValue(data);
    ASSERT_EQ(data.values, (std::vector<std::uint32_t>{0, 7, 0}));

    const auto items = lineGraphItems(data, 640, 480);
    EXPECT_EQ(textsAtTop(items, 0.96 * 480), (std::vector<std::string>{"12-07-2026"}));
    EXPECT_EQ(textsAtTop(items, 0.93 * 480), (std::vector<std::string>{"13:05:00"}));

    std::vector<const GraphItem*> segments;
    for (const GraphItem* line : itemsOf(items, GraphItem::Kind::Line))
        if (line->pen.width == 2)
            segments.push_back(line);
    ASSERT_EQ(segments.size(), 2u);
    const double bottom = 72 + 360;
    EXPECT_DOUBLE_EQ(segments[0]->y1, bottom);
    EXPECT_DOUBLE_EQ(segments[0]->x2, 39 + 288);
    EXPECT_DOUBLE_EQ(segments[0]->y2, bottom - 7 * 36.0);
    EXPECT_DOUBLE_EQ(segments[1]->y2, bottom);

    // Ticks 0 to 10 with grid lines under all but the top one.
    std::vector<std::string> ticks;
    for (const GraphItem* text : itemsOf(items, GraphItem::Kind::Text))
        if (text->align == GraphTextAlign::Right && text->x1 == 39 - 2)
            ticks.push_back(text->text);
    EXPECT_EQ(ticks.front(), "0");
    EXPECT_EQ(ticks.back(), "10");
    EXPECT_EQ(ticks.size(), 11u);
}

TEST(TwoSeriesGraph, RatingsAndTrendShareOneScaleAndAHundredPointAxis)
{
    std::vector<std::uint32_t> ratings(101, 40);
    ratings[50] = 1234;
    const std::vector<std::uint32_t> trend(101, 60);
    const auto items = twoSeriesGraphItems("lib", "title", ratings, trend, 800, 400);
    const GraphFrame f = graphFrame(800, 400, true);

    std::size_t red = 0, blue = 0;
    double lastRedX = 0;
    for (const GraphItem* line : itemsOf(items, GraphItem::Kind::Line)) {
        if (line->pen.colour == GraphColour{255, 0, 0}) {
            ++red;
            if (line->x1 < f.left + f.plotWidth) // not the legend's line
                lastRedX = std::max(lastRedX, line->x2);
        }
        if (line->pen.colour == GraphColour{0, 0, 255})
            ++blue;
    }
    EXPECT_EQ(red, 100u + 1) << "100 segments and the legend line";
    EXPECT_EQ(blue, 100u + 1);
    EXPECT_DOUBLE_EQ(lastRedX, f.left + f.plotWidth) << "point 100 sits on the right edge";

    std::vector<std::string> axis;
    for (const GraphItem* text : itemsOf(items, GraphItem::Kind::Text))
        if (text->align == GraphTextAlign::Right && text->y1 == f.top + f.plotHeight)
            axis.push_back(text->text);
    EXPECT_EQ(axis.back(), "100");
    EXPECT_EQ(axis.size(), 10u);
    // The scale covers the larger series: 1234 gives ticks up to 1353.
    bool topTick = false;
    for (const GraphItem* text : itemsOf(items, GraphItem::Kind::Text))
        topTick = topTick || text->text == "1353";
    EXPECT_TRUE(topTick);

    // A trend of one point draws no trend line and no trend legend.
    const auto single = twoSeriesGraphItems("lib", "title", ratings, {5}, 800, 400);
    for (const GraphItem& item : single) {
        const bool blueLine = item.kind == GraphItem::Kind::Line && item.pen.colour == GraphColour{0, 0, 255};
        EXPECT_FALSE(blueLine);
        EXPECT_NE(item.text, "Trend");
    }
}

// Every text cell lies inside the drawing, taking a font's width as its average character width
// (the faces are fixed-pitch): the axis caption the layout put below the window, tick values
// wider than the left margin, a title longer than the window, the drill-down's legend.
TEST(GraphTexts, EveryTextIsDrawnInsideTheWindow)
{
    GraphData bars = numbered(32, 128416167);
    bars.title = "HOST_WRITE(MBs) Per Second (while Mounted) on Frame:1 Drive:1,Frame:1 Drive:2,Frame:1 Drive:3";
    bars.library = "127.0.0.1:18080";
    GraphData line = numbered(300, 982770);
    line.secondLabels = line.firstLabels;
    line.title = "HOST_WRITE(MBs) on Frame:1 Drive:1";
    const std::vector<std::uint32_t> ratings(101, 230);
    const std::vector<std::uint32_t> trend(101, 225);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{640, 480}, {752, 452}, {1044, 594}}) {
        const std::vector<std::pair<std::string, std::vector<GraphItem>>> drawings = {
            {"bars", barGraphItems(bars, width, height)},
            {"line", lineGraphItems(line, width, height)},
            {"drill-down",
             twoSeriesGraphItems("IPAddress: 127.0.0.1:18080 Frame: 1 Drive: 1  11-08-2026 to 12-08-2026",
                                 "MOUNT_DRIVE_RATING (last 10 mount moving average)", ratings, trend, width, height)}};
        for (const auto& [name, items] : drawings) {
            bool caption = false;
            for (const GraphItem* text : itemsOf(items, GraphItem::Kind::Text)) {
                const double extent = static_cast<double>(text->text.size()) * text->font.width;
                const double left = text->align == GraphTextAlign::Left    ? text->x1
                                    : text->align == GraphTextAlign::Right ? text->x1 - extent
                                                                           : text->x1 - extent / 2;
                const std::string where =
                    name + " " + std::to_string(width) + "x" + std::to_string(height) + " \"" + text->text + "\"";
                EXPECT_GE(left, 0) << where;
                EXPECT_LE(left + extent, width) << where;
                EXPECT_GE(text->y1, 0) << where;
                EXPECT_LE(text->y1 + text->font.height, height) << where;
                EXPECT_GE(text->font.height, 8) << where << " is still readable";
                caption = caption || text->text == "Mounts" || text->text == "Trend";
            }
            EXPECT_TRUE(caption) << name << " draws its axis caption";
        }
    }
}
