#include "FieldText.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <vector>

namespace {
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text)
{
    for (char c : text)
        if (!isDigit(c))
            return false;
    return !text.empty();
}

std::vector<std::string_view> pieces(std::string_view text, char separator)
{
    std::vector<std::string_view> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        result.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return result;
        start = end + 1;
    }
}

// A number of one to maxDigits digits within [low, high].
std::optional<int> boundedNumber(std::string_view text, std::size_t maxDigits, int low, int high)
{
    if (!allDigits(text) || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::string twoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}
} // namespace

std::string removeBlanks(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            result.push_back(c);
    return result;
}

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool isMissingValue(std::string_view field)
{
    return field.empty() || field == " " || field == "\t";
}

bool isNumber(std::string_view value)
{
    if (!value.empty() && (value.front() == '+' || value.front() == '-'))
        value.remove_prefix(1);
    const std::size_t point = value.find('.');
    if (point == std::string_view::npos)
        return allDigits(value);
    const std::string_view whole = value.substr(0, point);
    const std::string_view fraction = value.substr(point + 1);
    return (allDigits(whole) || whole.empty()) && (allDigits(fraction) || fraction.empty())
           && !(whole.empty() && fraction.empty());
}

bool isWholeNumberWithin(std::string_view value, long long low, long long high)
{
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    if (!allDigits(value))
        return false;
    while (value.size() > 1 && value.front() == '0')
        value.remove_prefix(1);
    long long magnitude = 0;
    // Too many digits for a long long is out of any range (from_chars reports it).
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), magnitude);
    if (error != std::errc() || end != value.data() + value.size())
        return false;
    const long long number = negative ? -magnitude : magnitude;
    return number >= low && number <= high;
}

std::string numberFieldProblem(std::size_t fieldNumber, std::string_view value, long long low, long long high)
{
    // Every field of every line passes through here: the text is composed only for a refusal.
    if (!isNumber(value))
        return "field " + std::to_string(fieldNumber) + " is not a number (" + std::string(value) + ")";
    if (!isWholeNumberWithin(value, low, high))
        return "field " + std::to_string(fieldNumber) + " is not a whole number from " + std::to_string(low) + " to "
               + std::to_string(high) + " (" + std::string(value) + ")";
    return {};
}

std::optional<std::string> validatedDate(std::string_view text)
{
    const auto parts = pieces(text, '-');
    if (parts.size() != 3 || parts[0].size() != 4)
        return std::nullopt;
    const auto year = boundedNumber(parts[0], 4, 1, 9999);
    const auto month = boundedNumber(parts[1], 2, 1, 12);
    if (!year || !month)
        return std::nullopt;
    const auto day = boundedNumber(parts[2], 2, 1, daysInMonth(*year, *month));
    if (!day)
        return std::nullopt;
    return std::string(parts[0]) + "-" + twoDigits(*month) + "-" + twoDigits(*day);
}

std::optional<std::string> validatedTime(std::string_view text)
{
    const auto parts = pieces(text, ':');
    if (parts.size() != 2 && parts.size() != 3)
        return std::nullopt;
    const auto hours = boundedNumber(parts[0], 2, 0, 23);
    const auto minutes = boundedNumber(parts[1], 2, 0, 59);
    if (!hours || !minutes)
        return std::nullopt;
    std::string result = twoDigits(*hours) + ":" + twoDigits(*minutes);
    if (parts.size() == 3) {
        const auto seconds = boundedNumber(parts[2], 2, 0, 59);
        if (!seconds)
            return std::nullopt;
        result += ":" + twoDigits(*seconds);
    }
    return result;
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string_view> fields;
    fields.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1);
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(',', start);
        fields.push_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

std::string withSeconds(std::string time)
{
    if (time.size() == 5)
        time += ":00";
    return time;
}

std::string lineHeadProblem(std::size_t fieldCount, std::size_t expectedCount, const std::string& date,
                            const std::optional<std::string>& validDate, const std::string& time,
                            const std::optional<std::string>& validTime)
{
    if (fieldCount != expectedCount)
        return "it has " + std::to_string(fieldCount) + " fields, not " + std::to_string(expectedCount);
    if (!validDate)
        return "its time stamp gives no valid date (" + date + ")";
    if (!validTime)
        return "its time stamp gives no valid time (" + time + ")";
    return {};
}
