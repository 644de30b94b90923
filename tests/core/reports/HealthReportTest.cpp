#include "ScopedApp.h"
#include "db/Tables.h"
#include "reports/HealthReport.h"
#include "reports/ReportRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace {
class HealthReport : public BackendTablesTest {
protected:
    HealthReport() : BackendTablesTest("health") {}

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

    ReportRequest request(std::vector<std::string> addresses)
    {
        ReportRequest r = ReportRequest::fromSettings("2020-01-01", "2026-12-07", std::move(addresses));
        r.sink = &sink;
        return r;
    }

    TextReportSink sink;
};

// Presses Cancel once the first drive's section has started.
class CancellingSink : public TextReportSink {
public:
    explicit CancellingSink(ReportFlags& flags) : m_flags(flags) {}
    void write(const std::string& text) override
    {
        TextReportSink::write(text);
        if (text.rfind("IPAddress: ", 0) == 0)
            m_flags.cancel();
    }

private:
    ReportFlags& m_flags;
};
} // namespace

TEST_P(HealthReport, DriveReportTrendsEachFieldOfEachDriveAndSaysWhatIsMissing)
{
    insertMounts("10.0.0.1", 1, 2, "AAA001", 130);
    insertMounts("10.0.0.1", 1, 1, "AAA002", 12);

    EXPECT_EQ(ReportDrvThread(request({"10.0.0.1", "10.9.9.9"})), 1);
    const std::string text = sink.text();
    EXPECT_EQ(text.rfind("Starting Drive Last 10 Mount Moving Average report on ", 0), 0u) << text;
    EXPECT_NE(text.find(" \r\n\r\nThe date range is between 01-01-2020 and 12-07-2026\r\n\r\n"), std::string::npos);
    // Drives in frame and drive order; each section header is followed by a blank line.
    const auto drive1 = text.find("IPAddress: 10.0.0.1 Frame: 1 Drive: 1 \r\n\r\n");
    const auto drive2 = text.find("IPAddress: 10.0.0.1 Frame: 1 Drive: 2 \r\n\r\n");
    ASSERT_NE(drive1, std::string::npos) << text;
    ASSERT_NE(drive2, std::string::npos);
    EXPECT_LT(drive1, drive2);
    // Drive 2 has 130 mounts: its drive rating rises a step per mount.
    EXPECT_NE(text.find("    MOUNT_DRIVE_RATING\r\n    Trend linear regration rate:    1.00\r\n", drive2),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Increasing away from the avarage data line\r\n\r\n", drive2), std::string::npos);
    EXPECT_NE(text.find("    Not enough MOUNT_PORTS_RATING data for IPAddress = 10.0.0.1 frame = 1 drive = 2 \r\n"),
              std::string::npos);
    EXPECT_NE(text.find("    Not enough MOUNT_DRIVE_RATING data for IPAddress = 10.0.0.1 frame = 1 drive = 1 \r\n"),
              std::string::npos);
    EXPECT_NE(text.find("No entries found for IP address 10.9.9.9 between dates 01-01-2020 and 12-07-2026\r\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "Done!\r\n");
    EXPECT_EQ(sink.buttonRestores(), 1);
}

TEST_P(HealthReport, CartridgeReportListsVolsersQuotesThemAndMailsItsText)
{
    insertMounts("10.0.0.2", 1, 1, "QT'001", 110);
    ReportRequest mail = ReportRequest::fromSettings("2020-01-01", "2026-12-07", {"10.0.0.2"});
    mail.mode = ReportMode::Mail;
    mail.beginShown = "01-01-2020";
    mail.sink = &sink;
    std::string subject, body;
    mail.sendMail = [&](const std::string& s, const std::string& b) {
        subject = s;
        body = b;
        return true;
    };
    EXPECT_EQ(ReportCtgThread(mail), 1);
    EXPECT_EQ(subject, "QMX Auto Reports Agent for Cartridge Health Statistics");
    EXPECT_NE(body.find("The date range is between 01-01-2020 and 12-07-2026"), std::string::npos) << body;
    EXPECT_NE(body.find("IPAddress = 10.0.0.2 volser = QT'001\r\n\r\nIPAddress: 10.0.0.2 Volser: QT'001 \r\n"),
              std::string::npos)
        << body;
    EXPECT_NE(body.find("    MOUNT_MEDIA_RATING\r\n    Trend linear regression rate:    0.00\r\n"), std::string::npos);
    EXPECT_NE(body.find("Straight on the avarage data line"), std::string::npos);
    EXPECT_EQ(body.substr(body.size() - 5), "Done!");
    EXPECT_NE(scoped.logText().find("QMX Auto Reports Successful for Cartridge Health Statistics"), std::string::npos);
}

TEST_P(HealthReport, CancelEndsWithCanceledAndAFailedStatementWithNoEndLine)
{
    insertMounts("10.0.0.1", 1, 1, "AAA001", 120);
    insertMounts("10.0.0.1", 1, 2, "AAA002", 120);
    ReportFlags flags;
    CancellingSink cancelling(flags);
    ReportRequest cancelled = request({"10.0.0.1"});
    cancelled.sink = &cancelling;
    cancelled.flags = &flags;
    EXPECT_EQ(ReportDrvThread(cancelled), 1);
    const std::string text = cancelling.text();
    EXPECT_EQ(text.find("Frame: 1 Drive: 2"), std::string::npos) << "no section after the cancel";
    EXPECT_EQ(text.find("MOUNT_DRIVE_RATING"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 10), "Canceled\r\n");
    EXPECT_EQ(cancelling.buttonRestores(), 0);

    ReportRequest missing = request({"10.0.0.1"});
    missing.table = base + "_MISSING";
    EXPECT_EQ(ReportCtgThread(missing), 0);
    EXPECT_EQ(sink.text().find("Done!"), std::string::npos);
    EXPECT_EQ(sink.buttonRestores(), 1) << "the form leaves its running state";
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
    DrillDownRequest drill;
    drill.kind = HealthReportKind::Drive;
    drill.subject = HealthSubject{false, "10.0.0.1", 1, 2, ""};
    drill.field = "MOUNT_DRIVE_RATING";
    drill.run = request({});
    const auto series = runDrillDown(drill);
    ASSERT_TRUE(series.has_value());
    ASSERT_EQ(series->ratings.size(), 101u);
    EXPECT_EQ(series->ratings.front(), 900u);
    EXPECT_EQ(series->ratings.back(), 1000u);
    EXPECT_EQ(series->trend.back(), 995u) << "1000 down to 991 average 995.5";
    EXPECT_EQ(drillDownLibraryText(drill), "IPAddress: 10.0.0.1 Frame: 1 Drive: 2  01-01-2020 to 12-07-2026");
    EXPECT_EQ(drillDownTitle(drill), "MOUNT_DRIVE_RATING (last 10 mount moving average)");

    drill.field = "NOT_A_FIELD";
    EXPECT_FALSE(runDrillDown(drill).has_value());
}

// Rows another program wrote. A NULL volser names no cartridge. On SQLite, which keeps what it
// is given: a volser of 200 characters is listed and looked up whole, a frame past 32 bits names
// no drive (and its rows do not join drive 1's), and a value past 32 bits is no rating. Each
// skipped row is named in the log.
TEST_P(HealthReport, RowsAnotherProgramWroteAreNotTakenForOthers)
{
    const bool sqlite = GetParam().name == "SQLite";
    // PostgreSQL's column holds 8 characters.
    const std::string longVolser = sqlite ? "L" + std::string(199, 'v') : "L" + std::string(7, 'v');
    insertMounts("10.0.0.3", 1, 1, longVolser, 110);
    const std::string columns = " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, Element_Address, "
                                "Mount_Rating_Drive, Mount_Rating_Media) VALUES ";
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base + columns
                                           + "('10.0.0.3', '2026-11-30', '11:00:00', NULL, 1, 1, 'LL1', 300, 1, 1)"));
    if (sqlite) {
        ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base + columns
                                               + "('10.0.0.3', '2026-11-30', '13:00:00', 'BIG001', 4294967297, 1, "
                                                 "'LL1', 300, 7, 7), "
                                                 "('10.0.0.3', '2026-11-29', '14:00:00', 'BIG002', 1, 1, 'LL1', 300, "
                                                 "4294967301, 4294967301)"));
    }

    EXPECT_EQ(ReportCtgThread(request({"10.0.0.3"})), 1);
    std::string text = sink.text();
    EXPECT_NE(text.find("IPAddress = 10.0.0.3 volser = " + longVolser + "\r\n"), std::string::npos) << text;
    const auto section = text.find("IPAddress: 10.0.0.3 Volser: " + longVolser + " \r\n");
    ASSERT_NE(section, std::string::npos) << text;
    EXPECT_NE(text.find("    MOUNT_MEDIA_RATING\r\n    Trend linear regression rate:    0.00\r\n", section),
              std::string::npos)
        << "the long volser's own 110 mounts";
    EXPECT_EQ(text.find("Volser:  \r\n"), std::string::npos) << "a NULL volser is no cartridge";
    const std::string skippedVolser = "Skipped a stored volser that no report can look up: 10.0.0.3, ";
    EXPECT_NE(scoped.logText().find(skippedVolser + "'' (NULL)\n"), std::string::npos) << scoped.logText();
    if (!sqlite)
        return;
    EXPECT_NE(scoped.logText().find("Skipped a stored value that is not a whole number: 10.0.0.3 BIG002 2026-11-29 "
                                    "14:00:00, Mount_Rating_Media: '4294967301'\n"),
              std::string::npos)
        << scoped.logText();

    TextReportSink drives;
    ReportRequest driveRequest = request({"10.0.0.3"});
    driveRequest.sink = &drives;
    EXPECT_EQ(ReportDrvThread(driveRequest), 1);
    text = drives.text();
    EXPECT_EQ(text.find("Frame: 1 Drive: 1 \r\n"), text.rfind("Frame: 1 Drive: 1 \r\n")) << "one drive 1";
    EXPECT_EQ(text.find("Drive: 5"), std::string::npos) << text;
    EXPECT_NE(scoped.logText().find("Skipped stored rows whose frame and drive name no drive: 10.0.0.3, frame "
                                    "'4294967297' drive '1'\n"),
              std::string::npos)
        << scoped.logText();
    // Drive 1's newest rating is its own 1000, not the other frame's 7 nor the value past 32 bits.
    DrillDownRequest drill;
    drill.kind = HealthReportKind::Drive;
    drill.subject = HealthSubject{false, "10.0.0.3", 1, 1, ""};
    drill.field = "MOUNT_DRIVE_RATING";
    drill.run = request({});
    const auto series = runDrillDown(drill);
    ASSERT_TRUE(series.has_value());
    ASSERT_FALSE(series->ratings.empty());
    EXPECT_EQ(series->ratings.back(), 1u) << "the NULL-volser row of drive 1 at 11:00 is drive 1's newest";
}

