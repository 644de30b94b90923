#include "HealthReport.h"

#include "HealthLinks.h"
#include "HealthTexts.h"
#include "ReportRunner.h"
#include "ReportTexts.h"
#include "app/DebugLog.h"
#include "db/CheckedStatement.h"
#include "db/StoredInteger.h"
#include "db/qmxDB.h"

#include <limits>
#include <utility>
#include <unordered_map>

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
bool runStatement(CheckedStatement& statement, const std::string& sql, const char* prepareError,
                  const char* executeError)
{
    const char* failed = nullptr;
    if (!statement.prepare(sql))
        failed = prepareError;
    else if (!statement.execute(Success::WithInfoOrNoData))
        failed = executeError;
    if (failed == nullptr)
        return true;
    WriteDebugLine(failed);
    WriteDebugLine(sql);
    if (statement.valid())
        qmxDB().reportDiagnostics(SQL_HANDLE_STMT, statement.handle(), Diagnostics::LogOnly);
    statement.close();
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
std::optional<std::int32_t> trendValue(const StoredInteger& stored, const HealthSubject& subject, const char* column,
                                       const std::string& date, const std::string& time)
{
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
bool readTrend(SQLHSTMT handle, const std::string& sql, const Errors& errors, MovingAverageTrend& trend,
               const ReportRequest& request, const HealthSubject& subject, const HealthField& field)
{
    CheckedStatement statement(handle);
    if (!runStatement(statement, sql, errors.prepare, errors.fieldExecute))
        return false;
    while (!request.cancelled() && statement.fetch() == Fetched::Row) {
        const StoredInteger stored = statement.integer(1);
        const auto date = statement.text(2, 32);
        const auto time = statement.text(3, 32);
        const auto value = trendValue(stored, subject, field.column, date.value_or(""), time.value_or(""));
        if (!value || !date)
            continue;
        if (!trend.addRow(*value, *date, time.value_or("")))
            break;
    }
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
std::optional<std::vector<HealthSubject>> readSubjects(SQLHSTMT handle, HealthReportKind kind,
                                                       const ReportRequest& request, const std::string& address,
                                                       const Errors& errors)
{
    const std::string sql = healthSubjectStatement(kind, request.table, address, request.beginDate, request.endDate,
                                                   Dialect(request.databaseType));
    CheckedStatement statement(handle);
    if (!runStatement(statement, sql, errors.prepare, errors.listExecute))
        return std::nullopt;
    std::vector<HealthSubject> subjects;
    while (statement.fetch() == Fetched::Row) {
        HealthSubject subject;
        subject.ipAddress = address;
        if (kind == HealthReportKind::Cartridge) {
            subject.cartridge = true;
            ColumnText volser = statement.wholeText(1, ReportTextLimit);
            if (!reportableVolser(volser, address))
                continue;
            subject.volser = std::move(volser.text);
        } else {
            const StoredInteger storedFrame = statement.integer(1);
            const StoredInteger storedDrive = statement.integer(2);
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
    return subjects;
}

// A subject's key in a batch: its volser, or its frame and drive.
std::string subjectKey(const HealthSubject& subject)
{
    return subject.cartridge ? subject.volser : std::to_string(subject.frame) + " " + std::to_string(subject.drive);
}

// One field's report text for every listed subject of an address, by subject key.
using FieldTexts = std::unordered_map<std::string, std::string>;

// One field's texts from one statement over all subjects of the address: the rows each
// subject's own statement would read, fed to its trend in the same order. A subject without rows
// is not there (its text is the not-enough line). Nothing when the statement failed (logged:
// the subjects' own statements then read the field) or the run was cancelled.
std::optional<FieldTexts> batchedFieldTexts(SQLHSTMT handle, HealthReportKind kind, const HealthField& field,
                                            const ReportRequest& request, const std::string& address,
                                            const std::unordered_map<std::string, const HealthSubject*>& subjects,
                                            const Errors& errors)
{
    const std::string sql = healthBatchStatement(kind, field, request.table, address, request.beginDate,
                                                 request.endDate, Dialect(request.databaseType));
    CheckedStatement statement(handle);
    if (!runStatement(statement, sql, errors.prepare, errors.fieldExecute))
        return std::nullopt;
    const bool drive = kind == HealthReportKind::Drive;
    const SQLUSMALLINT valueColumn = drive ? 3 : 2;
    FieldTexts texts;
    // The rows come subject by subject; a row whose key names no subject (a NULL volser, a frame
    // that is no drive's) belongs to none.
    std::optional<std::pair<bool, std::string>> key;
    const HealthSubject* subject = nullptr;
    std::optional<MovingAverageTrend> trend;
    bool enough = false;
    const auto finishSubject = [&] {
        if (subject != nullptr && trend)
            texts[key->second] = trend->reportText(field.name, *subject);
    };
    Fetched fetched = Fetched::Row;
    while ((fetched = statement.fetch()) == Fetched::Row) {
        if (request.cancelled())
            return std::nullopt;
        std::pair<bool, std::string> rowKey;
        if (drive) {
            const auto frame = driveNumber(statement.integer(1));
            const auto number = driveNumber(statement.integer(2));
            if (frame && number)
                rowKey = {true, std::to_string(*frame) + " " + std::to_string(*number)};
        } else {
            ColumnText volser = statement.wholeText(1, ReportTextLimit);
            if (!volser.null && !volser.cut)
                rowKey = {true, std::move(volser.text)};
        }
        if (!key || rowKey != *key) {
            finishSubject();
            key = std::move(rowKey);
            const auto found = key->first ? subjects.find(key->second) : subjects.end();
            subject = found == subjects.end() ? nullptr : found->second;
            trend.emplace(request.beginDate, MovingAverageTrend::ReportPoints);
            enough = false;
        }
        if (subject == nullptr || enough)
            continue;
        const StoredInteger stored = statement.integer(valueColumn);
        const auto date = statement.text(valueColumn + 1, 32);
        const auto time = statement.text(valueColumn + 2, 32);
        const auto value = trendValue(stored, *subject, field.column, date.value_or(""), time.value_or(""));
        if (value && date && !trend->addRow(*value, *date, time.value_or("")))
            enough = true;
    }
    finishSubject();
    statement.close();
    if (fetched == Fetched::Failed) {
        WriteDebugLine(errors.fieldExecute);
        WriteDebugLine(sql);
        return std::nullopt;
    }
    return texts;
}

int stoppedByDatabase(const ReportRequest& request)
{
    // The form must not stay in its running state after a database error.
    if (!request.mail() && !request.stopped() && request.sink != nullptr)
        request.sink->restoreButtons();
    return 0;
}

// One drive's or cartridge's section: its header line, then one text per field, from the
// field's batch where it has one (batches[i] for field i) and from the subject's own statement
// otherwise.
bool writeSubject(const ReportRequest& request, SQLHSTMT statement, HealthReportKind kind, const HealthSubject& subject,
                  const Errors& errors, const std::vector<std::optional<FieldTexts>>& batches)
{
    WriteReportLine(request, healthContextLine(subject));
    const Dialect dialect(request.databaseType);
    const auto& fields = healthFields(kind);
    for (std::size_t at = 0; at < fields.size(); ++at) {
        const HealthField& field = fields[at];
        if (request.cancelled())
            break;
        MovingAverageTrend trend(request.beginDate, MovingAverageTrend::ReportPoints);
        if (at < batches.size() && batches[at]) {
            const auto found = batches[at]->find(subjectKey(subject));
            WriteReportLine(request,
                            found != batches[at]->end() ? found->second : trend.reportText(field.name, subject));
            continue;
        }
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
        // Each field of every cartridge from one statement per field, on a server, where the many
        // small statements cost a round trip each. The subjects' own statements remain for a field
        // whose statement failed, for comparison (referenceCounts), for drives (a few dozen, each
        // with a history far longer than the 110 rows its statement reads through the index) and
        // on the embedded store, where one statement would number every row before keeping any.
        std::vector<std::optional<FieldTexts>> batches;
        if (!drive && !request.referenceCounts && !connection.embeddedStore()) {
            std::unordered_map<std::string, const HealthSubject*> byKey;
            for (const HealthSubject& subject : *subjects)
                byKey.emplace(subjectKey(subject), &subject);
            for (const HealthField& field : healthFields(kind)) {
                if (request.cancelled())
                    break;
                batches.push_back(batchedFieldTexts(statement, kind, field, request, address, byKey, errors));
            }
        }
        for (const HealthSubject& subject : *subjects) {
            if (request.cancelled())
                break;
            if (!writeSubject(request, statement, kind, subject, errors, batches))
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
