#include "MountRates.h"

#include "ReportRunner.h"
#include "ReportStatements.h"
#include "ReportTexts.h"
#include "library/DriveStatistics.h"
#include "app/DebugLog.h"
#include "library/LibraryTexts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <strings.h>

namespace {
const ReportErrorTexts MountRateErrors{report_texts::MountRatesPreparing, report_texts::MountRatesExecuting,
                                       report_texts::MountRatesFetching};

std::string statisticLine(const char* format, const std::string& name, const MountStatistic& statistic)
{
    char numbers[128];
    // The format's two numbers follow its one text slot.
    std::string text = formatReportText(format, {name});
    std::snprintf(numbers, sizeof numbers, "%.2f|%.2f", statistic.mean, statistic.deviation);
    const std::string both = numbers;
    const auto bar = both.find('|');
    const auto first = text.find("%.2f");
    text.replace(first, 4, both.substr(0, bar));
    text.replace(text.find("%.2f", first), 4, both.substr(bar + 1));
    return text;
}

// One count per listed date, summed per day: '2009-04-27' and '2009-04-27 10:00:00' are one
// day's mounts. A date whose count fails is left out. Stops when the window closes.
CountSummary countPerDate(const MountRateContext& context, const std::vector<std::string>& dates,
                          const std::function<std::string(const std::string&)>& statement)
{
    std::map<std::string, std::uint32_t> days;
    for (const std::string& date : dates) {
        if (context.request.closing())
            break;
        std::int32_t count = 0;
        if (context.connection.selectInteger(statement(date), count, MountRateErrors) == ReportConnection::Result::Ok)
            days[reportDay(date).value_or(date)] += static_cast<std::uint32_t>(count);
    }
    CountSummary counts;
    for (const auto& day : days)
        counts.add(day.second);
    return counts;
}

// How many days the listed dates are.
std::int64_t dayCount(const std::vector<std::string>& dates)
{
    std::set<std::string> days;
    for (const std::string& date : dates)
        days.insert(reportDay(date).value_or(date));
    return static_cast<std::int64_t>(days.size());
}

// The counts of the listed dates from a per-date batch: a date without a row had no mount.
CountSummary batchedPerDate(const BatchedCounts::Counts& counts, const std::string& what,
                            const std::vector<std::string>& dates)
{
    CountSummary perDate;
    for (const std::string& date : dates) {
        const auto found = counts.find(BatchedCounts::key(what, date));
        perDate.add(found == counts.end() ? 0 : found->second);
    }
    return perDate;
}

// A key's sums from a batch, over every listed date: one without a row had no mount at all.
CountSummary batchedSums(const BatchedCounts::Sums& sums, const std::string& what,
                         const std::vector<std::string>& dates)
{
    CountSummary summary;
    if (const auto found = sums.find(what); found != sums.end())
        summary = found->second;
    summary.dates = dayCount(dates);
    return summary;
}

bool readNumber(const std::string& text, std::int64_t& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value >= 0;
}

// Rows of (key columns..., sum, squares) into a batch. Nothing when the statement failed or a
// row's figures are not whole numbers: the statistic is then counted one date at a time.
std::optional<BatchedCounts::Sums> readSums(const MountRateContext& context, const std::string& sql, int keys)
{
    std::vector<std::vector<std::string>> rows;
    if (context.connection.selectTexts(sql, keys + 2, rows, MountRateErrors) != ReportConnection::Result::Ok)
        return std::nullopt;
    BatchedCounts::Sums sums;
    sums.reserve(rows.size());
    for (const auto& row : rows) {
        std::string what;
        for (int column = 0; column < keys; ++column)
            what += (column == 0 ? "" : " ") + row[static_cast<std::size_t>(column)];
        CountSummary summary;
        if (!readNumber(row[static_cast<std::size_t>(keys)], summary.sum)
            || !readNumber(row[static_cast<std::size_t>(keys) + 1], summary.squares))
            return std::nullopt;
        sums[what] = summary;
    }
    return sums;
}

// The hour bins from per-hour counts: bin h holds the mounts of hour h and those at exactly
// h + 1 o'clock (its end is included), bin 23 those of hour 23. Mounts without a time are in no
// bin; a time whose hour is not two digits would fall into other bins than the per-date
// comparisons put it in, so there is no batch then.
void readHourBatch(const MountRateContext& context, const std::string& address, const std::string& sql,
                   BatchedCounts& batch)
{
    std::vector<std::vector<std::string>> rows;
    if (context.connection.selectTexts(sql, 4, rows, MountRateErrors) != ReportConnection::Result::Ok)
        return;
    std::array<BatchedCounts::Counts, 24> hours;
    for (const auto& row : rows) {
        const std::string& hour = row[1];
        if (hour.empty())
            continue;
        // A time after 23:59:59 ('25:99:99', 'x') is no time of day: no bin counts it.
        if (hour > "23") {
            WriteDebugLine(std::string(report_texts::SkippedTime) + address + " " + row[0] + ", hour '" + hour
                           + "': " + row[2] + " rows");
            continue;
        }
        std::int64_t count = 0;
        std::int64_t fullHour = 0;
        if (hour.size() != 2 || std::isdigit(static_cast<unsigned char>(hour[0])) == 0
            || std::isdigit(static_cast<unsigned char>(hour[1])) == 0 || std::atoi(hour.c_str()) > 23
            || !readNumber(row[2], count) || !readNumber(row[3], fullHour))
            return;
        const int bin = std::atoi(hour.c_str());
        const std::string key = BatchedCounts::key("", row[0]);
        hours[static_cast<std::size_t>(bin)][key] += static_cast<std::uint32_t>(count);
        if (bin > 0)
            hours[static_cast<std::size_t>(bin - 1)][key] += static_cast<std::uint32_t>(fullHour);
    }
    for (std::size_t bin = 0; bin < hours.size(); ++bin)
        batch.hours[bin] = std::move(hours[bin]);
}

// The batches group by the stored date: only dates stored as their day exactly give the days
// the per-date counts give, so a range with others is counted one date at a time.
bool canonicalDates(const std::vector<std::string>& dates)
{
    return std::all_of(dates.begin(), dates.end(), [](const std::string& date) { return reportDay(date) == date; });
}

std::string emit(const std::string& line, const ReportRequest* view)
{
    if (view == nullptr)
        return line;
    WriteReportLine(*view, line);
    return "";
}

const char* const HourBins[24] = {"00:00:00", "01:00:00", "02:00:00", "03:00:00", "04:00:00", "05:00:00",
                                  "06:00:00", "07:00:00", "08:00:00", "09:00:00", "10:00:00", "11:00:00",
                                  "12:00:00", "13:00:00", "14:00:00", "15:00:00", "16:00:00", "17:00:00",
                                  "18:00:00", "19:00:00", "20:00:00", "21:00:00", "22:00:00", "23:00:00"};
// The last hour ends with the day: a stored time past it ('25:99:99', 'x') is in no hour.
const char* const LastSecond = "23:59:59";
} // namespace

