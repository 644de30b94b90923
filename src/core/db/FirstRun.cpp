#include "FirstRun.h"

#include "Tables.h"
#include "qmxDB.h"
#include "app/AppSettings.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/SettingsStore.h"
#include "ReportIndexes.h"

int seedSettingsWhenAbsent(SettingsStore& store, const FirstRunDefaults& defaults)
{
    using namespace settings_names;
    const std::string base = defaults.tableBaseName;
    // The embedded store has no server address; the address and port only complete the
    // settings that start-up checks before it connects by itself.
    const std::pair<const char*, std::pair<const char*, std::string>> entries[] = {
        {Connection, {Username, defaults.userName}},
        {Setup, {DatabaseName, defaults.dataSourceName}},
        {Setup, {DatabaseIpAddress, "127.0.0.1"}},
        {Setup, {DatabaseIpPort, "0"}},
        {Setup, {DatabaseType, "2"}},
        {Setup, {MountHistoryTableName, base}},
        {Setup, {LibraryPerformanceTableName, base + "_LP"}},
        {Setup, {ReportsTableName, base + "_REPORTS"}},
        {Setup, {DateFormat, "1"}},
    };
    int written = 0;
    for (const auto& [section, entry] : entries) {
        if (!store.read(section, entry.first).empty() || entry.second.empty())
            continue;
        store.write(section, entry.first, entry.second);
        ++written;
    }
    return written;
}

FirstRunTables createTablesOnce()
{
    CQmxApp& app = theApp();
    const AppSettings& settings = app.settings;
    {
        qmxDB db;
        OdbcHandles handles;
        if (!db.connectDB(settings.databaseName, settings.userName, app.password, handles, Diagnostics::ShowUser))
            return FirstRunTables::Failed;
        const int rows = db.selectIntoList("count(*)", settings.mountHistoryTableName, "", handles.statement, nullptr,
                                           Diagnostics::LogOnly);
        // A table of an earlier version gets the reports' indexes in place.
        if (rows >= 0 && !Dialect::current().isOracle())
            addReportIndexes(handles.statement, settings.mountHistoryTableName, Dialect::current());
        db.disconnectDB(handles);
        if (rows >= 0)
            return FirstRunTables::AlreadyThere;
    }
    return createTables(settings.mountHistoryTableName, "DEFAULT", settings.databaseName, settings.userName,
                        app.password)
                   == 1
               ? FirstRunTables::Created
               : FirstRunTables::Failed;
}
