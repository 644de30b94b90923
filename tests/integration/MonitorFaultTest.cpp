// The monitor against a misbehaving library and a database that goes away between cycles.

#include "MonitorTestSupport.h"
#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/MonitorEngine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {
std::unique_ptr<libsim::LibraryFileServer> startLibrary(const libsim::FaultState& faults = {})
{
    libsim::LibraryOptions library;
    library.days = 2;
    libsim::ServerOptions options;
    options.faults = faults;
    auto server = std::make_unique<libsim::LibraryFileServer>(library, options);
    EXPECT_TRUE(server->start());
    return server;
}

MonitorOptions quickOptions()
{
    MonitorOptions options;
    options.periods.firstMountHistory = 20ms;
    options.periods.mountHistory = 400ms;
    options.periods.mountHistoryGuard = 400ms;
    options.periods.firstLibraryPerformance = 40ms;
    options.periods.libraryPerformance = 400ms;
    options.periods.retry = 300ms;
    options.limits.lowSpeedTime = 30s;
    return options;
}

// The SQLite file behind the test data source, from the odbc.ini the test support wrote.
std::filesystem::path sqliteFile()
{
    const char* ini = std::getenv("ODBCINI");
    std::ifstream in(ini != nullptr ? ini : "");
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            inSection = line.find("SQLite") != std::string::npos;
        else if (inSection && line.rfind("Database=", 0) == 0)
            return line.substr(9);
    }
    return {};
}
} // namespace

TEST(MonitorFaults, LibraryWithoutOvisGetsTheErrorLineAndNoCycles)
{
    ScopedApp scoped;
    libsim::FaultState faults;
    faults.ovisDisabled = true;
    auto server = startLibrary(faults);
    MonitorLines lines;
    MonitorEngine engine(server->address(), lines, quickOptions());
    engine.start();
    ASSERT_TRUE(lines.waitFor("   o ERROR: ", 1, 10s));
    std::this_thread::sleep_for(600ms);
    engine.stop();
    EXPECT_EQ(lines.lines().size(), 2u);
    EXPECT_NE(lines.starting("   o ERROR: ")[0].find("OVIS"), std::string::npos);
    EXPECT_FALSE(engine.ovisEnabled());
}

TEST(MonitorFaults, SlowCycleIsSkippedAndCloseReturnsWithinTwoSeconds)
{
    ScopedApp scoped;
    libsim::FaultState faults;
    faults.noPerformanceModel = true;
    faults.stallAfterBytes = 2000;
    faults.stallFile = "LIBLG_01_CS.bin";
    auto server = startLibrary(faults);
    MonitorLines lines;
    auto engine = std::make_unique<MonitorEngine>(server->address(), lines, quickOptions());
    engine->start();
    ASSERT_TRUE(lines.waitFor("Skipping Mount History file. Previous Mount History still processing\n", 2, 10s));
    EXPECT_EQ(lines.starting("Library Performance for ").size(), 1u);
    EXPECT_EQ(lines.starting("Library Performance for ")[0],
              "Library Performance for " + server->address() + " is not available\r\n");
    EXPECT_TRUE(lines.starting("Getting Library Performance").empty());
    EXPECT_EQ(lines.starting("Getting Mount History").size(), 1u);
    EXPECT_TRUE(engine->mountHistoryInProgress());

    const auto start = std::chrono::steady_clock::now();
    engine->requestStop();
    const std::size_t linesAtStop = lines.lines().size();
    engine.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(lines.lines().size(), linesAtStop);
}

