#pragma once

#include <ctime>
#include <string>

// strftime in the "C" locale, whatever locale the process runs in: weekday and month names
// and AM/PM must read the same in the log, in reports and in mail.
std::string formatTime(const char* pattern, const std::tm& when);
std::string formatLocalTime(const char* pattern, std::time_t when);

// "%a %b %d %Y at %I:%M:%S %p", the stamp of debug lines, monitor lines and report headers.
inline constexpr const char* StampFormat = "%a %b %d %Y at %I:%M:%S %p";
