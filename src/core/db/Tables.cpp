#include "Tables.h"

#include "TableTexts.h"
#include "qmxDB.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SettingsStore.h"
#include "app/UserPrompts.h"
#include "ReportIndexes.h"

#include <initializer_list>
#include <optional>
#include <utility>

namespace {
enum class ColumnType { Text, Integer, SmallInteger, Date, Time };

struct ColumnDefinition {
    const char* name; // the date column takes the dialect's name instead
    ColumnType type;
    int length = 0; // text columns only
};

// Oracle spells every numeric column "number"; the other dialect keeps int and smallint apart.
const std::vector<ColumnDefinition>& mountHistoryColumns()
{
    static const std::vector<ColumnDefinition> columns = {
        {"ipAddress", ColumnType::Text, LibraryAddressLength},
        {"Date", ColumnType::Date},
        {"Time", ColumnType::Time},
        {"Volser", ColumnType::Text, 8},
        {"Frame", ColumnType::Integer},
        {"Drive", ColumnType::Integer},
        {"Logical_Library", ColumnType::Text, 30},
        {"Element_Address", ColumnType::Integer},
        {"Reserved1", ColumnType::Integer},
        {"Reserved2", ColumnType::Integer},
        {"Mount_Host_Write", ColumnType::Integer},
        {"Mount_Host_Read", ColumnType::Integer},
        {"Mount_Drive_Residency", ColumnType::Integer},
        {"Mount_TapeAlert_Media", ColumnType::Integer},
        {"Life_Mounts_Media", ColumnType::Integer},
        {"Life_Write_Retries_Media", ColumnType::Integer},
        {"Life_Write_Perms_Media", ColumnType::Integer},
        {"Life_Read_Retries_Media", ColumnType::Integer},
        {"Life_Read_Perms_Media", ColumnType::Integer},
        {"Mount_Rating_Drive", ColumnType::Integer},
        {"Mount_Rating_Media", ColumnType::Integer},
        {"Mount_Rating_Ports", ColumnType::Integer},
        {"Mount_Rating_Port0", ColumnType::Integer},
        {"Mount_Rating_Port1", ColumnType::Integer},
        {"Reserved3", ColumnType::Integer},
        {"Mount_Write_Perf_Util", ColumnType::Integer},
        {"Mount_Write_ERPs_Impct", ColumnType::Integer},
        {"Mount_Write_Burst_Util", ColumnType::Integer},
        {"Mount_Write_Buffer_Util", ColumnType::Integer},
        {"Mount_Read_Perf_Util", ColumnType::Integer},
        {"Mount_Read_ERPs_Impct", ColumnType::Integer},
        {"Mount_Read_Burst_Util", ColumnType::Integer},
        {"Mount_Read_Buffer_Util", ColumnType::Integer},
        {"Mount_Capacity_Total_Util", ColumnType::Integer},
        {"Mount_Capacity_Writes_Util", ColumnType::Integer},
        {"Mount_Capacity_Control_Util", ColumnType::Integer},
        {"Mount_Crypto_Status", ColumnType::SmallInteger},
        {"Mount_Crypto_Rekey", ColumnType::SmallInteger},
    };
    return columns;
}

const std::vector<ColumnDefinition>& libraryPerformanceColumns()
{
    static const std::vector<ColumnDefinition> columns = {
        {"ipAddress", ColumnType::Text, LibraryAddressLength},
        {"Date", ColumnType::Date},
        {"Time", ColumnType::Time},
        {"Logical_Library", ColumnType::Text, 30},
        {"Residency_Max", ColumnType::Integer},
        {"Residency_Avg", ColumnType::Integer},
        {"Mounts_Total", ColumnType::SmallInteger},
        {"Mounts_Max", ColumnType::SmallInteger},
        {"Mounts_Avg", ColumnType::SmallInteger},
        {"Ejects_Total", ColumnType::SmallInteger},
        {"Ejects_Max", ColumnType::SmallInteger},
        {"Ejects_Avg", ColumnType::SmallInteger},
        {"Inserts_Total", ColumnType::SmallInteger},
    };
    return columns;
}

const std::vector<ColumnDefinition>& reportsColumns()
{
    static const std::vector<ColumnDefinition> columns = {
        {"Username", ColumnType::Text, 25},
        {"Report_Name", ColumnType::Text, 50},
        {"ipAddress", ColumnType::Text, LibraryAddressLength},
        {"Range", ColumnType::SmallInteger},
        {"Field_Type", ColumnType::Text, 50},
        {"Eff_Value", ColumnType::Text, 50},
        {"Col_Type", ColumnType::SmallInteger},
        {"Value", ColumnType::Text, 512},
        {"Report_Type", ColumnType::SmallInteger},
    };
    return columns;
}

const std::vector<ColumnDefinition>& columnsOf(TableKind kind)
{
    switch (kind) {
    case TableKind::MountHistory:
        return mountHistoryColumns();
    case TableKind::LibraryPerformance:
        return libraryPerformanceColumns();
    case TableKind::Reports:
        break;
    }
    return reportsColumns();
}

} // namespace

