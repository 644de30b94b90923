#include "SetupTests.h"

#include "CommandLine.h"
#include "DiagnosticsWindow.h"
#include "qmxDB.h"
#include "app/CQmxApp.h"
#include "app/SettingsStore.h"
#include "app/UserPrompts.h"

#include <cctype>

namespace {
constexpr const char* TestPassed = "Test passed";

// Asks until OK or Cancel; OK stores the user name in the settings and in memory.
std::optional<CredentialsReply> askForUser(int operation)
{
    CQmxApp& app = theApp();
    for (;;) {
        CredentialsReply reply = app.prompts().askCredentials(*credentialsTitle(operation), app.settings.userName);
        if (reply.result == DialogResult::Cancel)
            return std::nullopt;
        if (reply.result != DialogResult::Ok)
            continue;
        app.settings.userName = reply.userName;
        app.settingsStore().write(settings_names::Connection, settings_names::Username, reply.userName);
        return reply;
    }
}
} // namespace

std::optional<std::string> credentialsTitle(int operation)
{
    switch (operation) {
    case 1:
        return "Delete Table";
    case 2:
        return "Test Database";
    case 3:
        return "Database Connection";
    case 4:
        return "Create Table";
    case 5:
        return "Test Table";
    default:
        return std::nullopt;
    }
}

bool runDatabaseTest(const DatabaseTestInput& input, DiagnosticsWindow* page)
{
    auto user = askForUser(2);
    if (!user)
        return false;
    CQmxApp& app = theApp();
    WaitCursor wait(app.prompts());
    app.settings.databaseIpAddress = input.ipAddress;
    app.settings.databaseIpPort = input.ipPort;
    app.settingsStore().write(settings_names::Setup, settings_names::DatabaseIpAddress, input.ipAddress);
    app.settingsStore().write(settings_names::Setup, settings_names::DatabaseIpPort, input.ipPort);
    if (!input.oracle)
        runNimbusCatalogSequence(input.databaseName, app.nimbusNodeName, input.ipAddress, input.ipPort);

    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(input.databaseName, user->userName, user->password, handles, Diagnostics::ConnectionRules, page))
        return false;
    db.disconnectDB(handles);
    app.prompts().showMessage(TestPassed, MessageIcon::Information);
    return true;
}

std::string tableTestWhereClause(bool reportsTable, const Dialect& dialect)
{
    if (reportsTable)
        return "where ((username in ('')))";
    std::string dateColumn = dialect.dateColumn();
    for (char& c : dateColumn)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "where ((ipaddress in ('0.0.0.0')) AND (time in (" + dialect.timeLiteral("00:00:00") + ")) AND ("
           + dateColumn + " in (" + dialect.dateLiteral("2007-01-01") + ")))";
}

bool runTableTest(const std::string& tableName, DiagnosticsWindow* page, const Dialect& dialect)
{
    auto user = askForUser(5);
    if (!user)
        return false;
    CQmxApp& app = theApp();
    WaitCursor wait(app.prompts());
    const std::string statistics = tableTestWhereClause(false, dialect);
    const std::pair<std::string, std::string> tables[] = {
        {tableName, statistics},
        {tableName + "_lp", statistics},
        {tableName + "_reports", tableTestWhereClause(true, dialect)},
    };
    qmxDB db;
    for (const auto& [table, where] : tables) {
        OdbcHandles handles;
        if (!db.connectDB(app.settings.databaseName, user->userName, user->password, handles,
                          Diagnostics::ConnectionRules, page))
            return false;
        // The page's own rules name a missing or misspelt table, and focus its name box.
        const std::string sql = "SELECT * FROM " + table + " " + where;
        SQLRETURN result = prepareStatement(handles.statement, sql);
        if (result == SQL_SUCCESS)
            result = executeStatement(handles.statement);
        if (result != SQL_SUCCESS) {
            WriteDebugLine("Error executing select statement:\n" + sql);
            db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::ConnectionRules, page);
            db.disconnectDB(handles);
            return false;
        }
        closeCursor(handles.statement);
        db.disconnectDB(handles);
    }
    app.prompts().showMessage(TestPassed, MessageIcon::Information);
    return true;
}
