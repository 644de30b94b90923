#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The date and the time of a mount history time stamp, blanks removed: "2009-04-28", "15:46".
struct SplitTimestamp {
    std::string date;
    std::string time;
};

// Year, month, day and time are each followed by two blanks; the time is hours "." minutes,
// and whatever follows the minutes is ignored. A stamp written any other way gives a date or
// time that validatedDate or validatedTime refuses.
SplitTimestamp splitTimestamp(std::string_view timestamp);

// One data line of the mount history file: the mount's time stamp split into date and time,
// and fields 2 to 36 with their blanks removed.
struct MountHistoryLine {
    static constexpr std::size_t FieldCount = 36;
    static constexpr std::size_t VolserField = 2;
    static constexpr std::size_t LogicalLibraryField = 5;
    static constexpr std::size_t ElementAddressField = 6;

    std::string date;
    std::string time;
    // The date and time as validatedDate and validatedTime give them, checked once as the line
    // is parsed; nothing when the stamp's is not a real one.
    std::optional<std::string> validDate;
    std::optional<std::string> validTime;
    std::size_t fieldCount = 0; // fields found on the line, the time stamp included
    // Fields 2 onwards in file order; nothing where the file has no value.
    std::vector<std::optional<std::string>> values;

    // The line as the file has it (a "\r" left from its line end is ignored).
    static MountHistoryLine parse(std::string_view line);

    // Field 2 to fieldCount.
    const std::optional<std::string>& field(std::size_t number) const;
    // Volser and logical library are text; every other field goes unquoted into a statement.
    static bool isTextField(std::size_t number);

    // Why the line cannot be stored, or nothing when it can: it must have 36 fields, a real
    // date and time, and a number (or no value) in every field that is not text.
    std::string problem() const;
};