// Each field is read for all subjects of a library with one statement; the texts are those of
// the subjects' own statements, byte for byte: 109 values in the range make a trend and 108 do
// not, rows before the begin date fill the windows of points in the range, rows of the same date
// and time keep one order (the value's), and NULL and zero values are no values.
TEST_P(HealthReport, BatchedFieldsReadExactlyTheRowsOfEachSubjectsOwnStatement)
{
    insertMounts("10.0.0.4", 1, 1, "A109", 109);
    insertMounts("10.0.0.4", 1, 2, "B108", 108);
    insertMounts("10.0.0.4", 2, 1, "C200", 200);
    insertMounts("10.0.0.4", 2, 2, "D115", 115);
    // D's mounts twice, at the same dates and times with other values, in a table another program
    // made without the key that keeps one mount of a cartridge at a time; and rows without values.
    ASSERT_TRUE(executeSql(GetParam(), "DROP INDEX " + base + "_key"));
    ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + base
                                           + " (ipAddress, Date, Time, Volser, Frame, Drive, Logical_Library, "
                                             "Element_Address, Mount_Rating_Drive, Mount_Rating_Media, "
                                             "Mount_Write_Perf_Util) SELECT ipAddress, Date, Time, Volser, Frame, "
                                             "Drive, Logical_Library, Element_Address, Mount_Rating_Drive * 2, 9, "
                                             "Mount_Write_Perf_Util * 2 FROM "
                                           + base + " WHERE Volser = 'D115'"));
    ASSERT_TRUE(executeSql(GetParam(), "UPDATE " + base
                                           + " SET Mount_Rating_Media = 0, Mount_Write_Perf_Util = NULL WHERE Volser "
                                             "= 'C200' AND Mount_Rating_Drive % 3 = 0"));
    auto run = [&](HealthReportKind kind, bool reference) {
        TextReportSink text;
        ReportRequest r = ReportRequest::fromSettings("2026-08-14", "2026-11-30", {"10.0.0.4"});
        r.sink = &text;
        r.referenceCounts = reference;
        EXPECT_EQ(runHealthReport(kind, r), 1);
        return text.text().substr(text.text().find("\r\n"));
    };
    const std::string cartridges = run(HealthReportKind::Cartridge, false);
    EXPECT_EQ(cartridges, run(HealthReportKind::Cartridge, true));
    const auto a = cartridges.find("IPAddress: 10.0.0.4 Volser: A109 \r\n");
    const auto b = cartridges.find("IPAddress: 10.0.0.4 Volser: B108 \r\n");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    EXPECT_NE(cartridges.find("    MOUNT_MEDIA_RATING\r\n    Trend linear regression rate:", a), std::string::npos);
    EXPECT_NE(cartridges.find("    Not enough MOUNT_MEDIA_RATING data for IPAddress = 10.0.0.4 volser = B108 \r\n", b),
              std::string::npos);
    const std::string drives = run(HealthReportKind::Drive, false);
    EXPECT_EQ(drives, run(HealthReportKind::Drive, true));
    EXPECT_NE(drives.find("Frame: 2 Drive: 2"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, HealthReport, ::testing::ValuesIn(testBackends()), BackendName());
