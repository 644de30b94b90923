#pragma once

#include "ReportRequest.h"
#include "library/Download.h"

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <string>
#include <vector>

class ReportConnection;
class ReportStatements;

// The deviation of the mount rate lines: the mean of the counts (the printed average), and a
// population deviation around the mean truncated to an integer, with the variance truncated too.
struct MountStatistic {
    double mean = 0;
    double deviation = 0;
};
// A statistic's daily counts as far as its line needs them: how many dates were counted, the sum
// of the counts and the sum of their squares. A batch reads these from the server instead of one
// row per day.
struct CountSummary {
    std::int64_t dates = 0;
    std::int64_t sum = 0;
    std::int64_t squares = 0;

    void add(std::uint32_t count)
    {
        ++dates;
        sum += count;
        squares += static_cast<std::int64_t>(count) * count;
    }
    void add(const CountSummary& other)
    {
        dates += other.dates;
        sum += other.sum;
        squares += other.squares;
    }
};
// No counts give 0 and 0 (the reports write no line then). singlePrecision holds the mean as a
// float (hour and total lines).
MountStatistic TruncatedDeviation(const CountSummary& counts, bool singlePrecision);
MountStatistic TruncatedDeviation(const std::vector<std::uint32_t>& counts, bool singlePrecision);

// "A", "B", "C" (either case) give 10, 11, 12; anything else its leading decimal digits, or 0.
int WwnnDigitValue(const std::string& digit);

// A drive of the drive statistics file: its WWNN, frame (second-to-last WWNN digit + 1) and drive
// (last digit).
struct StatisticsDrive {
    std::string wwnn;
    int frame = 0;
    int drive = 0;
};
std::vector<StatisticsDrive> statisticsDrives(const std::string& driveStatisticsText);

// The library's drive statistics file as text (NUL bytes and "_" read as blanks). On a failure,
// with writeToView the two failure lines go to the report and the result is empty; without it
// the result is the failure text itself.
std::string GetDriveStatisticsFile(const ReportRequest* view, const std::string& address, bool writeToView,
                                   const DownloadLimits& limits = {});

// One address's counts for the whole range, read with one statement per statistic: per drive
// ("frame drive") and per volser the sums the server made of their daily counts, per hour bin
// the count of each date. A statistic whose statement failed has none, and its counts are taken
// one date at a time instead.
struct BatchedCounts {
    using Sums = std::unordered_map<std::string, CountSummary>;
    using Counts = std::unordered_map<std::string, std::uint32_t>;
    std::optional<Sums> drives;
    std::optional<Sums> volsers;
    std::array<std::optional<Counts>, 24> hours;

    static std::string key(const std::string& what, const std::string& date) { return what + '\x1f' + date; }
};

// What the per-statistic functions share: the run, its connection and its statements, and the
// address's batched counts (null: one count query per date).
struct MountRateContext {
    const ReportRequest& request;
    const ReportConnection& connection;
    const ReportStatements& statements;
    const BatchedCounts* batch = nullptr;
};

// Each counts once per listed date (or takes the batch's sums), then writes its line into the
// view (window mode) and returns "", or returns the line (view is null). No line when no count
// was collected.
std::string DriveMountRate(const MountRateContext& context, const std::string& wwnn, const std::string& address,
                           int frame, int drive, const std::vector<std::string>& dates, CountSummary& counts,
                           const ReportRequest* view);
std::string VolserMountRate(const MountRateContext& context, const std::string& address, const std::string& volser,
                            const std::vector<std::string>& dates, CountSummary& counts, const ReportRequest* view);
std::string HourMountRate(const MountRateContext& context, const std::string& address, const std::string& start,
                          const std::string& end, const std::vector<std::string>& dates, const ReportRequest* view);

// The mount rates report: 1 when it ran to its end, 0 when a database error stopped it.
int ReportLibThread(const ReportRequest& request);
