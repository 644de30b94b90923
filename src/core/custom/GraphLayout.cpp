#include "GraphLayout.h"

#include <algorithm>
#include <set>

GraphFrame graphFrame(int clientWidth, int clientHeight, bool twoSeries)
{
    GraphFrame frame;
    frame.width = std::max(clientWidth, twoSeries ? 200 : 400);
    frame.height = std::max(clientHeight, 200);
    frame.left = static_cast<int>(frame.width * 0.061);
    frame.top = static_cast<int>(frame.height * 0.15);
    frame.plotWidth = frame.width * (twoSeries ? 0.77 : 0.9);
    frame.plotHeight = frame.height * 0.75;
    return frame;
}

namespace {
// The value itself when it is `limit`, else the next multiple of `step` above it.
std::uint32_t nextMultipleAbove(std::uint32_t value, std::uint32_t step, std::uint32_t limit)
{
    if (value == limit)
        return limit;
    return value + step - value % step;
}
} // namespace

GraphScale graphScale(std::uint32_t largest)
{
    struct Band {
        std::uint32_t upTo;
        std::uint32_t step;
    };
    static constexpr Band bands[] = {{20, 2}, {50, 5}, {100, 10}, {200, 20}, {500, 50}};
    if (largest <= 10)
        return GraphScale{10, 1, 10};
    for (const Band& band : bands) {
        if (largest <= band.upTo) {
            const std::uint32_t maximum = nextMultipleAbove(largest, band.step, band.upTo);
            return GraphScale{maximum, band.step, maximum / band.step};
        }
    }
    // Above 500 the step is a tenth of the largest value; a scale that would pass the range of
    // the values (near 2^32) keeps the largest value as its maximum.
    const std::uint32_t step = largest / 10;
    std::uint32_t maximum = largest;
    if (largest % step != 0) {
        const std::uint64_t next = std::uint64_t{largest} + step - largest % step;
        maximum = next > UINT32_MAX ? largest : static_cast<std::uint32_t>(next);
    }
    return GraphScale{maximum, step, maximum / step};
}

std::uint32_t largestValue(const std::vector<std::uint32_t>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

double valueY(const GraphFrame& frame, const GraphScale& scale, std::uint32_t value)
{
    return frame.top + frame.plotHeight - value * frame.plotHeight / scale.maximum;
}

std::vector<std::size_t> labelledIndexes(std::size_t count)
{
    std::set<std::size_t> indexes;
    if (count <= 20) {
        for (std::size_t i = 0; i < count; i += count <= 13 ? 1 : 2)
            indexes.insert(i);
    } else {
        const std::size_t quarter = count / 4;
        const std::size_t eighth = quarter / 2;
        const std::size_t eighthUp = (quarter + 1) / 2;        // ceil((n / 4) / 2)
        const std::size_t threeQuarters = 3 * (count / 2) / 2; // floor(1.5 x (n / 2))
        indexes = {0,
                   count - 1,
                   count / 2,
                   quarter,
                   threeQuarters,
                   eighth,
                   quarter + eighthUp,
                   threeQuarters + eighthUp,
                   threeQuarters - eighth};
    }
    return {indexes.begin(), indexes.end()};
}

bool isLabelledIndex(std::size_t index, std::size_t count)
{
    if (count <= 13)
        return index < count;
    if (count <= 20)
        return index < count && index % 2 == 0;
    const std::vector<std::size_t> indexes = labelledIndexes(count);
    return std::binary_search(indexes.begin(), indexes.end(), index);
}
