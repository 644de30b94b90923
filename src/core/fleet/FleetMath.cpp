#include "FleetMath.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

namespace fleet_math {

namespace {
// Below this an expected figure is taken as this: no count is infinitely surprising.
constexpr double SmallestExpected = 1e-9;

double logTerm(double count, double logExpected, double expected)
{
    return -expected + count * logExpected - std::lgamma(count + 1);
}

bool digitsAt(const std::string& text, std::size_t at, std::size_t length, int& value)
{
    if (at + length > text.size())
        return false;
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, begin + length, value);
    return error == std::errc() && end == begin + length;
}
} // namespace

double poissonSurprise(std::int64_t count, double expected)
{
    expected = std::max(expected, SmallestExpected);
    if (count <= 0 || static_cast<double>(count) <= expected)
        return 0;
    // The tail from `count` up: terms fall from the first on, since count > expected. They are
    // summed in logarithms, relative to the first, until they no longer add anything.
    const double logExpected = std::log(expected);
    const double first = logTerm(static_cast<double>(count), logExpected, expected);
    double sum = 1;
    double ratio = 1;
    for (std::int64_t i = count + 1; i < count + 100000; ++i) {
        ratio *= expected / static_cast<double>(i);
        sum += ratio;
        if (ratio < 1e-15 * sum)
            break;
    }
    const double logTail = first + std::log(sum);
    return std::max(0.0, -logTail / std::log(10.0));
}

std::optional<double> dayNumber(const std::string& date, const std::string& time)
{
    int year = 0, month = 0, day = 0;
    if (date.size() < 10 || date[4] != '-' || date[7] != '-' || !digitsAt(date, 0, 4, year)
        || !digitsAt(date, 5, 2, month) || !digitsAt(date, 8, 2, day))
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day civil{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                               std::chrono::day(static_cast<unsigned>(day))};
    if (!civil.ok())
        return std::nullopt;
    double days = static_cast<double>(sys_days(civil).time_since_epoch().count());
    int hour = 0, minute = 0, second = 0;
    if (time.size() >= 8 && time[2] == ':' && time[5] == ':' && digitsAt(time, 0, 2, hour)
        && digitsAt(time, 3, 2, minute) && digitsAt(time, 6, 2, second) && hour < 24 && minute < 60 && second < 62)
        days += (hour * 3600 + minute * 60 + second) / 86400.0;
    return days;
}

void LeastSquares::add(double x, double y)
{
    if (m_count == 0)
        m_origin = x;
    x -= m_origin;
    m_lastX = std::max(m_lastX, x);
    ++m_count;
    m_x += x;
    m_y += y;
    m_xx += x * x;
    m_xy += x * y;
}

std::optional<double> LeastSquares::slope() const
{
    if (m_count < 2)
        return std::nullopt;
    const double n = static_cast<double>(m_count);
    const double spread = n * m_xx - m_x * m_x;
    if (spread <= 1e-12 * std::max(1.0, n * m_xx))
        return std::nullopt;
    return (n * m_xy - m_x * m_y) / spread;
}

std::optional<double> LeastSquares::valueAt(double x) const
{
    if (m_count == 0)
        return std::nullopt;
    const double n = static_cast<double>(m_count);
    const auto fitted = slope();
    if (!fitted)
        return m_y / n;
    return (m_y - *fitted * m_x) / n + *fitted * (x - m_origin);
}

std::optional<double> median(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
    return (lower + upper) / 2;
}

} // namespace fleet_math
