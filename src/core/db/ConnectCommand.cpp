#include "ConnectCommand.h"

#include "DbTexts.h"
#include "qmxDB.h"
#include "ReportIndexes.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SettingsStore.h"
#include "app/UserPrompts.h"

namespace {
// Connects and tests the mount history table; true when both worked.
bool connectAndVerify(CQmxApp& app)
{
    qmxDB db;
    OdbcHandles handles;
    AppSettings& settings = app.settings;
    if (!db.connectDB(settings.databaseName, settings.userName, app.password, handles, Diagnostics::ShowUser))
        return false;

    const std::string table = settings.mountHistoryTableName;
    const std::string select = "select distinct ipaddress from " + table + " order by ipaddress asc";
    if (prepareStatement(handles.statement, select) != SQL_SUCCESS) {
        WriteDebugLine("Error preparing the select statement for IP address" + select);
        db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::ConnectionRules);
        closeCursor(handles.statement);
        db.disconnectDB(handles);
        return false;
    }
    if (executeStatement(handles.statement) != SQL_SUCCESS) {
        WriteDebugLine("Error executing the select statement for IP address");
        db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::ConnectionRules);
        closeCursor(handles.statement);
        db.disconnectDB(handles);
        return false;
    }
    closeCursor(handles.statement);

    const std::string count = "select count (distinct ipaddress) from " + table;
    if (prepareStatement(handles.statement, count) == SQL_SUCCESS && executeStatement(handles.statement) == SQL_SUCCESS)
        app.mountHistoryTableVerified = true;
    closeCursor(handles.statement);
    // Tables of an earlier version get the reports' indexes here, rows untouched.
    if (!Dialect::current().isOracle())
        addReportIndexes(handles.statement, table, Dialect::current());
    db.disconnectDB(handles);
    return true;
}
} // namespace

bool runConnectCommand()
{
    CQmxApp& app = theApp();
    UserPrompts& prompts = app.prompts();
    SettingsStore& store = app.settingsStore();
    for (;;) {
        CredentialsReply reply = prompts.askCredentials(db_texts::ConnectionTitle, app.settings.userName);
        if (reply.result == DialogResult::Cancel)
            return false;
        if (reply.result != DialogResult::Ok)
            continue;
        app.settings.userName = reply.userName;
        app.password = reply.password;
        store.write(settings_names::Connection, settings_names::Username, reply.userName);
        if (connectAndVerify(app))
            break;
    }

    app.connected = true;
    prompts.showMessage(db_texts::ConnectionSuccessful, MessageIcon::Information);
    if (app.settings.dateOutputFormat.empty()) {
        app.settings.DateFormatCode = 1;
        app.settings.dateOutputFormat = "%m-%d-%Y";
        store.write(settings_names::Setup, settings_names::DateFormat, "1");
    }
    if (app.settings.DatabaseType == 0) {
        app.settings.DatabaseType = 2;
        store.write(settings_names::Setup, settings_names::DatabaseType, "2");
    }
    return true;
}

bool runDisconnectCommand()
{
    CQmxApp& app = theApp();
    if (!app.prompts().askYesNo(db_texts::DisconnectQuestion, MessageIcon::Exclamation))
        return false;
    app.connected = false;
    return true;
}
