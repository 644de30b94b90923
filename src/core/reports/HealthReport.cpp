#include "HealthReport.h"

#include "HealthLinks.h"
#include "HealthTexts.h"
#include "ReportRunner.h"
#include "ReportTexts.h"
#include "app/DebugLog.h"
#include "db/StoredInteger.h"
#include "db/qmxDB.h"

#include <limits>

namespace {
struct Errors {
    const char* prepare;
    const char* listExecute;
    const char* fieldExecute;
};

Errors errorsOf(HealthReportKind kind)
{
    using namespace health_texts;
    if (kind == HealthReportKind::Drive)
        return {DrivePrepareError, DriveExecuteError, DriveExecuteError};
    return {CartridgePrepareError, CartridgeListExecuteError, CartridgeFieldExecuteError};
}

// Prepares and executes on the connection's statement; on failure logs the error line and the
// statement, passes the diagnostics on and closes the cursor.
bool runStatement(SQLHSTMT statement, const std::string& sql, const char* prepareError, const char* executeError)
{
    const char* failed = nullptr;
    if (statement == SQL_NULL_HSTMT || prepareStatement(statement, sql) != SQL_SUCCESS) {
        failed = prepareError;
    } else {
        const SQLRETURN executed = executeStatement(statement);
        if (executed != SQL_SUCCESS && executed != SQL_SUCCESS_WITH_INFO && executed != SQL_NO_DATA)
            failed = executeError;
    }
    if (failed == nullptr)
        return true;
    WriteDebugLine(failed);
    WriteDebugLine(sql);
    if (statement != SQL_NULL_HSTMT)
        qmxDB().reportDiagnostics(SQL_HANDLE_STMT, statement, Diagnostics::LogOnly);
    closeCursor(statement);
    return false;
}

std::string subjectName(const HealthSubject& subject)
{
    if (subject.cartridge)
        return subject.ipAddress + " " + subject.volser;
    return subject.ipAddress + " frame " + std::to_string(subject.frame) + " drive " + std::to_string(subject.drive);
}

// A field's stored value as the trend takes it: a signed 32-bit integer. Read in 64 bits with its
// kind, so that 2^32 + 5 is not taken for 5; a value beyond 32 bits or a text is named in the
// debug log and skipped (a NULL is skipped silently, as it always was).
std::optional<std::int32_t> trendValue(SQLHSTMT statement, const HealthSubject& subject, const char* column,
                                       const std::string& date, const std::string& time)
{
    const StoredInteger stored = getColumnInteger(statement, 1);
    if (stored.kind == StoredInteger::Kind::Null)
        return std::nullopt;
    if (stored.isInteger() && stored.value >= std::numeric_limits<std::int32_t>::min()
        && stored.value <= std::numeric_limits<std::int32_t>::max())
        return static_cast<std::int32_t>(stored.value);
    WriteDebugLine(std::string(report_texts::SkippedValue) + subjectName(subject) + " " + date + " " + time + ", "
                   + column + ": '" + stored.text + "'");
    return std::nullopt;
}

// Reads one field's rows, newest first, into the trend until it has enough, the request is
// cancelled or the rows end; false on a statement failure.
bool readTrend(SQLHSTMT statement, const std::string& sql, const Errors& errors, MovingAverageTrend& trend,
               const ReportRequest& request, const HealthSubject& subject, const HealthField& field)
{
    if (!runStatement(statement, sql, errors.prepare, errors.fieldExecute))
        return false;
    while (!request.cancelled() && fetchSucceeded(SQLFetch(statement))) {
        const auto date = getColumnText(statement, 2, 32);
        const auto time = getColumnText(statement, 3, 32);
        const auto value = trendValue(statement, subject, field.column, date.value_or(""), time.value_or(""));
        if (!value || !date)
            continue;
        if (!trend.addRow(*value, *date, time.value_or("")))
            break;
    }
    closeCursor(statement);
    return true;
}

// A frame or drive number as the report names drives: a small non-negative integer. Anything
// else (NULL, a text, 2^32 + 5) names no drive, and the rows under it are not a drive's.
std::optional<int> driveNumber(const StoredInteger& stored)
{
    if (!stored.isInteger() || stored.value < 0 || stored.value > MaxDriveNumber)
        return std::nullopt;
    return static_cast<int>(stored.value);
}

std::string storedText(const StoredInteger& stored)
{
    return stored.kind == StoredInteger::Kind::Null ? "NULL" : "'" + stored.text + "'";
}

// The drives (frame and drive) or cartridges with mounts in the range; nothing on a failure.
std::optional<std::vector<HealthSubject>> readSubjects(SQLHSTMT statement, HealthReportKind kind,
                                                       const ReportRequest& request, const std::string& address,
                                                       const Errors& errors)
{
    const std::string sql = healthSubjectStatement(kind, request.table, address, request.beginDate, request.endDate,
                                                   Dialect(request.databaseType));
    if (!runStatement(statement, sql, errors.prepare, errors.listExecute))
        return std::nullopt;
    std::vector<HealthSubject> subjects;
    while (fetchSucceeded(SQLFetch(statement))) {
        HealthSubject subject;
        subject.ipAddress = address;
        if (kind == HealthReportKind::Cartridge) {
            subject.cartridge = true;
            ColumnText volser = getWholeColumnText(statement, 1, ReportTextLimit);
            if (!reportableVolser(volser, address))
                continue;
            subject.volser = std::move(volser.text);
        } else {
            const StoredInteger storedFrame = getColumnInteger(statement, 1);
            const StoredInteger storedDrive = getColumnInteger(statement, 2);
            const auto frame = driveNumber(storedFrame);
            const auto drive = driveNumber(storedDrive);
            if (!frame || !drive) {
                WriteDebugLine(std::string(health_texts::SkippedDrive) + address + ", frame " + storedText(storedFrame)
                               + " drive " + storedText(storedDrive));
                continue;
            }
            subject.frame = *frame;
            subject.drive = *drive;
        }
        subjects.push_back(std::move(subject));
    }
    closeCursor(statement);
    return subjects;
}

int stoppedByDatabase(const ReportRequest& request)
{
    // The form must not stay in its running state after a database error.
    if (!request.mail() && !request.stopped() && request.sink != nullptr)
        request.sink->restoreButtons();
    return 0;
}

// One drive's or cartridge's section: its header line, then one text per field.
bool writeSubject(const ReportRequest& request, SQLHSTMT statement, HealthReportKind kind, const HealthSubject& subject,
                  const Errors& errors)
{
    WriteReportLine(request, healthContextLine(subject));
    const Dialect dialect(request.databaseType);
    for (const HealthField& field : healthFields(kind)) {
        if (request.cancelled())
            break;
        MovingAverageTrend trend(request.beginDate, MovingAverageTrend::ReportPoints);
        if (!readTrend(statement, healthFieldStatement(field, request.table, subject, request.endDate, dialect), errors,
                       trend, request, subject, field))
            return false;
        if (request.cancelled())
            break;
        WriteReportLine(request, trend.reportText(field.name, subject));
    }
    WriteReportLine(request, "\r\n");
    return true;
}
} // namespace

