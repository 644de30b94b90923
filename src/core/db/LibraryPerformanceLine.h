#pragma once

#include "MountHistoryLine.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Year, month and day separated by blanks, then hours ":" minutes, where a colon followed by
// a blank counts as a colon: "2009 04 28 15: 46" gives "2009-04-28" and "15:46".
SplitTimestamp splitPerformanceTimestamp(std::string_view timestamp);

// One data line of the library performance file: the end of the interval split into date and
// time, the logical library and the nine counters, blanks removed.
struct LibraryPerformanceLine {
    static constexpr std::size_t FieldCount = 11;
    static constexpr std::size_t LogicalLibraryField = 2;

    std::string date;
    std::string time;
    // As validatedDate and validatedTime give them, checked once as the line is parsed.
    std::optional<std::string> validDate;
    std::optional<std::string> validTime;
    std::size_t fieldCount = 0;      // fields found on the line, the time stamp included
    std::vector<std::string> values; // fields 2 onwards in file order

    // The line as the file has it (a "\r" left from its line end is ignored).
    static LibraryPerformanceLine parse(std::string_view line);

    // Field 2 to fieldCount; empty past the end.
    const std::string& field(std::size_t number) const;

    // Why the line cannot be stored, or nothing when it can: 11 fields, a real date and time,
    // and a number in every counter (an empty counter is no number).
    std::string problem() const;
};