MountStatistic TruncatedDeviation(const CountSummary& counts, bool singlePrecision)
{
    // Wider integers than the 32 bits the rule names: the same results, without overflow.
    const std::int64_t n = counts.dates;
    MountStatistic statistic;
    if (n <= 0)
        return statistic;
    if (singlePrecision) {
        const float mean = static_cast<float>(counts.sum) / static_cast<float>(n);
        statistic.mean = mean;
    } else {
        const long double mean = static_cast<long double>(counts.sum) / static_cast<long double>(n);
        statistic.mean = static_cast<double>(mean);
    }
    const std::int64_t truncated = counts.sum / n;
    // The squares of the differences from the truncated mean, from the sums:
    // sum((c - t)^2) = sum(c^2) - 2 t sum(c) + n t^2, exactly, in integers.
    const std::int64_t squares = counts.squares - 2 * truncated * counts.sum + n * truncated * truncated;
    // The variance is truncated to an integer before the root, as the report has always done.
    const std::int64_t variance = squares / n;
    statistic.deviation = std::sqrt(static_cast<double>(variance));
    return statistic;
}

MountStatistic TruncatedDeviation(const std::vector<std::uint32_t>& counts, bool singlePrecision)
{
    CountSummary summary;
    for (std::uint32_t count : counts)
        summary.add(count);
    return TruncatedDeviation(summary, singlePrecision);
}

