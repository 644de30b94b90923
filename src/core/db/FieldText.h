#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The small text rules shared by the data lines of the library's files.

// Far longer than any line a library writes: a longer line is neither read whole nor stored.
inline constexpr std::size_t MaxLibraryLineLength = std::size_t{64} * 1024;

// The comma-separated fields of a data line, a "\r" at its end left out.
std::vector<std::string_view> splitFields(std::string_view line);
// The text without any blank.
std::string removeBlanks(std::string_view text);
// The text without blanks and tabs at both ends.
std::string trimmed(std::string_view text);
// A mount history field of exactly one blank, nothing, or a single tab stands for no value.
bool isMissingValue(std::string_view field);
// A value that may stand unquoted in a statement: an optional sign, digits, an optional
// fraction. Nothing else from a file goes into a statement without quotes.
bool isNumber(std::string_view value);
// A whole number (an optional sign and digits) within [low, high].
bool isWholeNumberWithin(std::string_view value, long long low, long long high);
// Why field fieldNumber cannot fill a numeric column of that range, or nothing when it can:
// "field 12 is not a number (x)", "field 12 is not a whole number from -32768 to 32767 (0.5)".
std::string numberFieldProblem(std::size_t fieldNumber, std::string_view value, long long low, long long high);
// "YYYY-MM-DD" from year-month-day with a four-digit year and a real month and day (one or
// two digits each); nothing when the text is no such date.
std::optional<std::string> validatedDate(std::string_view text);
// "HH:MM" (or "HH:MM:SS" when seconds are given) from hours:minutes[:seconds] of one or two
// digits each within a day; nothing when the text is no such time.
std::optional<std::string> validatedTime(std::string_view text);
// A time as validatedTime gives it, with seconds: "15:46" gives "15:46:00", "15:46:07" stays.
std::string withSeconds(std::string time);
// Why a library file line cannot be stored before its fields are looked at: the wrong number of
// fields, or a time stamp that gives no valid date or time (validDate, validTime: what
// validatedDate and validatedTime gave for them); nothing when both are good.
std::string lineHeadProblem(std::size_t fieldCount, std::size_t expectedCount, const std::string& date,
                            const std::optional<std::string>& validDate, const std::string& time,
                            const std::optional<std::string>& validTime);
