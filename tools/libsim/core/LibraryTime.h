#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace libsim {

// A point on the library's own clock, in whole minutes since 1970-01-01 00:00. The library
// keeps local time without a zone, so no conversion ever happens.
using LibraryMinute = std::int64_t;

inline constexpr LibraryMinute MinutesPerHour = 60;
inline constexpr LibraryMinute MinutesPerDay = 24 * 60;

struct CivilTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

CivilTime toCivil(LibraryMinute minute);
LibraryMinute fromCivil(CivilTime civil);

// "YYYY-MM-DD HH:MM" or "YYYY-MM-DD" (midnight); nothing for anything else.
std::optional<LibraryMinute> parseLibraryTime(std::string_view text);

// "YYYY-MM-DD HH:MM".
std::string formatLibraryTime(LibraryMinute minute);

// The start of the hour that holds the minute.
LibraryMinute floorToHour(LibraryMinute minute);

} // namespace libsim