std::optional<NumberRange> fieldNumberRange(TableKind kind, std::size_t fieldNumber)
{
    // Field 1, the time stamp, fills the date and time columns after the address: field n
    // goes into column n + 1 (counted from 0).
    const std::vector<ColumnDefinition>& columns = columnsOf(kind);
    if (fieldNumber < 2 || fieldNumber + 1 >= columns.size())
        return std::nullopt;
    switch (columns[fieldNumber + 1].type) {
    case ColumnType::Integer:
        return NumberRange{-2147483648LL, 2147483647LL};
    case ColumnType::SmallInteger:
        return NumberRange{-32768, 32767};
    case ColumnType::Text:
    case ColumnType::Date:
    case ColumnType::Time:
        break;
    }
    return std::nullopt;
}

namespace {
std::string columnName(const ColumnDefinition& column, const Dialect& dialect)
{
    return column.type == ColumnType::Date ? dialect.dateColumn() : column.name;
}

std::string columnType(const ColumnDefinition& column, const Dialect& dialect)
{
    switch (column.type) {
    case ColumnType::Text:
        return dialect.textType(column.length);
    case ColumnType::Integer:
        return dialect.integerType();
    case ColumnType::SmallInteger:
        return dialect.smallIntegerType();
    case ColumnType::Date:
        return dialect.dateType();
    case ColumnType::Time:
        break;
    }
    return dialect.timeType();
}

// Fills each "%s" of a fixed template with the next value.
std::string fillSlots(const std::string& pattern, std::initializer_list<std::string> values)
{
    std::string text;
    std::string::size_type from = 0;
    for (const std::string& value : values) {
        const auto slot = pattern.find("%s", from);
        if (slot == std::string::npos)
            break;
        text += pattern.substr(from, slot - from) + value;
        from = slot + 2;
    }
    return text + pattern.substr(from);
}

std::string verb(const char* start, const std::string& tableName)
{
    return start + tableName + ")";
}

// Runs a statement text at once on the handle. The prepare before it only checks the text:
// one statement handle serves all three tables, so the prepared form is not kept.
SQLRETURN executeDirectly(SQLHSTMT statement, const std::string& sql)
{
    return SQLExecDirect(statement, sqlText(sql), SQL_NTS);
}

// One table's steps: the prepare that checks the text and the direct execution.
struct TableStep {
    explicit TableStep(std::string tableName) : name(std::move(tableName)) {}
    std::string name;
    std::string sql;
    bool prepared = false;
    bool executed = false;
};

bool prepareStep(const qmxDB& db, SQLHSTMT statement, TableStep& step, const char* verbStart, DiagnosticsWindow* window,
                 Diagnostics diagnostics)
{
    step.prepared = db.checkSQLResult(prepareStatement(statement, step.sql), verb(verbStart, step.name), statement,
                                      diagnostics, window);
    closeCursor(statement);
    return step.prepared;
}

bool executeStep(const qmxDB& db, SQLHSTMT statement, TableStep& step, const char* verbStart, DiagnosticsWindow* window,
                 Diagnostics diagnostics)
{
    step.executed = db.checkSQLResult(executeDirectly(statement, step.sql), verb(verbStart, step.name), statement,
                                      diagnostics, window);
    closeCursor(statement);
    return step.executed;
}

// The unique key is a safeguard on top of the duplicate check: a key that cannot be made is
// logged and leaves the result alone.
void createUniqueKey(const qmxDB& db, SQLHSTMT statement, TableKind kind, const std::string& tableName,
                     const Dialect& dialect)
{
    const std::string sql = uniqueKeyStatement(kind, tableName, dialect);
    const std::string index = tableName + table_texts::UniqueKeyIndexSuffix;
    if (!db.checkSQLResult(executeDirectly(statement, sql), verb(table_texts::ExecutedCreateUniqueKey, index),
                           statement, Diagnostics::LogOnly))
        WriteDebugLine(fillSlots(table_texts::UniqueKeyNotCreated, {index}) + "\n" + sql);
    closeCursor(statement);
}

// The user name and password for one table operation; nothing when the user cancels. The
// user name is stored after every OK.
std::optional<CredentialsReply> askTableCredentials(const char* title)
{
    CQmxApp& app = theApp();
    SettingsStore& store = app.settingsStore();
    for (;;) {
        CredentialsReply reply =
            app.prompts().askCredentials(title, store.read(settings_names::Connection, settings_names::Username));
        if (reply.result == DialogResult::Cancel)
            return std::nullopt;
        if (reply.result != DialogResult::Ok)
            continue;
        app.settings.userName = reply.userName;
        store.write(settings_names::Connection, settings_names::Username, reply.userName);
        return reply;
    }
}
} // namespace

