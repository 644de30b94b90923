#include "GeneralQueryThread.h"

#include "QueryConnection.h"
#include "QueryResultSink.h"
#include "QueryStatements.h"
#include "QueryTexts.h"
#include "app/AppSettings.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/UserPrompts.h"
#include "db/CheckedStatement.h"
#include "db/Dialect.h"
#include "db/DiagnosticRules.h"
#include "db/qmxDB.h"

#include <strings.h>
#include <vector>

namespace {
// Keeps the sink's begin and end update calls balanced whatever path the worker leaves by.
class UpdateLock {
public:
    explicit UpdateLock(QueryResultSink& sink) : m_sink(sink) { m_sink.beginUpdate(); }
    ~UpdateLock() { m_sink.endUpdate(); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    QueryResultSink& m_sink;
};

// The statement's diagnostics go to the debug log and through the rules. A stopped run shows
// nothing: its statement failed because it was cancelled. Otherwise, when no rule has a message
// for any record, the database's own words are shown, so that a rejected statement never looks
// like a query without rows.
void reportStatementFailure(const QueryConnection& connection, const GeneralQueryFlags& flags)
{
    int count = 0;
    const std::vector<DiagnosticRecord> records = readDiagnosticRecords(SQL_HANDLE_STMT, connection.statement(), count);
    const bool stopped = flags.stopped();
    if (stopped)
        WriteDebugLine(query_texts::CancelledTrace);
    connection.db().reportDiagnosticRecords(count, records, shownWhen(!stopped));
    if (stopped)
        return;
    std::string messages;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const DiagnosticRule* rule = findDiagnosticRule(records[i].text(static_cast<int>(i) + 1, count), false);
        if (rule != nullptr && rule->message != nullptr)
            return;
        messages += (messages.empty() ? "" : "\n") + records[i].message;
    }
    if (!messages.empty())
        theApp().prompts().showMessage(fillTemplate(query_texts::RejectedByDatabase, {messages}), MessageIcon::Stop);
}

GeneralQueryOutcome failed(QueryResultSink& sink)
{
    sink.restoreButtons();
    return GeneralQueryOutcome::Failed;
}

// The row count, or -1 when it cannot be read.
long long fetchCount(CheckedStatement& statement)
{
    if (statement.fetch() != Fetched::Row)
        return -1;
    const auto text = statement.text(1, 32);
    return text ? decimalValue(*text) : -1;
}

// Cells are read as text of at most this many bytes.
constexpr std::size_t CellTextBytes = 512;

struct ResultColumns {
    SQLSMALLINT count = 0;
    int dateColumn = -1;
};

ResultColumns addResultColumns(const CheckedStatement& statement, QueryResultSink& sink, int dateFormatCode)
{
    // The list's first column numbers the rows; the result columns follow it, so result column
    // i is list column i. Every column is centred by its own alignment, so no placeholder
    // column goes in front to make the first one centre.
    ResultColumns columns;
    const std::vector<ResultColumn> described = statement.columns();
    columns.count = static_cast<SQLSMALLINT>(described.size());
    sink.addColumn(query_texts::RowColumn);
    for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(described.size()); ++column) {
        const ResultColumn& result = described[column - 1];
        const char* title = result.name.c_str();
        sink.addColumn(title);
        // Servers fold unquoted names to either case.
        if (strcasecmp(title, "DATE") == 0 || strcasecmp(title, "DATES") == 0) {
            columns.dateColumn = column;
            // Shown in the user's format, sorted by the date itself.
            sink.setColumnKind(column, QueryColumnKind::Date, dateFormatCode);
        } else if (strcasecmp(title, "TIME") == 0) {
            sink.setColumnKind(column, QueryColumnKind::Time, 0);
        } else if (result.type == SQL_INTEGER || result.type == SQL_SMALLINT) {
            sink.addNumericColumn(column);
        }
    }
    sink.addNumericColumn(0);
    return columns;
}

// Columns, then rows until there are no more or the run is stopped; drawing stays locked
// meanwhile.
GeneralQueryOutcome readRows(CheckedStatement& statement, const GeneralQueryRequest& request, QueryResultSink& sink,
                             const GeneralQueryFlags& flags, const QueryConnection& connection)
{
    UpdateLock columnsLock(sink);
    const ResultColumns columns = addResultColumns(statement, sink, request.dateFormatCode);
    sink.sizeColumns();

    UpdateLock rowsLock(sink);
    std::vector<std::vector<std::string>> batch;
    batch.reserve(QueryRowBatch);
    long long rowNumber = 0;
    Fetched fetched = Fetched::Row;
    while (!flags.stopped() && (fetched = statement.fetch()) == Fetched::Row) {
        std::vector<std::string> cells;
        cells.reserve(static_cast<std::size_t>(columns.count) + 1);
        cells.push_back(std::to_string(++rowNumber));
        for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(columns.count); ++column) {
            if (flags.stopped())
                return GeneralQueryOutcome::Cancelled;
            // A NULL, or a value the driver cannot give, reads as the empty text.
            std::string value = statement.text(column, CellTextBytes).value_or("");
            if (column == columns.dateColumn)
                value = queryDateText(value, request.dateFormatCode);
            cells.push_back(std::move(value));
        }
        batch.push_back(std::move(cells));
        if (batch.size() >= QueryRowBatch) {
            sink.addRows(std::move(batch));
            batch.clear();
            batch.reserve(QueryRowBatch);
        }
    }
    if (flags.stopped())
        return GeneralQueryOutcome::Cancelled;
    if (!batch.empty())
        sink.addRows(std::move(batch));
    if (fetched == Fetched::Failed) {
        reportStatementFailure(connection, flags);
        WriteTraceLine(query_texts::FetchFailed);
        statement.close();
        return GeneralQueryOutcome::Failed;
    }
    statement.close();
    sink.sizeColumns();
    return GeneralQueryOutcome::Completed;
}
} // namespace

