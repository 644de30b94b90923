#include "MovingAverageTrend.h"

#include "HealthTexts.h"

#include <cmath>
#include <cstdio>
#include <strings.h>
#include <utility>

namespace {
template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, args...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::uint32_t nonNegative(double value)
{
    return value <= 0 ? 0U : static_cast<std::uint32_t>(std::trunc(value));
}
} // namespace

MovingAverageTrend::MovingAverageTrend(std::string beginDate, std::size_t pointsWanted)
    : m_beginDate(std::move(beginDate)), m_pointsWanted(pointsWanted)
{
}

bool MovingAverageTrend::addRow(std::int32_t value, const std::string& date, const std::string& time)
{
    if (m_stopped)
        return false;
    m_window.push_back(WindowEntry{value, date, time});
    m_windowSum += value;
    if (m_window.size() < WindowSize)
        return true;

    if (strcasecmp(m_window.front().date.c_str(), m_beginDate.c_str()) < 0) {
        m_stopped = true;
        return false;
    }
    const float average = static_cast<float>(m_windowSum) * 0.1f;
    const float x = static_cast<float>(m_points.size() + 1);
    m_sumX += x;
    m_sumX2 += x * x;
    m_sumY += average;
    if (m_minimum < 0 || m_minimum > average)
        m_minimum = average;
    if (!(m_maximum >= average))
        m_maximum = average;
    m_dataValues.push_back(m_window.front().value);
    m_points.push_back(average);

    m_windowSum -= m_window.front().value;
    m_window.pop_front();
    if (m_points.size() >= m_pointsWanted)
        m_stopped = true;
    return !m_stopped;
}

MovingAverageTrend::Figures MovingAverageTrend::figures() const
{
    Figures result;
    const std::size_t n = m_points.size();
    if (n == 0)
        return result;

    double sumXY = 0;
    for (std::size_t k = 0; k < n; ++k)
        sumXY += static_cast<double>(m_points[k]) * static_cast<double>(n - k);
    const float fn = static_cast<float>(n);
    const float denominator = fn * m_sumX2 - m_sumX * m_sumX;
    result.slope =
        static_cast<float>((static_cast<double>(n) * sumXY - static_cast<double>(m_sumX) * static_cast<double>(m_sumY))
                           / static_cast<double>(denominator));

    const std::size_t m = n < ShortRegressionLength ? n : ShortRegressionLength;
    double sx = 0, sx2 = 0, sy = 0, sxy = 0;
    for (std::size_t k = 0; k < m; ++k) {
        const double x = static_cast<double>(n - k);
        const double y = m_points[k];
        sx += x;
        sx2 += x * x;
        sy += y;
        sxy += x * y;
    }
    const double dm = static_cast<double>(m);
    result.shortLength = m;
    result.shortSlope = static_cast<float>((dm * sxy - sx * sy) / (dm * sx2 - sx * sx));

    float dataSum = 0;
    for (std::int32_t value : m_dataValues)
        dataSum += static_cast<float>(value);
    result.dataAverageQuotient = static_cast<double>(dataSum) / static_cast<double>(n);
    result.dataAverage = static_cast<float>(result.dataAverageQuotient);
    result.minimum = m_minimum;
    result.maximum = m_maximum;
    result.last = m_points.front();
    return result;
}

std::string TrendStatus(float shortSlope, double dataAverageQuotient, float dataAverage, float last)
{
    enum { Above, Below, Equal } relation = Below;
    if (dataAverageQuotient > static_cast<double>(last))
        relation = Above;
    else if (dataAverage == last)
        relation = Equal;

    using namespace health_texts;
    if (shortSlope > 0.0f)
        return std::string(Increasing)
               + (relation == Above   ? TowardsAverage
                  : relation == Below ? AwayFromAverage
                                      : FromAverage);
    if (shortSlope == 0.0f)
        return std::string(Straight)
               + (relation == Above   ? BelowAverage
                  : relation == Below ? AboveAverage
                                      : OnAverage);
    return std::string(Decreasing)
           + (relation == Above   ? AwayFromAverage
              : relation == Below ? TowardsAverage
                                  : FromAverage);
}

std::string MovingAverageTrend::reportText(const std::string& field, const HealthSubject& subject) const
{
    using namespace health_texts;
    if (m_points.size() < ReportPoints) {
        if (subject.cartridge)
            return format(CartridgeNotEnough, field.c_str(), subject.ipAddress.c_str(), subject.volser.c_str());
        return format(DriveNotEnough, field.c_str(), subject.ipAddress.c_str(), subject.frame, subject.drive);
    }
    const Figures f = figures();
    std::string text = "    " + field;
    text += format(subject.cartridge ? CartridgeTrendRate : DriveTrendRate, static_cast<double>(f.slope));
    text += format(ShortTrendRate, static_cast<int>(f.shortLength), static_cast<double>(f.shortSlope));
    text += format(TrendValues, static_cast<double>(f.minimum), static_cast<double>(f.maximum),
                   static_cast<double>(f.last));
    text += format(AverageDataValue, static_cast<double>(f.dataAverage));
    text += StatusLine + TrendStatus(f.shortSlope, f.dataAverageQuotient, f.dataAverage, f.last) + "\r\n";
    return text;
}

DrillDownSeries drillDownSeries(const MovingAverageTrend& trend)
{
    DrillDownSeries series;
    const auto& values = trend.dataValues();
    const auto& points = trend.trendPoints();
    for (std::size_t i = values.size(); i-- > 0;) {
        series.ratings.push_back(values[i] < 0 ? 0U : static_cast<std::uint32_t>(values[i]));
        series.trend.push_back(nonNegative(points[i]));
    }
    return series;
}
