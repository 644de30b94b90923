// The text reports read a whole range with a few statements; the queries they were first made
// with (one per date, one per cartridge) stay as the reference. On a data set with the awkward
// cases both must write the same text byte for byte, on each test database; and where the
// database refuses the whole-range statements the report falls back and still writes it.

#include "LibraryFileServer.h"
#include "ReportRows.h"
#include "ScopedApp.h"
#include "db/Tables.h"
#include "db/TableTexts.h"
#include "reports/CartridgeStatistics.h"
#include "reports/EncryptionStatus.h"
#include "reports/MountRates.h"
#include "reports/ReportRunner.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
using Procedure = int (*)(const ReportRequest&);

struct Report {
    const char* name;
    Procedure procedure;
};
const Report Reports[] = {{"mount rates", ReportLibThread},
                          {"cartridge statistics", ReportCtgStatThread},
                          {"encryption status", ReportEncThread}};

// The report without its first line, which carries the time of the run.
std::string afterHeader(const std::string& text)
{
    const auto end = text.find("\r\n");
    return end == std::string::npos ? text : text.substr(end + 2);
}

class ReportBatches : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        libsim::LibraryOptions library;
        library.frames = 1;
        library.drives = 3;
        library.days = 1;
        server = std::make_unique<libsim::LibraryFileServer>(library);
        ASSERT_TRUE(server->start());
        address = server->address();
        m_base = uniqueTableName("batches");
        scoped.useBackend(GetParam(), m_base);
        const TestBackend& backend = GetParam();
        ASSERT_EQ(createTables(m_base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        const std::string table = theApp().settings.mountHistoryTableName;
        // A table of an older version, without the unique key, may hold a mount twice.
        ASSERT_TRUE(executeSql(backend, "drop index " + table + table_texts::UniqueKeyIndexSuffix));
        // Address, date, time, volser, frame, drive, the five lifetime counters, crypto status,
        // re-key. The range is 2026-01-04 to 2026-01-07.
        const std::vector<std::string> rows = {
            // Outside the range on either side: never seen.
            "'%A', '2026-01-03', '10:00:00', 'VOL003', 1, 1, 99, 99, 99, 99, 99, 1, 1",
            "'%A', '2026-01-08', '11:00:00', 'VOL003', 1, 3, 12, 5, 5, 5, 5, 1, 1",
            // A mount at exactly a full hour, and a quote in a volser.
            "'%A', '2026-01-05', '05:00:00', 'AB''C01', 1, 1, 10, 0, 0, 1, 0, 0, 0",
            "'%A', '2026-01-05', '10:00:00', 'AB''C01', 1, 1, 11, 0, 0, 1, 2, 1, 1",
            "'%A', '2026-01-06', '05:00:00', 'VOL002', 1, 1, 5, 3, 0, 0, 0, 1, 0",
            // A mount without a time on the same day comes after every mount with one.
            "'%A', '2026-01-06', NULL, 'VOL002', 1, 1, 6, 0, 0, 0, 0, 0, 0",
            // Mounted three times on its last day: the latest, not encrypted, is the one shown.
            "'%A', '2026-01-05', '07:00:00', 'VOL003', 1, 3, 7, 0, 0, 0, 0, 0, 0",
            "'%A', '2026-01-05', '08:00:00', 'VOL003', 1, 3, 8, 0, 0, 0, 0, 1, 1",
            "'%A', '2026-01-05', '09:15:00', 'VOL003', 1, 3, 9, 0, 0, 0, 0, 0, 0",
            // Three mounts at one time: two cartridges, one of them stored twice.
            "'%A', '2026-01-06', '12:00:00', 'VOL010', 1, 2, NULL, NULL, NULL, NULL, NULL, NULL, NULL",
            "'%A', '2026-01-06', '12:00:00', 'VOL011', 1, 3, -1, 0, -5, NULL, 0, 1, NULL",
            "'%A', '2026-01-06', '12:00:00', 'VOL011', 1, 3, -1, 0, -5, NULL, 0, 1, 1",
            // The last day's only mount has no time.
            "'%A', '2026-01-04', '23:30:00', 'VOL012', 1, 1, 2, 0, 0, 0, 0, 1, 1",
            "'%A', '2026-01-07', NULL, 'VOL012', 1, 1, 3, 0, 0, 0, 0, 1, 0",
            // No volser; midnight; no frame and drive; 23:00:00 in two hour bins; a counter
            // that is not a whole number where the database keeps one as it came.
            "'%A', '2026-01-07', '00:00:00', NULL, 1, 2, 4, 1, 1, 1, 1, 1, 1",
            "'%A', '2026-01-07', '23:00:00', 'VOL013', NULL, NULL, 1, 0, 0, 0, 0, 0, 0",
            "'%A', '2026-01-07', '14:00:00', 'VOL013', 1, 1, 2.5, 0, 0, 0, 0, 1, 0",
            // A date not in its canonical form: PostgreSQL reads it as 2026-01-06; the embedded
            // store keeps the text, which sorts after the narrow range and within the wide one.
            "'%A', '2026-1-6', '06:00:00', 'VOL014', 1, 2, 1, 0, 0, 0, 0, 1, 0",
            // The same cartridge and time at a second address, encrypted there.
            "'10.77.0.2', '2026-01-06', '12:00:00', 'VOL010', 2, 1, 1, 0, 0, 0, 0, 1, 0",
            "'10.77.0.2', '2026-01-07', '12:00:00', 'VOL010', 2, 1, 2, 0, 0, 0, 0, 0, 1",
        };
        insertReportRows(backend, table, address, rows);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    // One run's text after its header line: in a window, or the mail body; as the settings'
    // user or another.
    std::string run(Procedure procedure, bool reference, ReportMode mode, const std::string& user = "",
                    const std::string& end = "2026-01-07")
    {
        TextReportSink sink;
        ReportRequest request = ReportRequest::fromSettings("2026-01-04", end, {"10.99.0.1", address, "10.77.0.2"});
        if (!user.empty())
            request.userName = user;
        if (!dataSource.empty())
            request.dataSourceName = dataSource;
        request.mode = mode;
        request.sink = &sink;
        request.referenceCounts = reference;
        if (mode == ReportMode::Window)
            request.flags = &flags;
        EXPECT_EQ(procedure(request), 1);
        return afterHeader(sink.text());
    }

    // Whether a report statement failed since the last look.
    bool statementFailed()
    {
        const std::string log = scoped.logText();
        const bool failed = log.find(" the select statement in report by", m_logSeen) != std::string::npos
                            || log.find("Error fetching date", m_logSeen) != std::string::npos;
        m_logSeen = log.size();
        return failed;
    }

    ScopedApp scoped;
    // Runs go to this data source instead of the settings' one when set.
    std::string dataSource;
    std::unique_ptr<libsim::LibraryFileServer> server;
    std::string address;
    ReportFlags flags;

private:
    std::string m_base;
    std::size_t m_logSeen = 0;
};

TEST_P(ReportBatches, SameTextsAsTheQueriesPerDateAndPerCartridge)
{
    for (const Report& report : Reports) {
        SCOPED_TRACE(report.name);
        for (ReportMode mode : {ReportMode::Window, ReportMode::Mail}) {
            statementFailed();
            const std::string batched = run(report.procedure, false, mode);
            // The whole-range statements ran: no failure fell back to the reference unseen.
            EXPECT_FALSE(statementFailed());
            EXPECT_EQ(batched, run(report.procedure, true, mode));
        }
        // Over the year, where the embedded store lists the odd date too.
        EXPECT_EQ(run(report.procedure, false, ReportMode::Window, "", "2026-12-31"),
                  run(report.procedure, true, ReportMode::Window, "", "2026-12-31"));
    }

    // And the texts say what the data set holds.
    const std::string encryption = run(ReportEncThread, false, ReportMode::Window);
    for (const char* line : {"Volser: VOL003   Last Demount: 2026-01-05 09:15:00   Not Encrypted   ReKeys: 1\r\n",
                             "Volser: VOL002   Last Demount: 2026-01-06 05:00:00       Encrypted   ReKeys: 0\r\n",
                             "Volser: VOL011   Last Demount: 2026-01-06 12:00:00       Encrypted   ReKeys: 1\r\n",
                             "Volser: VOL012   Last Demount: 2026-01-07    Not Encrypted   ReKeys: 1\r\n",
                             "Volser: VOL013   Last Demount: 2026-01-07 23:00:00   Not Encrypted   ReKeys: 0\r\n",
                             "10.77.0.2:\r\nVolser: VOL010   Last Demount: 2026-01-07 12:00:00   Not Encrypted   "
                             "ReKeys: 1\r\n"})
        EXPECT_NE(encryption.find(line), std::string::npos) << line;
    const std::string statistics = run(ReportCtgStatThread, false, ReportMode::Window);
    EXPECT_NE(statistics.find("Volser: VOL010\r\n   MAX LIFE_MOUNTS: 0\r\n   MAX LIFE_WRITE_RETRIES: 0\r\n"),
              std::string::npos);
    EXPECT_NE(statistics.find("Volser: VOL011\r\n   MAX LIFE_MOUNTS: 0\r\n   MAX LIFE_WRITE_RETRIES: 0\r\n"
                              "   MAX LIFE_WRITE_PERMS: 0\r\n"),
              std::string::npos);
    EXPECT_NE(statistics.find("Volser: VOL003\r\n   MAX LIFE_MOUNTS: 9\r\n"), std::string::npos);
    EXPECT_NE(statistics.find("No entries found for IP address 10.99.0.1"), std::string::npos);
    const std::string rates = run(ReportLibThread, false, ReportMode::Window);
    EXPECT_NE(rates.find("Volser: VOL003   Average Mounts/Day = 0.75   Standard Deviation = 1.41\r\n"),
              std::string::npos);
    EXPECT_NE(rates.find("Hour: 22:00:00   Average Mounts = 0.25"), std::string::npos);
}

TEST_P(ReportBatches, RefusedBatchesFallBackToTheReferenceQueries)
{
    // A user for whom the server refuses what only the whole-range statements of mount rates
    // use (sum: found first in a schema of its own, where it raises), and two columns, which
    // one per-cartridge query of cartridge statistics and of encryption status reads as well.
    // The embedded store has no users: a connection whose authorizer refuses the same stands in.
    const TestBackend& backend = GetParam();
    const bool sqlite = backend.name == "SQLite";
    const std::string user = sqlite ? std::string() : uniqueTableName("refusing");
    const std::string table = theApp().settings.mountHistoryTableName;
    const std::string allowed = run(ReportLibThread, false, ReportMode::Window);
    if (sqlite)
        dataSource = refusingSqliteBackend().dsn;
    std::vector<std::string> setup;
    if (!sqlite)
        setup = {
            "create role " + user + " login",
            "create schema " + user,
            "grant usage on schema " + user + " to " + user,
            "create function " + user
                + ".refuse(bigint, bigint) returns bigint language plpgsql as "
                  "$$ begin raise exception 'sum is refused here'; end $$",
            "create function " + user
                + ".refuse(bigint, integer) returns bigint language plpgsql as "
                  "$$ begin raise exception 'sum is refused here'; end $$",
            "create aggregate " + user + ".sum(bigint) (sfunc = " + user + ".refuse, stype = bigint)",
            "create aggregate " + user + ".sum(integer) (sfunc = " + user + ".refuse, stype = bigint)",
            "alter role " + user + " set search_path = " + user + ", public, pg_catalog",
            "grant select (ipAddress, Date, Time, Volser, Frame, Drive, Life_Mounts_Media, Life_Write_Retries_Media, "
            "Life_Write_Perms_Media, Life_Read_Retries_Media, Mount_Crypto_Status) on "
                + table + " to " + user};
    for (const std::string& sql : setup)
        ASSERT_TRUE(executeSql(backend, sql)) << sql;

    for (const Report& report : Reports) {
        SCOPED_TRACE(report.name);
        statementFailed();
        const std::string batched = run(report.procedure, false, ReportMode::Window, user);
        EXPECT_EQ(batched, run(report.procedure, true, ReportMode::Window, user));
        EXPECT_NE(batched.find("Done!\r\n"), std::string::npos);
    }
    const std::string log = scoped.logText();
    // The whole-range statements were refused ...
    for (const char* refused : {"per_day group by frame, drive\n", "per_day group by volser\n",
                                "then 1 else 0 end) from ", " is not null group by volser\n", "row_number() over"})
        EXPECT_NE(log.find(refused), std::string::npos) << refused;
    // ... and the reports wrote what the queries one date or one cartridge at a time give:
    // every mount rate as the unrefused user sees it, the refused columns' figures as 0.
    EXPECT_EQ(run(ReportLibThread, false, ReportMode::Window, user), allowed);
    const std::string statistics = run(ReportCtgStatThread, false, ReportMode::Window, user);
    EXPECT_NE(statistics.find("Volser: AB'C01\r\n   MAX LIFE_MOUNTS: 11\r\n   MAX LIFE_WRITE_RETRIES: 0\r\n"
                              "   MAX LIFE_WRITE_PERMS: 0\r\n   MAX LIFE_READ_RETRIES: 1\r\n"
                              "   MAX LIFE_READ_PERMS: 0\r\n"),
              std::string::npos);
    EXPECT_NE(run(ReportEncThread, false, ReportMode::Window, user)
                  .find("Volser: AB'C01   Last Demount: 2026-01-05 10:00:00       Encrypted   ReKeys: 0\r\n"),
              std::string::npos);

    if (sqlite)
        return;
    for (const std::string& sql :
         {"revoke all on " + table + " from " + user, "drop schema " + user + " cascade", "drop role " + user})
        EXPECT_TRUE(executeSql(backend, sql)) << sql;
}

INSTANTIATE_TEST_SUITE_P(Databases, ReportBatches, ::testing::ValuesIn(testBackends()), BackendName());
} // namespace