int runHealthReport(HealthReportKind kind, const ReportRequest& request)
{
    using namespace health_texts;
    const bool drive = kind == HealthReportKind::Drive;
    const char* reportName = drive ? DriveReportName : CartridgeReportName;
    const auto finish = [&] {
        finishReport(request, report_texts::Done, report_texts::Canceled, report_texts::Done, reportName);
    };

    // The header's window size is fixed; the runner fills in the time.
    const std::string header =
        formatReportText(drive ? DriveHeader : CartridgeHeader, {std::to_string(MovingAverageTrend::WindowSize), "%s"});
    writeReportHeader(request, header.c_str());
    if (request.stopped()) {
        finish();
        return 1;
    }
    ReportConnection connection(request);
    if (!connection.isOpen())
        return stoppedByDatabase(request);
    writeDateRange(request);

    const Errors errors = errorsOf(kind);
    const SQLHSTMT statement = connection.statement();
    for (const std::string& address : request.addresses) {
        if (request.cancelled())
            break;
        const auto subjects = readSubjects(statement, kind, request, address, errors);
        if (!subjects)
            return stoppedByDatabase(request);
        if (subjects->empty()) {
            WriteReportLine(request, noEntriesText(request, address) + "\r\n");
            continue;
        }
        if (!drive) {
            std::string list;
            for (const HealthSubject& subject : *subjects)
                list += formatReportText(CartridgeListEntry, {address, subject.volser});
            WriteReportLine(request, list);
        }
        for (const HealthSubject& subject : *subjects) {
            if (request.cancelled())
                break;
            if (!writeSubject(request, statement, kind, subject, errors))
                return stoppedByDatabase(request);
        }
    }
    finish();
    return 1;
}

int ReportDrvThread(const ReportRequest& request)
{
    return runHealthReport(HealthReportKind::Drive, request);
}

int ReportCtgThread(const ReportRequest& request)
{
    return runHealthReport(HealthReportKind::Cartridge, request);
}

std::optional<DrillDownSeries> runDrillDown(const DrillDownRequest& request)
{
    const HealthField* field = findHealthField(request.kind, request.field);
    if (field == nullptr)
        return std::nullopt;
    const ReportConnection connection(request.run);
    if (!connection.isOpen())
        return std::nullopt;
    MovingAverageTrend trend(request.run.beginDate, MovingAverageTrend::DrillDownPoints);
    const std::string sql = healthFieldStatement(*field, request.run.table, request.subject, request.run.endDate,
                                                 Dialect(request.run.databaseType));
    if (!readTrend(connection.statement(), sql, errorsOf(request.kind), trend, request.run, request.subject, *field))
        return std::nullopt;
    return drillDownSeries(trend);
}

std::string drillDownTitle(const DrillDownRequest& request)
{
    return formatReportText(health_texts::DrillDownTitle,
                            {request.field, std::to_string(MovingAverageTrend::WindowSize)});
}

std::string drillDownLibraryText(const DrillDownRequest& request)
{
    const std::string begin = displayDate(request.run.beginDate);
    const std::string end = displayDate(request.run.endDate);
    const HealthSubject& subject = request.subject;
    if (subject.cartridge)
        return formatReportText(health_texts::DrillDownCartridgeSubject,
                                {subject.ipAddress, subject.volser, begin, end});
    return formatReportText(health_texts::DrillDownDriveSubject, {subject.ipAddress, std::to_string(subject.frame),
                                                                  std::to_string(subject.drive), begin, end});
}