std::string tableNameFor(TableKind kind, const std::string& baseName)
{
    switch (kind) {
    case TableKind::MountHistory:
        return baseName;
    case TableKind::LibraryPerformance:
        return baseName + table_texts::LibraryPerformanceSuffix;
    case TableKind::Reports:
        break;
    }
    return baseName + table_texts::ReportsSuffix;
}

std::vector<std::string> tableColumnNames(TableKind kind, const Dialect& dialect)
{
    std::vector<std::string> names;
    for (const ColumnDefinition& column : columnsOf(kind))
        names.push_back(columnName(column, dialect));
    return names;
}

std::string tableColumnList(TableKind kind, const Dialect& dialect)
{
    std::string list = "(";
    for (const ColumnDefinition& column : columnsOf(kind)) {
        if (list.size() > 1)
            list += ", ";
        list += columnName(column, dialect) + " " + columnType(column, dialect);
    }
    return list + (dialect.isOracle() ? ")" : "); ");
}

std::string createTableStatement(TableKind kind, const std::string& tableName, const Dialect& dialect)
{
    return fillSlots(table_texts::CreateTableTemplate, {tableName, tableColumnList(kind, dialect)});
}

std::string uniqueKeyStatement(TableKind kind, const std::string& tableName, const Dialect& dialect)
{
    if (kind == TableKind::Reports)
        return "";
    const std::string second = kind == TableKind::MountHistory ? "Volser" : "Logical_Library";
    return "CREATE UNIQUE INDEX " + tableName + table_texts::UniqueKeyIndexSuffix + " ON " + tableName + " (ipAddress, "
           + second + ", " + dialect.dateColumn() + ", " + dialect.timeColumn() + ")";
}

int createTables(const std::string& baseName, const std::string& layout, const std::string& databaseName,
                 const std::string& userName, const std::string& password, const Dialect& dialect)
{
    if (layout != table_texts::DefaultLayout) {
        WriteDebugLine(fillSlots(table_texts::UnknownLayout, {layout}));
        return 0;
    }
    TableStep mount{tableNameFor(TableKind::MountHistory, baseName)};
    TableStep performance{tableNameFor(TableKind::LibraryPerformance, baseName)};
    TableStep reports{tableNameFor(TableKind::Reports, baseName)};

    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(databaseName, userName, password, handles, Diagnostics::ShowUser))
        return 0;
    const SQLHSTMT statement = handles.statement;
    mount.sql = createTableStatement(TableKind::MountHistory, mount.name, dialect);
    performance.sql = createTableStatement(TableKind::LibraryPerformance, performance.name, dialect);
    reports.sql = createTableStatement(TableKind::Reports, reports.name, dialect);

    // A failed mount history table is the one the user hears about; after it the other two
    // tables are still attempted, quietly. Likewise a failed library performance table
    // silences the reports table.
    using namespace table_texts;
    if (prepareStep(db, statement, mount, PreparedMountCreate, nullptr, Diagnostics::ShowUser))
        executeStep(db, statement, mount, ExecutedMountCreate, nullptr, Diagnostics::ShowUser);
    const bool performanceShows = mount.executed;
    prepareStep(db, statement, performance, PreparedLpCreate, nullptr, shownWhen(performanceShows));
    prepareStep(db, statement, reports, PreparedReportCreate, nullptr,
                shownWhen(performanceShows && performance.prepared));
    if (performance.prepared)
        executeStep(db, statement, performance, ExecutedLpCreate, nullptr, shownWhen(performanceShows));
    if (reports.prepared)
        executeStep(db, statement, reports, ExecutedReportCreate, nullptr,
                    shownWhen(performanceShows && performance.prepared && performance.executed));

    // Only tables made here get a key: an older table may hold rows the key would refuse.
    if (mount.executed) {
        createUniqueKey(db, statement, TableKind::MountHistory, mount.name, dialect);
        addReportIndexes(statement, mount.name, dialect);
    }
    if (performance.executed)
        createUniqueKey(db, statement, TableKind::LibraryPerformance, performance.name, dialect);

    db.disconnectDB(handles);
    return mount.executed && performance.executed && reports.executed ? 1 : 0;
}

