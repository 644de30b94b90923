#include "LifetimeThresholds.h"

#include "ReportStatements.h"
#include "app/CQmxApp.h"

#include <charconv>
#include <cstdlib>
#include <strings.h>

const LifetimeThreshold* LifetimeThresholds::find(const std::string& name) const
{
    const auto& names = ReportStatements::lifetimeCounters();
    for (std::size_t at = 0; at < names.size(); ++at)
        if (strcasecmp(names[at].c_str(), name.c_str()) == 0
            || strcasecmp(ReportStatements::lifetimeColumn(names[at]).c_str(), name.c_str()) == 0)
            return &counters[at];
    return nullptr;
}

LifetimeThreshold* LifetimeThresholds::find(const std::string& name)
{
    return const_cast<LifetimeThreshold*>(static_cast<const LifetimeThresholds*>(this)->find(name));
}

int ClassifyLifetimeValue(const LifetimeThresholds& thresholds, const std::string& counter, std::int64_t value)
{
    const LifetimeThreshold* threshold = thresholds.find(counter);
    if (threshold == nullptr || !threshold->enabled)
        return 0;
    const int red = threshold->red;
    const int yellow = threshold->yellow;
    if (red < yellow) {
        if (value <= red)
            return 2;
        return value <= yellow ? 1 : 0;
    }
    if (value >= red)
        return 2;
    return value >= yellow ? 1 : 0;
}

int ClassifyLifetimeValue(const std::string& counter, std::int64_t value)
{
    return ClassifyLifetimeValue(theApp().lifetimeThresholds(), counter, value);
}

CellShade LifetimeCellColouring::shadeFor(const std::string& columnTitle, std::string_view cellText) const
{
    const LifetimeThresholds thresholds = theApp().lifetimeThresholds();
    if (!thresholds.filtersEnabled || thresholds.find(columnTitle) == nullptr)
        return CellShade::Default;
    const std::string text(cellText);
    switch (ClassifyLifetimeValue(thresholds, columnTitle, std::strtoll(text.c_str(), nullptr, 10))) {
    case 1:
        return CellShade::Yellow;
    case 2:
        return CellShade::Red;
    default:
        return CellShade::Default;
    }
}

namespace {
bool integerOf(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end && !text.empty();
}
} // namespace

bool parseThresholdOption(const std::string& option, LifetimeThresholds& thresholds)
{
    const auto equals = option.find('=');
    const auto colon = option.find(':', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || colon == std::string::npos)
        return false;
    LifetimeThreshold* threshold = thresholds.find(option.substr(0, equals));
    int yellow = 0;
    int red = 0;
    if (threshold == nullptr || !integerOf(option.substr(equals + 1, colon - equals - 1), yellow)
        || !integerOf(option.substr(colon + 1), red))
        return false;
    *threshold = {true, yellow, red};
    return true;
}
