#include "FleetReader.h"

#include "FleetTexts.h"
#include "app/DebugLog.h"
#include "db/CheckedStatement.h"
#include "db/Dialect.h"
#include "db/qmxDB.h"
#include "reports/ReportRunner.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int StopPollRows = 512;

std::optional<std::int64_t> integerOf(const std::optional<std::string>& text)
{
    if (!text || text->empty())
        return std::nullopt;
    std::int64_t value = 0;
    const char* begin = text->data();
    const char* end = begin + text->size();
    // A driver may write an integer column as "12.0"; the fraction is dropped.
    const auto [at, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || at == begin || (at != end && *at != '.'))
        return std::nullopt;
    return value;
}

int smallIntegerOf(const std::optional<std::string>& text)
{
    const auto value = integerOf(text);
    return value && *value >= INT32_MIN && *value <= INT32_MAX ? static_cast<int>(*value) : 0;
}

void logFailure(const char* step, const std::string& sql, SQLHSTMT statement)
{
    WriteDebugLine(step);
    WriteDebugLine(sql);
    if (statement != SQL_NULL_HSTMT)
        qmxDB().reportDiagnostics(SQL_HANDLE_STMT, statement, Diagnostics::LogOnly);
}

// Runs a select and hands each row's columns (as text, NULL as nothing) to `row`; the cursor is
// closed on every path.
template <class RowFunction>
FleetReader::Outcome eachRow(const ReportRequest& request, SQLHSTMT handle, const std::string& sql, int columns,
                             RowFunction row)
{
    CheckedStatement statement(handle);
    if (!statement.prepare(sql)) {
        logFailure(fleet_texts::Preparing, sql, handle);
        return FleetReader::Outcome::Failed;
    }
    if (!statement.execute()) {
        logFailure(fleet_texts::Executing, sql, handle);
        return FleetReader::Outcome::Failed;
    }
    std::vector<std::optional<std::string>> cells(static_cast<std::size_t>(columns));
    Fetched fetched = Fetched::Row;
    long rows = 0;
    while ((fetched = statement.fetch()) == Fetched::Row) {
        if (++rows % StopPollRows == 0 && request.stopped())
            return FleetReader::Outcome::Stopped;
        for (int column = 0; column < columns; ++column) {
            ColumnText cell = statement.wholeText(static_cast<SQLUSMALLINT>(column + 1), ReportTextLimit);
            cells[static_cast<std::size_t>(column)] =
                cell.null ? std::nullopt : std::optional<std::string>(std::move(cell.text));
        }
        row(cells);
    }
    if (fetched == Fetched::Failed) {
        logFailure(fleet_texts::Fetching, sql, handle);
        return FleetReader::Outcome::Failed;
    }
    return request.stopped() ? FleetReader::Outcome::Stopped : FleetReader::Outcome::Done;
}
} // namespace

FleetReader::FleetReader(const ReportRequest& request, ReportConnection& connection)
    : m_request(request), m_connection(connection)
{
}

std::string FleetReader::mountsStatement(const std::string& address, const std::string& begin,
                                         const std::string& end) const
{
    const Dialect dialect(m_request.databaseType);
    return "select " + dialect.dateSelectExpression() + ", " + dialect.timeSelectExpression()
           + ", volser, frame, drive, Life_Write_Retries_Media, Life_Write_Perms_Media, Life_Read_Retries_Media, "
             "Life_Read_Perms_Media, Life_Mounts_Media, Mount_TapeAlert_Media, Mount_Rating_Drive, "
             "Mount_Rating_Media from "
           + m_request.table + " where ipaddress = " + quoteLiteral(address) + " and "
           + dialect.dateCondition(">=", begin) + "and " + dialect.dateCondition("<=", end)
           + dialect.dateTimeOrderClause();
}

namespace {
// "YYYY-MM-DD" of a day number, and the weeks of a range: a driver that keeps a whole result in
// memory (the PostgreSQL driver does) holds one week of one library at a time.
std::string dateOfDay(long day)
{
    using namespace std::chrono;
    const year_month_day civil{sys_days{days{day}}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(civil.year()),
                  static_cast<unsigned>(civil.month()), static_cast<unsigned>(civil.day()));
    return text;
}

constexpr long DaysPerStatement = 7;
} // namespace