TEST(MonitorFaults, DatabaseThatGoesAwayLosesNothing)
{
    ScopedApp scoped;
    const TestBackend backend = testBackends().front();
    const std::string base = uniqueTableName("monaway");
    scoped.useBackend(backend, base);
    ASSERT_EQ(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
    const std::filesystem::path file = sqliteFile();
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    const std::string table = tableNameFor(TableKind::MountHistory, base);

    auto server = startLibrary();
    const std::set<std::string> first = servedMounts(*server);
    MonitorLines lines;
    MonitorOptions options = quickOptions();
    options.periods.firstLibraryPerformance = 3600s;
    options.periods.mountHistory = 1000ms;
    MonitorEngine engine(server->address(), lines, options);
    engine.start();
    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(first.size())), 1, 30s));

    // The database file is replaced by a folder of its name: nothing can be stored.
    const std::filesystem::path away = file.string() + ".away";
    std::filesystem::rename(file, away);
    std::filesystem::create_directory(file);
    server->advanceClock(180);
    std::set<std::string> later = servedMounts(*server);
    std::size_t added = 0;
    for (const std::string& mount : later)
        added += first.count(mount) == 0 ? 1 : 0;
    ASSERT_GT(added, 0u);
    const bool failed = lines.waitFor("Problem getting Mount History file. Will try again in one minute.\r\n", 1, 10s)
                        || lines.waitFor("ERROR: Problem inserting line", 1, 1ms);
    std::filesystem::remove(file);
    std::filesystem::rename(away, file);
    ASSERT_TRUE(failed);

    // The next good cycle stores what the failed one could not.
    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(added)), 1, 20s));
    engine.stop();
    EXPECT_EQ(countRows(backend, table), static_cast<long long>(first.size() + added));
    dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
}

TEST(MonitorFaults, ServerThatRefusesConnectionsLosesNothing)
{
    // The PostgreSQL server stops taking connections to the monitor's database between cycles
    // and takes them again later: the cycles in between store nothing, the next one all.
    const TestBackend main = testBackends().back();
    if (!main.available)
        GTEST_SKIP() << "PostgreSQL is not running here: scripts/test.sh starts a cluster";
    ScopedApp scoped;
    const TestBackend spare = spareTestBackend();
    if (querySql(main, "select 1 from pg_database where datname = 'vaultline_spare'").empty()) {
        ASSERT_TRUE(executeSql(main, "create database vaultline_spare"));
    }
    ASSERT_TRUE(executeSql(main, "alter database vaultline_spare allow_connections true"));
    const std::string base = uniqueTableName("monrefused");
    scoped.useBackend(spare, base);
    ASSERT_EQ(createTables(base, "DEFAULT", spare.dsn, spare.user, spare.password), 1);
    const std::string table = tableNameFor(TableKind::MountHistory, base);

    auto server = startLibrary();
    const std::set<std::string> first = servedMounts(*server);
    MonitorLines lines;
    MonitorOptions options = quickOptions();
    options.periods.firstLibraryPerformance = 3600s;
    options.periods.mountHistory = 1000ms;
    MonitorEngine engine(server->address(), lines, options);
    engine.start();
    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(first.size())), 1, 30s));

    ASSERT_TRUE(executeSql(main, "alter database vaultline_spare allow_connections false"));
    ASSERT_TRUE(executeSql(main, "select pg_terminate_backend(pid) from pg_stat_activity "
                                 "where datname = 'vaultline_spare' and pid <> pg_backend_pid()"));
    server->advanceClock(180);
    std::size_t added = 0;
    for (const std::string& mount : servedMounts(*server))
        added += first.count(mount) == 0 ? 1 : 0;
    ASSERT_GT(added, 0u);
    const std::size_t failuresBefore = lines.starting("Problem getting Mount History file").size();
    const bool failed =
        lines.waitFor("Problem getting Mount History file. Will try again in one minute.\r\n", failuresBefore + 1, 10s);
    ASSERT_TRUE(executeSql(main, "alter database vaultline_spare allow_connections true"));
    ASSERT_TRUE(failed);
    EXPECT_NE(scoped.logText().find("Error connecting to Data Source Name VaultlineTestPGSpare"), std::string::npos);
    // The database's reason follows the retry line.
    ASSERT_TRUE(lines.waitFor("Could not connect to the database.\r\n", 1, 10s));
    const auto all = lines.lines();
    const auto reason = std::find_if(all.begin(), all.end(), [](const std::string& line) {
        return line.rfind("Could not connect to the database.\r\n", 0) == 0;
    });
    ASSERT_TRUE(reason != all.begin());
    EXPECT_EQ(reason[-1], "Problem getting Mount History file. Will try again in one minute.\r\n");
    const auto retry = reason - 1;
    EXPECT_NE(retry[1].find("not currently accepting connections"), std::string::npos) << retry[1];

    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(added)), 1, 20s));
    engine.stop();
    EXPECT_EQ(countRows(spare, table), static_cast<long long>(first.size() + added));
    dropTables(base, spare.dsn, spare.user, spare.password, nullptr);
}
