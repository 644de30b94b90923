// The monitor against the simulated library over loopback HTTP, storing into each test database.

#include "MonitorTestSupport.h"
#include "ScopedApp.h"
#include "db/Tables.h"
#include "library/MonitorEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace std::chrono_literals;

namespace {
class MonitorCycles : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        m_base = uniqueTableName("monitor");
        scoped.useBackend(GetParam(), m_base);
        const TestBackend& backend = GetParam();
        ASSERT_EQ(createTables(m_base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    void startServer(libsim::ServerOptions options = {})
    {
        libsim::LibraryOptions library;
        library.days = 2;
        server = std::make_unique<libsim::LibraryFileServer>(library, options);
        ASSERT_TRUE(server->start());
    }
    MonitorOptions quickOptions() const
    {
        MonitorOptions options;
        options.periods.firstMountHistory = 20ms;
        options.periods.mountHistory = 1500ms;
        options.periods.mountHistoryGuard = 1500ms;
        options.periods.firstLibraryPerformance = 3600s; // only where a test wants it
        options.periods.retry = 300ms;
        options.limits.lowSpeedTime = 1s;
        options.limits.connectTimeout = 2000ms;
        return options;
    }
    long long mountRows() { return countRows(GetParam(), tableNameFor(TableKind::MountHistory, m_base)); }
    long long performanceRows() { return countRows(GetParam(), tableNameFor(TableKind::LibraryPerformance, m_base)); }

    ScopedApp scoped;
    std::string m_base;
    std::unique_ptr<libsim::LibraryFileServer> server;
    MonitorLines lines;
};
} // namespace

TEST_P(MonitorCycles, EveryMountIsStoredOnceAndLaterCyclesStoreOnlyNewMounts)
{
    startServer();
    const std::set<std::string> first = servedMounts(*server);
    ASSERT_GT(first.size(), 100u);
    MonitorOptions options = quickOptions();
    options.periods.firstLibraryPerformance = 30ms;
    MonitorEngine engine(server->address(), lines, options);
    engine.start();

    ASSERT_TRUE(lines.waitFor("Inserted ", 2, 60s));
    EXPECT_EQ(lines.starting("Inserted ")[0].find("Mount History") != std::string::npos
                  ? lines.starting("Inserted ")[0]
                  : lines.starting("Inserted ")[1],
              MountHistoryInserted(static_cast<int>(first.size())));
    EXPECT_EQ(mountRows(), static_cast<long long>(first.size()));
    ASSERT_TRUE(lines.waitFor("Inserted 0 new entries from Mount History", 1, 20s));
    EXPECT_EQ(mountRows(), static_cast<long long>(first.size()));
    // The library performance cycle runs beside the mount history cycles: waited for, not assumed.
    ASSERT_TRUE(lines.waitFor("Inserted " + std::to_string(servedPerformanceLines(*server))
                                  + " new entries from Library Performance file into database",
                              1, 20s));
    EXPECT_EQ(performanceRows(), static_cast<long long>(servedPerformanceLines(*server)));

    // The library's clock moves on three hours: the next cycle stores exactly the new records.
    server->advanceClock(180);
    const std::set<std::string> later = servedMounts(*server);
    std::size_t added = 0;
    for (const std::string& mount : later)
        added += first.count(mount) == 0 ? 1 : 0;
    ASSERT_GT(added, 0u);
    ASSERT_TRUE(lines.waitFor(MountHistoryInserted(static_cast<int>(added)), 1, 20s));
    EXPECT_EQ(mountRows(), static_cast<long long>(first.size() + added));
    // Once a stop is requested the engine writes nothing more, so the closing empty line of
    // the cycle just counted is waited for before stopping: one per cycle that has ended.
    ASSERT_TRUE(lines.waitUntil(
        [](const std::vector<std::string>& seen) {
            const auto ended = static_cast<std::size_t>(std::count_if(
                seen.begin(), seen.end(), [](const std::string& line) { return line.rfind("Inserted ", 0) == 0; }));
            return static_cast<std::size_t>(std::count(seen.begin(), seen.end(), std::string())) >= ended;
        },
        20s));
    engine.stop();

    // Each mount history cycle: the getting line with the address, then its count, before the
    // next cycle begins (a library performance cycle may write in between).
    const std::vector<std::string> all = lines.lines();
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ(all[0], "Starting Monitor on Tape Library " + server->address() + "\r\n");
    int open = 0;
    for (const std::string& line : all) {
        if (line.rfind("Getting Mount History file from " + server->address() + " on ", 0) == 0) {
            EXPECT_EQ(open, 0);
            ++open;
        } else if (line.find("from Mount History file into database") != std::string::npos) {
            EXPECT_EQ(open, 1);
            --open;
        }
    }
    EXPECT_GE(lines.starting("Getting Mount History").size(), 3u);
    EXPECT_GE(std::count(all.begin(), all.end(), ""), 4);
    EXPECT_TRUE(lines.starting("ERROR").empty());
    EXPECT_TRUE(lines.starting("Problem").empty());
}

TEST_P(MonitorCycles, TwoMonitorsOfOneLibraryStoreEachMountOnce)
{
    startServer();
    const std::size_t mounts = servedMounts(*server).size();
    MonitorLines otherLines;
    MonitorEngine one(server->address(), lines, quickOptions());
    MonitorEngine two(server->address(), otherLines, quickOptions());
    one.start();
    two.start();
    ASSERT_TRUE(lines.waitFor("Inserted ", 1, 60s));
    ASSERT_TRUE(otherLines.waitFor("Inserted ", 1, 60s));
    one.stop();
    two.stop();
    EXPECT_EQ(insertedCount(lines.starting("Inserted ")[0]) + insertedCount(otherLines.starting("Inserted ")[0]),
              static_cast<int>(mounts));
    EXPECT_EQ(mountRows(), static_cast<long long>(mounts));
    EXPECT_TRUE(lines.starting("ERROR").empty());
    EXPECT_TRUE(otherLines.starting("ERROR").empty());
}

TEST_P(MonitorCycles, RefusedLibraryIsCheckedEveryRetryPeriodAndMonitoredWhenBack)
{
    startServer();
    server->setRefusing(true);
    MonitorEngine engine(server->address(), lines, quickOptions());
    engine.start();
    const std::string notResponding =
        "The IP address " + server->address() + " is either invalid or not responding on ";
    ASSERT_TRUE(lines.waitFor(notResponding, 3, 10s));
    EXPECT_TRUE(lines.starting("Getting").empty());
    server->setRefusing(false);
    ASSERT_TRUE(lines.waitFor("Inserted ", 1, 60s));
    EXPECT_EQ(lines.starting("Inserted ")[0], MountHistoryInserted(static_cast<int>(servedMounts(*server).size())));
    engine.stop();
    EXPECT_EQ(mountRows(), static_cast<long long>(servedMounts(*server).size()));
}

TEST_P(MonitorCycles, StalledOrCutDownloadsStoreNothingAndAreRetried)
{
    startServer();
    ASSERT_EQ(server->control("stall", {{"bytes", "3000"}, {"file", "LIBLG_01_CS.bin"}}), "");
    MonitorEngine engine(server->address(), lines, quickOptions());
    engine.start();
    const std::string retry = "Problem getting Mount History file. Will try again in one minute.\r\n";
    ASSERT_TRUE(lines.waitFor(retry, 1, 20s));
    EXPECT_EQ(mountRows(), 0);
    EXPECT_EQ(lines.starting("   o ERROR: ").size(), 1u);

    // A library that hangs up in the middle of the file.
    ASSERT_EQ(server->control("stall", {{"bytes", "off"}}), "");
    ASSERT_EQ(server->control("close", {{"bytes", "3000"}, {"file", "LIBLG_01_CS.bin"}}), "");
    ASSERT_TRUE(lines.waitFor(retry, 2, 20s));
    EXPECT_EQ(mountRows(), 0);

    ASSERT_EQ(server->control("reset", {}), "");
    ASSERT_TRUE(lines.waitFor("Inserted ", 1, 60s));
    engine.stop();
    EXPECT_EQ(mountRows(), static_cast<long long>(servedMounts(*server).size()));
    EXPECT_TRUE(lines.starting("ERROR").empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, MonitorCycles, ::testing::ValuesIn(testBackends()), BackendName());