FleetReader::Outcome FleetReader::read(const std::string& address, FleetHealth& health) const
{
    const auto first = fleet_math::dayNumber(m_request.beginDate);
    const auto last = fleet_math::dayNumber(m_request.endDate);
    if (!first || !last)
        return readRange(address, m_request.beginDate, m_request.endDate, health);
    for (long day = static_cast<long>(*first); day <= static_cast<long>(*last); day += DaysPerStatement) {
        const long to = std::min(day + DaysPerStatement - 1, static_cast<long>(*last));
        const Outcome outcome = readRange(address, dateOfDay(day), dateOfDay(to), health);
        if (outcome != Outcome::Done)
            return outcome;
    }
    return Outcome::Done;
}

FleetReader::Outcome FleetReader::readRange(const std::string& address, const std::string& begin,
                                            const std::string& end, FleetHealth& health) const
{
    FleetMount mount;
    return eachRow(m_request, m_connection.statement(), mountsStatement(address, begin, end), 13,
                   [&](const std::vector<std::optional<std::string>>& cells) {
                       mount.date = cells[0].value_or("");
                       mount.time = cells[1].value_or("");
                       mount.volser = cells[2].value_or("");
                       mount.frame = smallIntegerOf(cells[3]);
                       mount.drive = smallIntegerOf(cells[4]);
                       for (std::size_t counter = 0; counter < 4; ++counter)
                           mount.counters[counter] = integerOf(cells[5 + counter]);
                       mount.lifeMounts = integerOf(cells[9]);
                       mount.tapeAlert = integerOf(cells[10]).value_or(0);
                       mount.driveRating = smallIntegerOf(cells[11]);
                       mount.mediaRating = smallIntegerOf(cells[12]);
                       health.add(mount);
                   });
}

FleetReader::Outcome FleetReader::ratingSeries(const std::string& address, bool drive, const std::string& unit,
                                               GraphData& data) const
{
    const Dialect dialect(m_request.databaseType);
    std::string which;
    if (drive) {
        const auto colon = unit.find(':');
        if (colon == std::string::npos)
            return Outcome::Failed;
        which = "frame = " + std::to_string(std::atoi(unit.substr(0, colon).c_str()))
                + " and drive = " + std::to_string(std::atoi(unit.substr(colon + 1).c_str()));
    } else {
        which = "volser = " + quoteLiteral(unit);
    }
    const std::string sql = "select " + dialect.dateSelectExpression() + ", "
                            + (drive ? "Mount_Rating_Drive" : "Mount_Rating_Media") + " from " + m_request.table
                            + " where ipaddress = " + quoteLiteral(address) + " and " + which + " and "
                            + dialect.dateCondition(">=", m_request.beginDate) + "and "
                            + dialect.dateCondition("<=", m_request.endDate) + dialect.dateTimeOrderClause();
    std::string day;
    double sum = 0;
    long count = 0;
    const auto flush = [&] {
        if (count > 0) {
            data.values.push_back(static_cast<std::uint32_t>(sum / static_cast<double>(count) + 0.5));
            data.firstLabels.push_back(displayDate(day));
        }
        sum = 0;
        count = 0;
    };
    const Outcome outcome =
        eachRow(m_request, m_connection.statement(), sql, 2, [&](const std::vector<std::optional<std::string>>& cells) {
            const std::string date = cells[0].value_or("");
            if (date != day) {
                flush();
                day = date;
            }
            const int rating = smallIntegerOf(cells[1]);
            if (rating > 0) {
                sum += rating;
                ++count;
            }
        });
    flush();
    return outcome;
}

FleetReader::Outcome computeFleetHealth(const ReportRequest& request, const std::string& address,
                                        const FleetOptions& options, FleetResult& result)
{
    ReportConnection connection(request);
    if (!connection.isOpen())
        return FleetReader::Outcome::Failed;
    FleetHealth health(options);
    const FleetReader::Outcome outcome = FleetReader(request, connection).read(address, health);
    if (outcome == FleetReader::Outcome::Done)
        result = health.finish(request.beginDate, request.endDate);
    return outcome;
}
