#include "LibraryTime.h"

#include <chrono>
#include <cstdio>

namespace libsim {

namespace {

LibraryMinute floorDiv(LibraryMinute value, LibraryMinute divisor)
{
    LibraryMinute quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0)) {
        --quotient;
    }
    return quotient;
}

bool readNumber(std::string_view text, std::size_t& position, std::size_t digits, int& value)
{
    if (position + digits > text.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[position + i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    position += digits;
    return true;
}

bool expect(std::string_view text, std::size_t& position, char c)
{
    if (position >= text.size() || text[position] != c) {
        return false;
    }
    ++position;
    return true;
}

} // namespace

CivilTime toCivil(LibraryMinute minute)
{
    using namespace std::chrono;
    const LibraryMinute days = floorDiv(minute, MinutesPerDay);
    const LibraryMinute inDay = minute - days * MinutesPerDay;
    const year_month_day date{sys_days{std::chrono::days{days}}};
    CivilTime civil;
    civil.year = static_cast<int>(date.year());
    civil.month = static_cast<int>(static_cast<unsigned>(date.month()));
    civil.day = static_cast<int>(static_cast<unsigned>(date.day()));
    civil.hour = static_cast<int>(inDay / MinutesPerHour);
    civil.minute = static_cast<int>(inDay % MinutesPerHour);
    return civil;
}

LibraryMinute fromCivil(CivilTime civil)
{
    using namespace std::chrono;
    const sys_days date{year{civil.year} / month{static_cast<unsigned>(civil.month)}
                        / day{static_cast<unsigned>(civil.day)}};
    return static_cast<LibraryMinute>(date.time_since_epoch().count()) * MinutesPerDay + civil.hour * MinutesPerHour
           + civil.minute;
}

std::optional<LibraryMinute> parseLibraryTime(std::string_view text)
{
    CivilTime civil;
    std::size_t position = 0;
    if (!readNumber(text, position, 4, civil.year) || !expect(text, position, '-')
        || !readNumber(text, position, 2, civil.month) || !expect(text, position, '-')
        || !readNumber(text, position, 2, civil.day)) {
        return std::nullopt;
    }
    if (position < text.size()) {
        if (!expect(text, position, ' ') || !readNumber(text, position, 2, civil.hour) || !expect(text, position, ':')
            || !readNumber(text, position, 2, civil.minute) || position != text.size()) {
            return std::nullopt;
        }
    }
    using namespace std::chrono;
    const year_month_day date{year{civil.year}, month{static_cast<unsigned>(civil.month)},
                              day{static_cast<unsigned>(civil.day)}};
    if (!date.ok() || civil.hour > 23 || civil.minute > 59) {
        return std::nullopt;
    }
    return fromCivil(civil);
}

std::string formatLibraryTime(LibraryMinute minute)
{
    const CivilTime civil = toCivil(minute);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", civil.year, civil.month, civil.day, civil.hour,
                  civil.minute);
    return text;
}

LibraryMinute floorToHour(LibraryMinute minute)
{
    return floorDiv(minute, MinutesPerHour) * MinutesPerHour;
}

} // namespace libsim
