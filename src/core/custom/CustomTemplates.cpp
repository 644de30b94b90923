#include "CustomTemplates.h"

#include "CustomTexts.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "db/CheckedStatement.h"
#include "db/Dialect.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "query/QueryColumnCells.h"
#include "reports/ReportRunner.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace {
using namespace custom_texts;

// Prepares and executes one statement; a failure logs the step's text and the statement and
// reports the diagnostics as every database operation of the form does. The insert's text is
// followed by the statement on its line, the select's stands on a line of its own.
bool run(const qmxDB& db, CheckedStatement& statement, const std::string& sql, const char* preparing,
         const char* executing)
{
    const auto fail = [&](const char* step) {
        if (step == InsertFailed) {
            WriteDebugLine(step + sql);
        } else {
            WriteDebugLine(step);
            WriteDebugLine(sql);
        }
        db.reportDiagnostics(SQL_HANDLE_STMT, statement.handle(), Diagnostics::ShowUser);
        statement.close();
        return false;
    };
    if (!statement.prepare(sql))
        return fail(preparing);
    if (!statement.execute(Success::WithInfoOrNoData))
        return fail(executing);
    return true;
}

// One operation's own connection through the application's settings.
class SettingsConnection {
public:
    SettingsConnection()
    {
        const CQmxApp& app = theApp();
        m_open = m_db.connectDB(app.settings.databaseName, app.settings.userName, app.password, m_handles,
                                Diagnostics::ShowUser);
    }
    ~SettingsConnection()
    {
        if (m_open)
            m_db.disconnectDB(m_handles);
    }
    SettingsConnection(const SettingsConnection&) = delete;
    SettingsConnection& operator=(const SettingsConnection&) = delete;
    bool open() const { return m_open; }
    OdbcHandles& handles() { return m_handles; }

private:
    qmxDB m_db;
    OdbcHandles m_handles;
    bool m_open = false;
};

// A number column as the form writes it. The embedded database keeps any text in a number
// column: what is not a plain number reads as -1, which no template check accepts.
int storedNumber(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 6
                        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    return digits ? decimalValue(text) : -1;
}

bool refused(const std::string& name, const std::string& userName)
{
    if (const auto problem = templateNameProblem(name, userName)) {
        WriteDebugLine(*problem);
        return true;
    }
    return false;
}
} // namespace

std::vector<std::string> splitTemplateValue(const std::string& value)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < value.size()) {
        std::size_t length = value.size() - start;
        if (length > TemplatePieceLength) {
            const std::size_t comma = value.rfind(',', start + TemplatePieceLength - 1);
            if (comma != std::string::npos && comma >= start) {
                length = comma - start + 1;
            } else {
                // No comma to cut at: cut at the limit, but never inside a character.
                length = TemplatePieceLength;
                while (length > 1 && (static_cast<unsigned char>(value[start + length]) & 0xC0) == 0x80)
                    --length;
            }
        }
        pieces.push_back(value.substr(start, length));
        start += length;
    }
    if (pieces.empty())
        pieces.emplace_back();
    return pieces;
}

std::optional<std::string> templateNameProblem(const std::string& name, const std::string& userName)
{
    if (characterCount(name) > TemplateNameLength)
        return std::string(TemplateNameTooLong);
    if (characterCount(userName) > TemplateUserNameLength)
        return std::string(TemplateUserTooLong);
    return std::nullopt;
}

std::string templateRowOrder(const std::string& databaseProductName)
{
    const auto named = [&](const char* name) { return strcasecmp(databaseProductName.c_str(), name) == 0; };
    if (named("SQLite"))
        return " order by rowid";
    // Every row of a template is inserted in one transaction, one statement each: the command
    // number within that transaction is the order of the rows.
    if (named("PostgreSQL"))
        return " order by cmin::text::integer, ctid";
    return {};
}

bool saveCustomTemplate(OdbcHandles& handles, const std::string& reportsTable, const CustomTemplate& tmpl)
{
    if (refused(tmpl.name, tmpl.userName))
        return false;
    const qmxDB db;
    // All pieces or none: a template missing a middle piece would load back as another selection.
    const ConnectionControl connection(handles.connection);
    const bool manual = connection.setAutocommit(false);
    bool saved = true;
    for (const std::string& piece : splitTemplateValue(tmpl.value)) {
        const std::string sql = formatReportText(
            TemplateInsert,
            {reportsTable, escapeQuotes(tmpl.userName), escapeQuotes(tmpl.name), escapeQuotes(tmpl.ipAddress),
             std::to_string(tmpl.range), escapeQuotes(tmpl.fieldType), escapeQuotes(tmpl.rateText),
             std::to_string(tmpl.columnType), escapeQuotes(piece), std::to_string(tmpl.reportType)});
        CheckedStatement statement(handles.statement);
        if (!run(db, statement, sql, InsertFailed, InsertFailed)) {
            saved = false;
            break;
        }
    }
    if (manual) {
        connection.endTransaction(saved);
        connection.setAutocommit(true);
    }
    return saved;
}

