#include "ScopedApp.h"
#include "db/Tables.h"
#include "reports/HealthReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace {
class HealthReport : public BackendTest {
protected:
    ScopedApp scoped;
    std::string base;

    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        base = uniqueTableName("health");
        scoped.useBackend(GetParam(), base, 2);
        ASSERT_EQ(createTables(base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
    }

    void TearDown() override
    {
        if (!base.empty())
            dropTables(base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    // `count` mounts of one drive and cartridge, one a day back from 2026-11-30 (mount 0 is the
    // newest), the drive rating and write performance rising over time, the media rating 5.
    void insertMounts(const std::string& address, int frame, int drive, const std::string& volser, int count)
    {
        std::string quoted;
        for (char c : volser)
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        for (int first = 0; first < count; first += 200) {
            std::string sql = "INSERT INTO " + base
                              + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, Element_Address, "
                                "Mount_Rating_Drive, Mount_Rating_Media, Mount_Write_Perf_Util) VALUES ";
            for (int i = first; i < std::min(count, first + 200); ++i) {
                const std::chrono::year_month_day day{std::chrono::sys_days{std::chrono::year{2026} / 11 / 30}
                                                      - std::chrono::days{i}};
                char date[16];
                std::snprintf(date, sizeof date, "%04d-%02u-%02u", static_cast<int>(day.year()),
                              static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
                sql += (i == first ? "" : ", ") + std::string("('") + address + "', '" + date + "', '10:00:00', '"
                       + quoted + "', " + std::to_string(frame) + ", " + std::to_string(drive) + ", 'LL1', 300, "
                       + std::to_string(1000 - i) + ", 5, " + std::to_string(100 + (1000 - i) % 7) + ")";
            }
            ASSERT_TRUE(executeSql(GetParam(), sql));
        }
    }

    HealthReportRun run(HealthReportKind kind, std::vector<std::string> addresses)
    {
        HealthReportRun r;
        r.kind = kind;
        r.beginDate = "2020-01-01";
        r.endDate = "2026-12-07";
        r.ipAddresses = std::move(addresses);
        r.startedAt = "Tue Dec 08 2026 at 10:00:00 AM";
        r.database = HealthDatabase::fromSettings();
        r.writeLine = [this](const std::string& line) { text += line + "\r\n"; };
        r.addContextLine = [this](const std::string& line) { contexts.push_back(line); };
        return r;
    }

    std::string text;
    std::vector<std::string> contexts;
};
} // namespace

TEST_P(HealthReport, DriveReportTrendsEachFieldOfEachDriveAndSaysWhatIsMissing)
{
    insertMounts("10.0.0.1", 1, 2, "AAA001", 130);
    insertMounts("10.0.0.1", 1, 1, "AAA002", 12);

    EXPECT_EQ(runHealthReport(run(HealthReportKind::Drive, {"10.0.0.1", "10.9.9.9"})), HealthReportOutcome::Done);
    EXPECT_EQ(text.rfind("Starting Drive Last 10 Mount Moving Average report on Tue Dec 08 2026 at 10:00:00 AM "
                         "\r\n\r\nThe date range is between 01-01-2020 and 12-07-2026\r\n\r\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(contexts, (std::vector<std::string>{"IPAddress: 10.0.0.1 Frame: 1 Drive: 1 \r\n",
                                                  "IPAddress: 10.0.0.1 Frame: 1 Drive: 2 \r\n"}));
    // Drive 2 has 130 mounts: its drive rating rises a step per mount.
    const auto drive2 = text.find(contexts[1]);
    ASSERT_NE(drive2, std::string::npos);
    EXPECT_NE(text.find("    MOUNT_DRIVE_RATING\r\n    Trend linear regration rate:    1.00\r\n", drive2),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Increasing away from the avarage data line", drive2), std::string::npos);
    EXPECT_NE(text.find("    Not enough MOUNT_PORTS_RATING data for IPAddress = 10.0.0.1 frame = 1 drive = 2 \r\n"),
              std::string::npos);
    EXPECT_NE(text.find("    Not enough MOUNT_DRIVE_RATING data for IPAddress = 10.0.0.1 frame = 1 drive = 1 \r\n"),
              std::string::npos);
    EXPECT_NE(text.find("No entries found for IP address 10.9.9.9 between dates 01-01-2020 and 12-07-2026\r\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "Done!\r\n");
}

TEST_P(HealthReport, CartridgeReportListsVolsersAndQuotesThemInItsStatements)
{
    insertMounts("10.0.0.2", 1, 1, "QT'001", 110);
    HealthReportRun r = run(HealthReportKind::Cartridge, {"10.0.0.2"});
    r.mailMode = true;
    EXPECT_EQ(runHealthReport(r), HealthReportOutcome::Done);
    EXPECT_NE(text.find("IPAddress = 10.0.0.2 volser = QT'001\r\n\r\nIPAddress: 10.0.0.2 Volser: QT'001 \r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("    MOUNT_MEDIA_RATING\r\n    Trend linear regression rate:    0.00\r\n"), std::string::npos);
    EXPECT_NE(text.find("Straight on the avarage data line"), std::string::npos);
    EXPECT_TRUE(contexts.empty()) << "mail mode keeps no context lines";
}

TEST_P(HealthReport, CancelEndsWithCanceledAndAFailedStatementWithNoEndLine)
{
    insertMounts("10.0.0.1", 1, 1, "AAA001", 120);
    insertMounts("10.0.0.1", 1, 2, "AAA002", 120);
    std::atomic<bool> cancelled{false};
    HealthReportRun r = run(HealthReportKind::Drive, {"10.0.0.1"});
    r.cancelled = &cancelled;
    r.addContextLine = [&](const std::string& line) {
        contexts.push_back(line);
        cancelled = true; // the user presses Cancel once the first section has started
    };
    EXPECT_EQ(runHealthReport(r), HealthReportOutcome::Canceled);
    EXPECT_EQ(contexts.size(), 1u);
    EXPECT_EQ(text.substr(text.size() - 10), "Canceled\r\n");

    text.clear();
    std::atomic<bool> closing{true};
    HealthReportRun closed = run(HealthReportKind::Drive, {"10.0.0.1"});
    closed.closing = &closing;
    EXPECT_EQ(runHealthReport(closed), HealthReportOutcome::Closing);
    EXPECT_EQ(text.find("IPAddress:"), std::string::npos);

    text.clear();
    HealthReportRun missing = run(HealthReportKind::Cartridge, {"10.0.0.1"});
    missing.database.table = base + "_MISSING";
    EXPECT_EQ(runHealthReport(missing), HealthReportOutcome::DatabaseFailed);
    EXPECT_EQ(text.find("Done!"), std::string::npos);
    // SQLite fails the prepare, PostgreSQL (preparing on the client) the execute.
    const std::string log = scoped.logText();
    EXPECT_TRUE(log.find("Error preparing the select statement in report by cartridge health statistics:\n")
                    != std::string::npos
                || log.find("Error executing the select statement in report for by catridge health statistics:\n")
                       != std::string::npos)
        << log;
}

TEST_P(HealthReport, DrillDownReadsTheFirstHundredAndOnePointsOldestFirst)
{
    insertMounts("10.0.0.1", 1, 2, "AAA001", 300);
    DrillDownRequest request;
    request.kind = HealthReportKind::Drive;
    request.subject = HealthSubject{false, "10.0.0.1", 1, 2, ""};
    request.field = "MOUNT_DRIVE_RATING";
    request.beginDate = "2020-01-01";
    request.endDate = "2026-12-07";
    request.database = HealthDatabase::fromSettings();
    const auto series = runDrillDown(request);
    ASSERT_TRUE(series.has_value());
    ASSERT_EQ(series->ratings.size(), 101u);
    EXPECT_EQ(series->ratings.front(), 900u);
    EXPECT_EQ(series->ratings.back(), 1000u);
    EXPECT_EQ(series->trend.back(), 995u) << "1000 down to 991 average 995.5";
    EXPECT_EQ(drillDownLibraryText(request), "IPAddress: 10.0.0.1 Frame: 1 Drive: 2  01-01-2020 to 12-07-2026");

    request.field = "NOT_A_FIELD";
    EXPECT_FALSE(runDrillDown(request).has_value());
}

INSTANTIATE_TEST_SUITE_P(Backends, HealthReport, ::testing::ValuesIn(testBackends()), BackendName());