int WwnnDigitValue(const std::string& digit)
{
    if (strcasecmp(digit.c_str(), "A") == 0)
        return 10;
    if (strcasecmp(digit.c_str(), "B") == 0)
        return 11;
    if (strcasecmp(digit.c_str(), "C") == 0)
        return 12;
    return std::atoi(digit.c_str());
}

std::vector<StatisticsDrive> statisticsDrives(const std::string& driveStatisticsText)
{
    std::vector<StatisticsDrive> drives;
    for (const std::string& wwnn : driveWwnns(driveStatisticsText)) {
        StatisticsDrive drive;
        drive.wwnn = wwnn;
        drive.frame = WwnnDigitValue(wwnn.substr(wwnn.size() - 2, 1)) + 1;
        drive.drive = WwnnDigitValue(wwnn.substr(wwnn.size() - 1));
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::string GetDriveStatisticsFile(const ReportRequest* view, const std::string& address, bool writeToView,
                                   const DownloadLimits& limits)
{
    const DownloadResult file = downloadLibraryFile(address, library_texts::DriveStatisticsFileName,
                                                    view != nullptr ? view->stopFlag() : nullptr, limits);
    if (file.complete())
        return file.text;
    // A library that answers without the file is a failure as well, in the internet library's words.
    const int code = file.status == DownloadResult::Status::NoFile ? 22 /* CURLE_HTTP_RETURNED_ERROR */
                                                                   : file.internetError;
    const std::string message = FormatWinInetError(code);
    if (writeToView && view != nullptr) {
        WriteReportLine(*view, report_texts::DriveStatisticsFailed);
        WriteReportLine(*view, formatReportText(report_texts::DriveStatisticsErrorLine, {message}));
        return "";
    }
    return formatReportText(report_texts::DriveStatisticsFailure, {message});
}

std::string DriveMountRate(const MountRateContext& context, const std::string& wwnn, const std::string& address,
                           int frame, int drive, const std::vector<std::string>& dates, CountSummary& counts,
                           const ReportRequest* view)
{
    if (context.batch != nullptr && context.batch->drives)
        counts = batchedSums(*context.batch->drives, std::to_string(frame) + " " + std::to_string(drive), dates);
    else
        counts = countPerDate(context, dates, [&](const std::string& date) {
            return context.statements.driveCount(address, frame, drive, date);
        });
    if (counts.dates == 0)
        return "";
    return emit(statisticLine(report_texts::DriveLine, wwnn, TruncatedDeviation(counts, false)), view);
}

std::string VolserMountRate(const MountRateContext& context, const std::string& address, const std::string& volser,
                            const std::vector<std::string>& dates, CountSummary& counts, const ReportRequest* view)
{
    if (context.batch != nullptr && context.batch->volsers)
        counts = batchedSums(*context.batch->volsers, volser, dates);
    else
        counts = countPerDate(context, dates, [&](const std::string& date) {
            return context.statements.volserCount(address, volser, date);
        });
    if (counts.dates == 0)
        return "";
    return emit(statisticLine(report_texts::VolserLine, volser, TruncatedDeviation(counts, false)), view);
}

std::string HourMountRate(const MountRateContext& context, const std::string& address, const std::string& start,
                          const std::string& end, const std::vector<std::string>& dates, const ReportRequest* view)
{
    const int bin = std::atoi(start.c_str());
    const bool batched = context.batch != nullptr && bin >= 0 && bin < 24
                         && context.batch->hours[static_cast<std::size_t>(bin)].has_value();
    const CountSummary counts = batched
                                    ? batchedPerDate(*context.batch->hours[static_cast<std::size_t>(bin)], "", dates)
                                    : countPerDate(context, dates, [&](const std::string& date) {
                                          return context.statements.hourCount(address, date, start, end);
                                      });
    if (counts.dates == 0)
        return "";
    return emit(statisticLine(report_texts::HourLine, start, TruncatedDeviation(counts, true)), view);
}

namespace {
// One address's part of the report; false when a database error ends the worker.
bool reportAddress(const MountRateContext& shared, const std::string& address)
{
    const ReportRequest& request = shared.request;
    BatchedCounts batch;
    const MountRateContext context{request, shared.connection, shared.statements,
                                   request.referenceCounts ? nullptr : &batch};
    const ReportRequest* view = request.mail() ? nullptr : &request;
    auto mailLine = [&](const std::string& line) {
        if (request.mail() && !line.empty())
            WriteReportLine(request, line);
    };

    WriteReportLine(request, formatReportText(report_texts::IpAddressLine, {address}));
    std::vector<std::string> stored;
    if (context.connection.selectColumn(context.statements.dates(address, request.beginDate, request.endDate), stored,
                                        MountRateErrors)
        != ReportConnection::Result::Ok)
        return false;
    // A date counts as the day of its first ten characters; one that has none is named and left
    // out. The batches group by the stored text, so they count only a range stored as its days.
    const bool batchable = canonicalDates(stored);
    std::vector<std::string> dates;
    for (std::string& date : stored) {
        if (reportDay(date))
            dates.push_back(std::move(date));
        else
            WriteDebugLine(std::string(report_texts::SkippedDate) + address + ", '" + date + "'");
    }
    if (dates.empty()) {
        const std::string text = "\r\n" + noEntriesText(request, address);
        writeReportText(request, request.mail() ? text + "\r\n\r\n" : text + "\n\r\n");
        return true;
    }
    if (request.stopped())
        return true;

    if (!request.referenceCounts && batchable) {
        const ReportStatements& statements = context.statements;
        batch.drives = readSums(context, statements.driveCountSums(address, request.beginDate, request.endDate), 2);
        batch.volsers = readSums(context, statements.volserCountSums(address, request.beginDate, request.endDate), 1);
        readHourBatch(context, address, statements.hourCountsByDate(address, request.beginDate, request.endDate),
                      batch);
    }

    const std::string statisticsText = GetDriveStatisticsFile(&request, address, !request.mail());
    const bool downloaded =
        !statisticsText.empty() && statisticsText.find(report_texts::DriveStatisticsFailureMark) == std::string::npos;
    CountSummary total;
    if (downloaded) {
        for (const StatisticsDrive& drive : statisticsDrives(statisticsText)) {
            if (request.stopped())
                break;
            CountSummary counts;
            mailLine(DriveMountRate(context, drive.wwnn, address, drive.frame, drive.drive, dates, counts, view));
            total.add(counts);
        }
    }
    if (downloaded && !request.stopped() && total.dates > 0) {
        const MountStatistic statistic = TruncatedDeviation(total, true);
        std::string line = statisticLine(report_texts::TotalLine, address, statistic);
        WriteReportLine(request, line);
    }
    if (request.stopped())
        return true;

    std::vector<std::string> volsers;
    if (context.connection.selectVolsers(context.statements.volsers(address, request.beginDate, request.endDate),
                                         address, volsers, MountRateErrors)
        != ReportConnection::Result::Ok) {
        if (!request.mail()) {
            WriteReportLine(request, report_texts::MountRatesDone);
            if (!request.stopped() && request.sink != nullptr)
                request.sink->restoreButtons();
        }
        return false;
    }
    for (const std::string& volser : volsers) {
        if (request.stopped())
            return true;
        CountSummary counts;
        mailLine(VolserMountRate(context, address, volser, dates, counts, view));
    }
    WriteReportLine(request, "");
    for (int bin = 0; bin < 24 && !request.stopped(); ++bin)
        mailLine(
            HourMountRate(context, address, HourBins[bin], bin < 23 ? HourBins[bin + 1] : LastSecond, dates, view));
    WriteReportLine(request, "");
    return true;
}
} // namespace

int ReportLibThread(const ReportRequest& request)
{
    writeReportHeader(request, report_texts::MountRatesHeader);
    if (request.stopped()) {
        finishReport(request, report_texts::MountRatesDone, report_texts::MountRatesCanceled,
                     report_texts::MountRatesDone, report_texts::MountRatesMailName);
        return 1;
    }
    ReportConnection connection(request);
    if (connection.isOpen())
        writeDateRange(request);
    const ReportStatements statements(request.table, Dialect(request.databaseType));
    const MountRateContext context{request, connection, statements};
    for (const std::string& address : request.addresses) {
        if (request.stopped())
            break;
        if (!reportAddress(context, address))
            return 0;
    }
    finishReport(request, report_texts::MountRatesDone, report_texts::MountRatesCanceled, report_texts::MountRatesDone,
                 report_texts::MountRatesMailName);
    return 1;
}
