#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The highest frame or drive number a report takes for a drive's: the tables hold small
// numbers; anything larger (or negative, or not a number) is another program's row.
inline constexpr int MaxDriveNumber = 999;

// What a health report is about: a drive (address, frame, drive) or a cartridge (address, volser).
struct HealthSubject {
    bool cartridge = false;
    std::string ipAddress;
    int frame = 0;
    int drive = 0;
    std::string volser;
};

// The moving average over the last 10 mounts of one field of one drive or cartridge, and the
// least-squares slopes of that average. Rows arrive newest first; every row after the ninth
// makes one trend point from the 10 newest values in the window, until enough points exist or
// the window's newest mount lies before the begin date. Older rows still fill the window of a
// point whose newest mount is in the range.
//
// The figures are computed as the report always has: the averages, their sums, the extremes,
// the data sum and the slopes are single precision; the cross products and the short
// regression's sums are double precision. The printed figures depend on it.
class MovingAverageTrend {
public:
    static constexpr std::size_t WindowSize = 10;
    static constexpr std::size_t ReportPoints = 100;
    static constexpr std::size_t DrillDownPoints = 101;
    static constexpr std::size_t ShortRegressionLength = 10;
    // Rows a field query needs at most: a full window for the first point, one more per point.
    static constexpr std::size_t RowsNeeded = WindowSize - 1 + DrillDownPoints;

    MovingAverageTrend(std::string beginDate, std::size_t pointsWanted);

    // Takes the next older row. False once no further row is wanted.
    bool addRow(std::int32_t value, const std::string& date, const std::string& time);

    std::size_t pointCount() const { return m_points.size(); }
    // Newest first, one per point: the window's newest value and the average.
    const std::vector<std::int32_t>& dataValues() const { return m_dataValues; }
    const std::vector<float>& trendPoints() const { return m_points; }

    // The text the report writes for this field: the trend block, or the not-enough line when
    // fewer than 100 points exist.
    std::string reportText(const std::string& field, const HealthSubject& subject) const;

    struct Figures {
        float slope = 0;
        std::size_t shortLength = 0;
        float shortSlope = 0;
        float minimum = -1;
        float maximum = -1;
        float last = 0;
        double dataAverageQuotient = 0; // before rounding to single precision
        float dataAverage = 0;
    };
    // The regression over the points made so far (at least one).
    Figures figures() const;

private:
    struct WindowEntry {
        std::int32_t value;
        std::string date;
        std::string time;
    };

    std::string m_beginDate;
    std::size_t m_pointsWanted;
    bool m_stopped = false;
    std::deque<WindowEntry> m_window; // newest first
    std::int64_t m_windowSum = 0;
    std::vector<std::int32_t> m_dataValues;
    std::vector<float> m_points;
    float m_sumX = 0;
    float m_sumX2 = 0;
    float m_sumY = 0;
    float m_minimum = -1.0f;
    float m_maximum = -1.0f;
};

// The status word and its relation to the data average, decided by the short slope and by the
// data average against the newest moving average ("Increasing" + " away from the avarage data
// line"). A slope that is not a number counts as decreasing.
std::string TrendStatus(float shortSlope, double dataAverageQuotient, float dataAverage, float last);

// The drill-down series, oldest first: the data values (negative ones as 0) and the moving
// averages truncated toward zero.
struct DrillDownSeries {
    std::vector<std::uint32_t> ratings;
    std::vector<std::uint32_t> trend;
};
DrillDownSeries drillDownSeries(const MovingAverageTrend& trend);
