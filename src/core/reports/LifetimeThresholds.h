#pragma once

#include "query/QueryCellColouring.h"

#include <array>
#include <cstdint>
#include <string>

// The user's YELLOW and RED thresholds per lifetime counter, held in memory only; all clear at
// start. "Enable filters" decides whether lists are coloured and report rows marked.
struct LifetimeThreshold {
    bool enabled = false;
    int yellow = 0;
    int red = 0;
};

struct LifetimeThresholds {
    bool filtersEnabled = false;
    // In the order of ReportStatements::lifetimeCounters().
    std::array<LifetimeThreshold, 5> counters{};

    // The counter's thresholds by its name (either case, or its column's name); null for others.
    const LifetimeThreshold* find(const std::string& name) const;
    LifetimeThreshold* find(const std::string& name);
};

// 0 no mark, 1 warning, 2 error. The counter's own flag decides; "Enable filters" does not.
// Lower values are worse when RED is below YELLOW.
int ClassifyLifetimeValue(const LifetimeThresholds& thresholds, const std::string& counter, std::int64_t value);
// The same against the application's thresholds of the moment.
int ClassifyLifetimeValue(const std::string& counter, std::int64_t value);

// The list colouring of the thresholds: the column's title names the counter, the cell's text
// is its value; nothing is coloured while filters are disabled. Reads the application's
// thresholds at every cell, so a change shows at the next redraw.
class LifetimeCellColouring final : public QueryCellColouring {
public:
    CellShade shadeFor(const std::string& columnTitle, std::string_view cellText) const override;
};

// "LIFE_READ_PERMS=5:10" into the counter's thresholds (enabled); false when the text is not
// a counter name, "=", and two integers separated by ":".
bool parseThresholdOption(const std::string& option, LifetimeThresholds& thresholds);
