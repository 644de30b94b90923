#include "HealthReport.h"

#include "HealthLinks.h"
#include "HealthTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "db/qmxDB.h"

#include <cstdio>

namespace {
bool isSet(const std::atomic<bool>* flag)
{
    return flag != nullptr && flag->load();
}

// Disconnects (which commits) on every way out.
class Connection {
public:
    Connection(const std::string& dataSource, const std::string& user, const std::string& password)
    {
        m_open = m_db.connectDB(dataSource, user, password, m_handles, false, nullptr);
    }
    ~Connection()
    {
        if (m_open)
            m_db.disconnectDB(m_handles);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const { return m_open; }
    SQLHSTMT statement() const { return m_handles.statement; }

    // Prepares and executes; on failure logs the error line and the statement, passes the
    // diagnostics on and closes the cursor.
    bool run(const std::string& sql, const char* prepareError, const char* executeError) const
    {
        if (prepareStatement(statement(), sql) != SQL_SUCCESS) {
            fail(prepareError, sql);
            return false;
        }
        const SQLRETURN executed = executeStatement(statement());
        if (executed != SQL_SUCCESS && executed != SQL_SUCCESS_WITH_INFO && executed != SQL_NO_DATA) {
            fail(executeError, sql);
            return false;
        }
        return true;
    }

private:
    void fail(const char* errorLine, const std::string& sql) const
    {
        WriteDebugLine(errorLine);
        WriteDebugLine(sql);
        m_db.reportDiagnostics(SQL_HANDLE_STMT, statement(), SQL_ERROR, false, nullptr, false);
        closeCursor(statement());
    }

    qmxDB m_db;
    OdbcHandles m_handles;
    bool m_open = false;
};

std::optional<std::int32_t> columnInteger(SQLHSTMT statement, SQLUSMALLINT column)
{
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    const SQLRETURN result = SQLGetData(statement, column, SQL_C_SLONG, &value, sizeof value, &indicator);
    if (!fetchSucceeded(result) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

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

// Reads one field's rows into the trend until it has enough; false on a statement failure.
bool readTrend(const Connection& connection, const std::string& sql, const Errors& errors,
               MovingAverageTrend& trend, const std::atomic<bool>* cancelled)
{
    if (!connection.run(sql, errors.prepare, errors.fieldExecute))
        return false;
    const SQLHSTMT statement = connection.statement();
    while (!isSet(cancelled) && fetchSucceeded(SQLFetch(statement))) {
        const auto value = columnInteger(statement, 1);
        const auto date = getColumnText(statement, 2, 32);
        const auto time = getColumnText(statement, 3, 32);
        if (!value || !date)
            continue;
        if (!trend.addRow(*value, *date, time.value_or("")))
            break;
    }
    closeCursor(statement);
    return true;
}

// "2026-12-08" as "12-08-2026"; other text unchanged.
std::string shownDate(const std::string& isoDate)
{
    if (isoDate.size() != 10 || isoDate[4] != '-' || isoDate[7] != '-')
        return isoDate;
    return isoDate.substr(5, 2) + "-" + isoDate.substr(8, 2) + "-" + isoDate.substr(0, 4);
}

struct SubjectList {
    bool ok = false;
    std::vector<HealthSubject> subjects;
};

SubjectList readSubjects(const Connection& connection, const HealthReportRun& run, const std::string& ip,
                         const Dialect& dialect, const Errors& errors)
{
    SubjectList list;
    const std::string sql = healthSubjectStatement(run.kind, run.database.table, ip, run.beginDate, run.endDate, dialect);
    if (!connection.run(sql, errors.prepare, errors.listExecute))
        return list;
    const SQLHSTMT statement = connection.statement();
    while (fetchSucceeded(SQLFetch(statement))) {
        HealthSubject subject;
        subject.ipAddress = ip;
        if (run.kind == HealthReportKind::Cartridge) {
            subject.cartridge = true;
            subject.volser = getColumnText(statement, 1, 32).value_or("");
        } else {
            subject.frame = columnInteger(statement, 1).value_or(0);
            subject.drive = columnInteger(statement, 2).value_or(0);
        }
        list.subjects.push_back(std::move(subject));
    }
    closeCursor(statement);
    list.ok = true;
    return list;
}
} // namespace

HealthDatabase HealthDatabase::fromSettings()
{
    const CQmxApp& app = theApp();
    return HealthDatabase{app.settings.databaseName, app.settings.userName, app.password,
                          app.settings.mountHistoryTableName, app.settings.DatabaseType};
}

bool healthReportWroteEndLine(HealthReportOutcome outcome)
{
    return outcome == HealthReportOutcome::Done || outcome == HealthReportOutcome::Canceled;
}

HealthReportOutcome runHealthReport(const HealthReportRun& run)
{
    using namespace health_texts;
    const bool drive = run.kind == HealthReportKind::Drive;
    const auto write = [&](const std::string& line) {
        if (run.writeLine)
            run.writeLine(line);
    };
    const std::string beginShown = run.beginDateShown.empty() ? shownDate(run.beginDate) : run.beginDateShown;
    const std::string endShown = shownDate(run.endDate);

    // The header ends with a blank line in either mode.
    write(format(drive ? DriveHeader : CartridgeHeader, static_cast<int>(MovingAverageTrend::WindowSize),
                 run.startedAt.c_str())
          + "\r\n");
    const Connection connection(run.database.dataSourceName, run.database.userName, run.database.password);
    if (!connection.isOpen())
        return HealthReportOutcome::ConnectFailed;
    write("The date range is between " + beginShown + " and " + endShown + "\r\n");

    const Dialect dialect(run.database.databaseType);
    const Errors errors = errorsOf(run.kind);
    const std::vector<HealthField>& fields = healthFields(run.kind);
    if (!isSet(run.closing)) {
        for (const std::string& ip : run.ipAddresses) {
            if (isSet(run.cancelled))
                break;
            const SubjectList list = readSubjects(connection, run, ip, dialect, errors);
            if (!list.ok)
                return HealthReportOutcome::DatabaseFailed;
            if (list.subjects.empty()) {
                write("No entries found for IP address " + ip + " between dates " + beginShown + " and " + endShown
                      + "\r\n");
                continue;
            }
            if (!drive) {
                std::string block;
                for (const HealthSubject& subject : list.subjects)
                    block += format(CartridgeListEntry, ip.c_str(), subject.volser.c_str());
                write(block);
            }
            for (const HealthSubject& subject : list.subjects) {
                if (isSet(run.cancelled))
                    break;
                const std::string context = healthContextLine(subject);
                write(context);
                if (!run.mailMode && run.addContextLine)
                    run.addContextLine(context);
                for (const HealthField& field : fields) {
                    if (isSet(run.cancelled))
                        break;
                    MovingAverageTrend trend(run.beginDate, MovingAverageTrend::ReportPoints);
                    const std::string sql = healthFieldStatement(field, run.database.table, subject, run.endDate, dialect);
                    if (!readTrend(connection, sql, errors, trend, run.cancelled))
                        return HealthReportOutcome::DatabaseFailed;
                    if (isSet(run.cancelled))
                        break;
                    write(trend.reportText(field.name, subject));
                }
                write("\r\n");
            }
        }
    }
    if (isSet(run.closing))
        return HealthReportOutcome::Closing;
    if (isSet(run.cancelled)) {
        write(Canceled);
        return HealthReportOutcome::Canceled;
    }
    write(Done);
    return HealthReportOutcome::Done;
}

std::optional<DrillDownSeries> runDrillDown(const DrillDownRequest& request)
{
    const HealthField* field = findHealthField(request.kind, request.field);
    if (field == nullptr)
        return std::nullopt;
    const Connection connection(request.database.dataSourceName, request.database.userName, request.database.password);
    if (!connection.isOpen())
        return std::nullopt;
    MovingAverageTrend trend(request.beginDate, MovingAverageTrend::DrillDownPoints);
    const std::string sql =
        healthFieldStatement(*field, request.database.table, request.subject, request.endDate, Dialect(request.database.databaseType));
    if (!readTrend(connection, sql, errorsOf(request.kind), trend, nullptr))
        return std::nullopt;
    return drillDownSeries(trend);
}

std::string drillDownTitle(const DrillDownRequest& request)
{
    return format(health_texts::DrillDownTitle, request.field.c_str(),
                  static_cast<int>(MovingAverageTrend::WindowSize));
}

std::string drillDownLibraryText(const DrillDownRequest& request)
{
    const std::string begin = shownDate(request.beginDate);
    const std::string end = shownDate(request.endDate);
    if (request.subject.cartridge)
        return format(health_texts::DrillDownCartridgeSubject, request.subject.ipAddress.c_str(),
                      request.subject.volser.c_str(), begin.c_str(), end.c_str());
    return format(health_texts::DrillDownDriveSubject, request.subject.ipAddress.c_str(), request.subject.frame,
                  request.subject.drive, begin.c_str(), end.c_str());
}