GeneralQueryRequest GeneralQueryRequest::fromSettings(bool mountHistory, const std::string& whereClause)
{
    const CQmxApp& app = theApp();
    GeneralQueryRequest request;
    request.mountHistory = mountHistory;
    request.whereClause = whereClause;
    request.dataSourceName = app.settings.databaseName;
    request.userName = app.settings.userName;
    request.password = app.password;
    request.table = mountHistory ? app.settings.mountHistoryTableName : app.settings.libraryPerformanceTableName;
    request.databaseType = app.settings.DatabaseType;
    request.dateFormatCode = app.settings.DateFormatCode;
    return request;
}

std::string queryDateText(const std::string& storedDate, int dateFormatCode)
{
    if (storedDate.size() < 10 || storedDate[4] != '-' || storedDate[7] != '-')
        return storedDate;
    const std::string year = storedDate.substr(0, 4);
    const std::string month = storedDate.substr(5, 2);
    const std::string day = storedDate.substr(8, 2);
    switch (dateFormatCode) {
    case 1:
        return month + "-" + day + "-" + year;
    case 2:
        return year + "-" + month + "-" + day;
    case 3:
        return day + "-" + month + "-" + year;
    default:
        return storedDate;
    }
}

GeneralQueryOutcome GeneralQueryThread(const GeneralQueryRequest& request, QueryResultSink& sink,
                                       GeneralQueryFlags& flags)
{
    using namespace query_texts;
    if (flags.stopped())
        return GeneralQueryOutcome::Cancelled;
    // Refused before anything reaches the database.
    if (const auto refusal = refusedWhereClause(request.whereClause)) {
        WriteDebugLine(*refusal);
        theApp().prompts().showMessage(*refusal, MessageIcon::Stop);
        sink.restoreButtons();
        return GeneralQueryOutcome::Refused;
    }
    const QueryStatements statements =
        buildQueryStatements(request.mountHistory, request.table, request.whereClause, Dialect(request.databaseType));
    QueryConnection connection(request, flags);
    if (!connection.isOpen())
        return flags.stopped() ? GeneralQueryOutcome::Cancelled : failed(sink);
    CheckedStatement statement(connection.statement());

    if (flags.stopped())
        return GeneralQueryOutcome::Cancelled;
    if (!statement.prepare(statements.count) || !statement.execute()) {
        WriteDebugLine(fillTemplate(ErrorExecuting, {statements.count}));
        reportStatementFailure(connection, flags);
        return flags.stopped() ? GeneralQueryOutcome::Cancelled : failed(sink);
    }
    const long long count = fetchCount(statement);
    statement.close();
    if (flags.stopped())
        return GeneralQueryOutcome::Cancelled;
    if (count > LargeResultRows
        && !theApp().prompts().askYesNoCaptioned(LargeResultCaption,
                                                 fillTemplate(LargeResultQuestion, {std::to_string(count)}))) {
        sink.restoreButtons();
        return GeneralQueryOutcome::Declined;
    }

    if (flags.stopped())
        return GeneralQueryOutcome::Cancelled;
    if (!statement.prepare(statements.select)) {
        WriteDebugLine(fillTemplate(ErrorPreparing, {statements.select}));
        reportStatementFailure(connection, flags);
        return flags.stopped() ? GeneralQueryOutcome::Cancelled : failed(sink);
    }
    if (flags.stopped())
        return GeneralQueryOutcome::Cancelled;
    if (!statement.execute()) {
        WriteDebugLine(fillTemplate(ErrorExecuting, {statements.select}));
        reportStatementFailure(connection, flags);
        statement.close();
        return flags.stopped() ? GeneralQueryOutcome::Cancelled : failed(sink);
    }

    const GeneralQueryOutcome outcome = readRows(statement, request, sink, flags, connection);
    // Stopped runs leave the buttons alone: Cancel has restored them, or the window is going.
    if (outcome == GeneralQueryOutcome::Completed || outcome == GeneralQueryOutcome::Failed)
        sink.restoreButtons();
    return outcome;
}

void GeneralQueryFlags::cancel(bool closing)
{
    if (closing)
        windowClosing = true;
    cancelRequested = true;
    // The flag first: a statement attached after this is never started, one attached before
    // is cancelled here, on the caller's thread, while the worker waits for the database.
    std::lock_guard lock(m_statementMutex);
    cancelStatement(m_statement);
}

void GeneralQueryFlags::attachStatement(SQLHSTMT statement)
{
    std::lock_guard lock(m_statementMutex);
    m_statement = statement;
}

void GeneralQueryFlags::detachStatement()
{
    std::lock_guard lock(m_statementMutex);
    m_statement = SQL_NULL_HSTMT;
}