int dropTables(const std::string& baseName, const std::string& databaseName, const std::string& userName,
               const std::string& password, DiagnosticsWindow* window)
{
    TableStep mount{tableNameFor(TableKind::MountHistory, baseName)};
    TableStep performance{tableNameFor(TableKind::LibraryPerformance, baseName)};
    TableStep reports{tableNameFor(TableKind::Reports, baseName)};

    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(databaseName, userName, password, handles, Diagnostics::ShowUser, window))
        return 0;
    const SQLHSTMT statement = handles.statement;
    for (TableStep* step : {&mount, &performance, &reports})
        step->sql = fillSlots(table_texts::DropTableTemplate, {step->name});

    // The mount history table's failures are always shown; a failure of either other table is
    // shown only while every step before it succeeded, so one missing table gives one box.
    using namespace table_texts;
    bool allSucceeded = true;
    auto track = [&allSucceeded](bool succeeded) { allSucceeded = allSucceeded && succeeded; };
    track(prepareStep(db, statement, mount, PreparedMountDrop, window, Diagnostics::ShowUser));
    track(prepareStep(db, statement, performance, PreparedLpDrop, window, shownWhen(allSucceeded)));
    track(prepareStep(db, statement, reports, PreparedReportDrop, window, shownWhen(allSucceeded)));
    if (mount.prepared)
        track(executeStep(db, statement, mount, ExecutedMountDrop, window, Diagnostics::ShowUser));
    if (performance.prepared)
        track(executeStep(db, statement, performance, ExecutedLpDrop, window, shownWhen(allSucceeded)));
    if (reports.prepared)
        track(executeStep(db, statement, reports, ExecutedReportDrop, window, shownWhen(allSucceeded)));

    db.disconnectDB(handles);
    return mount.executed && performance.executed && reports.executed ? 1 : 0;
}

TableCommandResult runCreateTableCommand(const std::string& tableName, const Dialect& dialect)
{
    const std::optional<CredentialsReply> credentials = askTableCredentials(table_texts::CreateTableTitle);
    if (!credentials)
        return TableCommandResult::Cancelled;
    CQmxApp& app = theApp();
    const int created = createTables(tableName, table_texts::DefaultLayout, app.settings.databaseName,
                                     credentials->userName, credentials->password, dialect);
    if (created == 1) {
        app.prompts().showMessage(table_texts::TableCreated, MessageIcon::Information);
        return TableCommandResult::Succeeded;
    }
    app.prompts().showMessage(table_texts::TableCreateFailed, MessageIcon::Stop);
    return TableCommandResult::Failed;
}

TableCommandResult runDeleteTableCommand(const std::string& tableName, DiagnosticsWindow* page)
{
    CQmxApp& app = theApp();
    const std::string question =
        std::string(table_texts::DeleteQuestionStart) + tableName + table_texts::DeleteQuestionEnd;
    if (!app.prompts().askYesNo(question, MessageIcon::Exclamation))
        return TableCommandResult::Cancelled;
    const std::optional<CredentialsReply> credentials = askTableCredentials(table_texts::DeleteTableTitle);
    if (!credentials)
        return TableCommandResult::Cancelled;
    const int dropped =
        dropTables(tableName, app.settings.databaseName, credentials->userName, credentials->password, page);
    if (dropped == 1) {
        app.prompts().showMessage(table_texts::TableDropped, MessageIcon::Information);
        return TableCommandResult::Succeeded;
    }
    app.prompts().showMessage(table_texts::TableDropFailed, MessageIcon::Stop);
    return TableCommandResult::Failed;
}
