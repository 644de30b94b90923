#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The small pieces of arithmetic the fleet figures rest on.
namespace fleet_math {

// How unlikely it is to see `count` or more events where `expected` were due by chance
// (Poisson), as -log10 of that chance: 0 when count is not above what was expected, 3 for one
// chance in a thousand. An expected figure of 0 or less counts as a very small one.
double poissonSurprise(std::int64_t count, double expected);

// Days since 1970-01-01 of "YYYY-MM-DD", with the fraction of the day from "HH:MM:SS" when
// the time reads as one; nothing when the date does not.
std::optional<double> dayNumber(const std::string& date, const std::string& time = "");

// A least-squares line through points given one at a time.
class LeastSquares {
public:
    void add(double x, double y);
    std::int64_t count() const { return m_count; }
    // The slope, or nothing with fewer than two distinct x.
    std::optional<double> slope() const;
    // The line's value at x (the mean of y when there is no slope); nothing without points.
    std::optional<double> valueAt(double x) const;
    // The smallest and largest x given.
    double firstX() const { return m_origin; }
    double lastX() const { return m_origin + m_lastX; }

private:
    std::int64_t m_count = 0;
    // Sums kept relative to the first x, so that day numbers near 20,000 keep their precision.
    double m_origin = 0;
    double m_x = 0, m_y = 0, m_xx = 0, m_xy = 0;
    double m_lastX = 0;
};

// The median of the values (the mean of the middle two for an even count); nothing when empty.
std::optional<double> median(std::vector<double> values);

} // namespace fleet_math