std::optional<CustomTemplate> loadCustomTemplate(OdbcHandles& handles, const std::string& reportsTable,
                                                 const std::string& name, const std::string& userName, bool& failed)
{
    failed = false;
    if (refused(name, userName)) {
        failed = true;
        return std::nullopt;
    }
    const qmxDB db;
    CheckedStatement statement(handles.statement);
    const std::string sql = formatReportText(TemplateSelect, {reportsTable, escapeQuotes(name), escapeQuotes(userName)})
                            + templateRowOrder(ConnectionControl(handles.connection).productName());
    if (!run(db, statement, sql, SelectPrepareFailed, SelectExecuteFailed)) {
        failed = true;
        return std::nullopt;
    }
    std::optional<CustomTemplate> loaded;
    Fetched fetched = Fetched::Row;
    while ((fetched = statement.fetch()) == Fetched::Row) {
        const auto text = [&](SQLUSMALLINT column) { return statement.text(column, 512).value_or(""); };
        if (!loaded) {
            loaded.emplace();
            loaded->userName = userName;
            loaded->name = text(1);
            loaded->ipAddress = text(2);
            loaded->range = storedNumber(text(3));
            loaded->fieldType = text(4);
            loaded->rateText = text(5);
            loaded->columnType = storedNumber(text(6));
            loaded->value = text(7);
            loaded->reportType = storedNumber(text(8));
        } else {
            // The pieces were cut after a comma: put together as they stand they are the
            // selection as it was saved.
            loaded->value += text(7);
        }
    }
    if (fetched == Fetched::Failed) {
        WriteDebugLine(SelectExecuteFailed);
        WriteDebugLine(sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, statement.handle(), Diagnostics::ShowUser);
        failed = true;
        loaded.reset();
    }
    statement.close();
    if (loaded) {
        WriteTraceLine(formatReportText(LoadedName, {loaded->name}));
        WriteTraceLine(formatReportText(LoadedAddress, {loaded->ipAddress}));
        WriteTraceLine(formatReportText(LoadedRange, {std::to_string(loaded->range)}));
        WriteTraceLine(formatReportText(LoadedFieldType, {loaded->fieldType}));
        WriteTraceLine(formatReportText(LoadedColumnType, {std::to_string(loaded->columnType)}));
        WriteTraceLine(formatReportText(LoadedValue, {loaded->value}));
        WriteTraceLine(formatReportText(LoadedReportType, {std::to_string(loaded->reportType)}));
    }
    return loaded;
}

bool deleteCustomTemplate(OdbcHandles& handles, const std::string& reportsTable, const std::string& name,
                          const std::string& userName)
{
    if (refused(name, userName))
        return false;
    const std::string sql =
        formatReportText(TemplateDelete, {reportsTable, escapeQuotes(name), escapeQuotes(userName)});
    CheckedStatement statement(handles.statement);
    return run(qmxDB(), statement, sql, InsertFailed, InsertFailed);
}

bool customTemplateNames(OdbcHandles& handles, const std::string& reportsTable, const std::string& userName,
                         std::vector<std::string>& names)
{
    names.clear();
    if (refused("", userName))
        return false;
    const qmxDB db;
    CheckedStatement statement(handles.statement);
    const std::string sql = formatReportText(TemplateNames, {reportsTable, escapeQuotes(userName)});
    if (!run(db, statement, sql, SelectPrepareFailed, SelectExecuteFailed))
        return false;
    Fetched fetched = Fetched::Row;
    while ((fetched = statement.fetch()) == Fetched::Row)
        names.push_back(statement.text(1, 512).value_or(""));
    const bool done = fetched == Fetched::End;
    if (!done) {
        WriteDebugLine(SelectExecuteFailed);
        WriteDebugLine(sql);
        db.reportDiagnostics(SQL_HANDLE_STMT, statement.handle(), Diagnostics::ShowUser);
        names.clear();
    }
    return done;
}

bool saveCustomTemplate(qmxDB& /*db*/, const std::string& reportsTable, const CustomTemplate& tmpl)
{
    if (refused(tmpl.name, tmpl.userName))
        return false;
    SettingsConnection connection;
    return connection.open() && saveCustomTemplate(connection.handles(), reportsTable, tmpl);
}

std::optional<CustomTemplate> loadCustomTemplate(qmxDB& /*db*/, const std::string& reportsTable,
                                                 const std::string& name, const std::string& userName, bool& failed)
{
    failed = true;
    if (refused(name, userName))
        return std::nullopt;
    SettingsConnection connection;
    if (!connection.open())
        return std::nullopt;
    return loadCustomTemplate(connection.handles(), reportsTable, name, userName, failed);
}

bool deleteCustomTemplate(qmxDB& /*db*/, const std::string& reportsTable, const std::string& name,
                          const std::string& userName)
{
    if (refused(name, userName))
        return false;
    SettingsConnection connection;
    return connection.open() && deleteCustomTemplate(connection.handles(), reportsTable, name, userName);
}

bool customTemplateNames(qmxDB& /*db*/, const std::string& reportsTable, const std::string& userName,
                         std::vector<std::string>& names)
{
    names.clear();
    if (refused("", userName))
        return false;
    SettingsConnection connection;
    return connection.open() && customTemplateNames(connection.handles(), reportsTable, userName, names);
}
