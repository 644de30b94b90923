// The text reports on a small hand-made data set with known answers, on each test database,
// with the drive statistics file from the simulated library over loopback HTTP.

#include "LibraryFileServer.h"
#include "ReportRows.h"
#include "ScopedApp.h"
#include "db/Tables.h"
#include "reports/CartridgeStatistics.h"
#include "reports/EncryptionStatus.h"
#include "reports/MountRates.h"
#include "reports/ReportRunner.h"
#include "reports/ReportTexts.h"
#include "reports/RetriesPermsReport.h"
#include "query/QueryListData.h"
#include "query/QueryResultSink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {
// Keeps the text, and lets a test act when a given piece is written (cancel, close, break the
// database): the worker runs on the test's thread, so the action happens at that exact point.
class TriggerSink final : public ReportSink {
public:
    void write(const std::string& text) override
    {
        m_text += text;
        if (m_action && !m_fired && text.find(m_trigger) != std::string::npos) {
            m_fired = true;
            m_action();
        }
    }
    void restoreButtons() override { ++restores; }
    void on(const std::string& trigger, std::function<void()> action)
    {
        m_trigger = trigger;
        m_action = std::move(action);
    }
    const std::string& text() const { return m_text; }
    int restores = 0;

private:
    std::string m_text;
    std::string m_trigger;
    std::function<void()> m_action;
    bool m_fired = false;
};

// The report without its first line, which carries the time of the run.
std::string afterHeader(const std::string& text)
{
    return text.substr(text.find("\r\n") + 2);
}

std::string hourLine(const char* start, const char* figures)
{
    return std::string("Hour: ") + start + "   Average Mounts = " + figures + "\r\n";
}

class ReportTexts : public BackendTest {
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
        server->inspect([this](const libsim::LibrarySimulation& simulation) {
            for (const auto& drive : simulation.model().drives)
                wwnns.push_back(drive.wwnn);
        });
        ASSERT_EQ(wwnns.size(), 3u);

        m_base = uniqueTableName("reports");
        scoped.useBackend(GetParam(), m_base);
        const TestBackend& backend = GetParam();
        ASSERT_EQ(createTables(m_base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
        // Address, date, time, volser, frame, drive, the five lifetime counters, crypto status, re-key.
        const std::vector<std::string> rows = {
            "'%A', '2026-01-05', '05:00:00', 'AB''C01', 1, 1, 10, 0, 0, 1, 0, 0, 0",
            "'%A', '2026-01-05', '10:00:00', 'AB''C01', 1, 1, 11, 0, 0, 1, 2, 1, 1",
            "'%A', '2026-01-06', '05:00:00', 'VOL002', 1, 1, 5, 3, 0, 0, 0, 1, 0",
            "'%A', '2026-01-05', '07:00:00', 'VOL003', 1, 3, 7, 0, 0, 0, 0, 0, 0",
            "'%A', '2026-01-05', '08:00:00', 'VOL003', 1, 3, 8, 0, 0, 0, 0, 1, 1",
            "'%A', '2026-01-05', '09:15:00', 'VOL003', 1, 3, 9, 0, 0, 0, 0, 0, 0",
            "'10.77.0.2', '2026-01-06', '12:00:00', 'VOL009', 2, 1, 1, 0, 0, 0, 0, 1, 0",
        };
        insertReportRows(backend, m_base, address, rows);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    ReportRequest request(std::vector<std::string> addresses, ReportSink& sink)
    {
        ReportRequest made = ReportRequest::fromSettings("2026-01-05", "2026-01-06", std::move(addresses));
        made.flags = &flags;
        made.sink = &sink;
        return made;
    }

    std::string driveLine(int drive, const char* figures)
    {
        return "WWNN " + wwnns[static_cast<std::size_t>(drive - 1)] + ":   Average Mounts/Day = " + figures + "\r\n";
    }

    std::string expectedMountRates()
    {
        std::string text = "\r\nThe date range is between 01-05-2026 and 01-06-2026\r\n\r\n";
        text += "IP ADDRESS: " + address + "\r\n";
        text += driveLine(1, "1.50   Standard Deviation = 0.00");
        text += driveLine(2, "0.00   Standard Deviation = 0.00");
        text += driveLine(3, "1.50   Standard Deviation = 1.41");
        text += "TOTAL for " + address + ":   Average Mounts/Day = 1.00   Standard Deviation = 1.00\r\n\r\n";
        text += "Volser: AB'C01   Average Mounts/Day = 1.00   Standard Deviation = 1.00\r\n";
        text += "Volser: VOL002   Average Mounts/Day = 0.50   Standard Deviation = 0.00\r\n";
        text += "Volser: VOL003   Average Mounts/Day = 1.50   Standard Deviation = 1.41\r\n";
        text += "\r\n";
        const char* hours[24] = {"00:00:00", "01:00:00", "02:00:00", "03:00:00", "04:00:00", "05:00:00",
                                 "06:00:00", "07:00:00", "08:00:00", "09:00:00", "10:00:00", "11:00:00",
                                 "12:00:00", "13:00:00", "14:00:00", "15:00:00", "16:00:00", "17:00:00",
                                 "18:00:00", "19:00:00", "20:00:00", "21:00:00", "22:00:00", "23:00:00"};
        for (int bin = 0; bin < 24; ++bin) {
            // A mount at exactly 05:00:00 counts in the 04:00:00 and the 05:00:00 hour.
            const char* figures = "0.00   Standard Deviation = 0.00";
            if (bin == 4 || bin == 5)
                figures = "1.00   Standard Deviation = 0.00";
            else if (bin == 6 || bin == 8 || bin == 10)
                figures = "0.50   Standard Deviation = 0.00";
            else if (bin == 7 || bin == 9)
                figures = "1.00   Standard Deviation = 1.00";
            text += hourLine(hours[bin], figures);
        }
        text += "\r\n";
        text += "IP ADDRESS: 10.99.0.1\r\n";
        text += "\r\nNo entries found for IP address 10.99.0.1 between dates 01-05-2026 and 01-06-2026\n\r\n";
        return text;
    }

    ScopedApp scoped;
    std::unique_ptr<libsim::LibraryFileServer> server;
    std::string address;
    std::vector<std::string> wwnns;
    ReportFlags flags;

private:
    std::string m_base;
};

TEST_P(ReportTexts, MountRatesWholeText)
{
    TriggerSink sink;
    EXPECT_EQ(ReportLibThread(request({address, "10.99.0.1"}, sink)), 1);
    EXPECT_EQ(sink.text().rfind("Starting mount rates report on ", 0), 0u);
    EXPECT_EQ(afterHeader(sink.text()), expectedMountRates() + "Done!\r\n\r\n");
    EXPECT_EQ(sink.restores, 1);

    // One count query per date, as the report was first made: byte for byte the same text.
    TriggerSink reference;
    ReportRequest perDate = request({address, "10.99.0.1"}, reference);
    perDate.referenceCounts = true;
    EXPECT_EQ(ReportLibThread(perDate), 1);
    EXPECT_EQ(afterHeader(reference.text()), afterHeader(sink.text()));

    // Mail mode: the same lines, and the end text once.
    TextReportSink body;
    ReportRequest mail = request({address, "10.99.0.1"}, body);
    mail.mode = ReportMode::Mail;
    mail.flags = nullptr;
    std::string subject;
    std::string sent;
    mail.sendMail = [&](const std::string& s, const std::string& b) {
        subject = s;
        sent = b;
        return true;
    };
    EXPECT_EQ(ReportLibThread(mail), 1);
    std::string expected = expectedMountRates();
    const std::string windowNoEntries = "01-06-2026\n\r\n";
    expected.replace(expected.rfind(windowNoEntries), windowNoEntries.size(), "01-06-2026\r\n\r\n");
    EXPECT_EQ(afterHeader(sent), expected + "Done!\r\n");
    EXPECT_EQ(subject, "QMX Auto Reports Agent for Mount Rates");
    EXPECT_NE(scoped.logText().find("QMX Auto Reports Successful for Mount Rates"), std::string::npos);
}

TEST_P(ReportTexts, DriveStatisticsDownloadFailing)
{
    ASSERT_EQ(server->control("http500", {{"file", "LIBLG_01_DS.bin"}}), "");
    TriggerSink sink;
    EXPECT_EQ(ReportLibThread(request({address}, sink)), 1);
    const std::string text = sink.text();
    EXPECT_NE(text.find("IP ADDRESS: " + address + "\r\nFailed to get Drive Statistics file\r\n   o ERROR: "),
              std::string::npos);
    EXPECT_EQ(text.find("WWNN "), std::string::npos);
    EXPECT_EQ(text.find("TOTAL for"), std::string::npos);
    // The rest of the report still follows.
    EXPECT_NE(text.find("Volser: VOL003   Average Mounts/Day = 1.50   Standard Deviation = 1.41\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Hour: 23:00:00"), std::string::npos);

    TextReportSink body;
    ReportRequest mail = request({address}, body);
    mail.mode = ReportMode::Mail;
    mail.flags = nullptr;
    EXPECT_EQ(ReportLibThread(mail), 1);
    EXPECT_EQ(body.text().find("Failed to get"), std::string::npos);
    EXPECT_EQ(body.text().find("WWNN "), std::string::npos);
    EXPECT_NE(body.text().find("Volser: AB'C01"), std::string::npos);
}

TEST_P(ReportTexts, CancelClosingAndADatabaseThatGoes)
{
    // Cancelled as the first volser line is written: the cancel line ends the report.
    TriggerSink cancelled;
    cancelled.on("Volser: ", [this] { flags.cancel(); });
    EXPECT_EQ(ReportLibThread(request({address, "10.99.0.1"}, cancelled)), 1);
    const std::string text = cancelled.text();
    const std::string end = "Deviation = 1.00\r\n\nCanceled\r\n\r\n";
    ASSERT_GT(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
    EXPECT_EQ(text.find("Volser: VOL002"), std::string::npos);
    EXPECT_EQ(text.find("10.99.0.1"), std::string::npos);
    EXPECT_EQ(cancelled.restores, 0);

    // The window closes as the first drive line is written: nothing after it.
    flags.cancelled = false;
    flags.stop = false;
    TriggerSink closed;
    closed.on("WWNN ", [this] { flags.close(); });
    EXPECT_EQ(ReportLibThread(request({address}, closed)), 1);
    const std::string first = driveLine(1, "1.50   Standard Deviation = 0.00");
    ASSERT_GT(closed.text().size(), first.size());
    EXPECT_EQ(closed.text().substr(closed.text().size() - first.size()), first);
    EXPECT_EQ(closed.restores, 0);

    // The table goes as the address line is written: the worker ends without an end line and
    // the failure is in the debug log.
    flags.closing = false;
    flags.stop = false;
    TriggerSink broken;
    broken.on("IP ADDRESS: ", [this] {
        dropTables(theApp().settings.mountHistoryTableName, GetParam().dsn, GetParam().user, GetParam().password,
                   nullptr);
    });
    EXPECT_EQ(ReportLibThread(request({address}, broken)), 0);
    EXPECT_EQ(broken.text().find("Done!"), std::string::npos);
    // Drivers that prepare lazily fail at the execution.
    EXPECT_NE(scoped.logText().find(" the select statement in report by mount rates:\n"), std::string::npos);
}

TEST_P(ReportTexts, CartridgeStatisticsWithAndWithoutThresholds)
{
    const std::string blocks = "IP Address: " + address
                               + "   Volser: AB'C01\r\n   MAX LIFE_MOUNTS: 11%E\r\n   MAX LIFE_WRITE_RETRIES: 0\r\n"
                                 "   MAX LIFE_WRITE_PERMS: 0\r\n   MAX LIFE_READ_RETRIES: 1\r\n"
                                 "   MAX LIFE_READ_PERMS: 2\r\n\r\n"
                                 "IP Address: "
                               + address
                               + "   Volser: VOL002\r\n   MAX LIFE_MOUNTS: 5\r\n   MAX LIFE_WRITE_RETRIES: 3\r\n"
                                 "   MAX LIFE_WRITE_PERMS: 0\r\n   MAX LIFE_READ_RETRIES: 0\r\n"
                                 "   MAX LIFE_READ_PERMS: 0\r\n\r\n"
                                 "IP Address: "
                               + address
                               + "   Volser: VOL003\r\n   MAX LIFE_MOUNTS: 9%W\r\n   MAX LIFE_WRITE_RETRIES: 0\r\n"
                                 "   MAX LIFE_WRITE_PERMS: 0\r\n   MAX LIFE_READ_RETRIES: 0\r\n"
                                 "   MAX LIFE_READ_PERMS: 0\r\n\r\n"
                                 "No entries found for IP address 10.99.0.1 between dates 01-05-2026 and "
                                 "01-06-2026\r\n\r\n";
    const auto expected = [&](const char* error, const char* warning) {
        std::string text = blocks;
        text.replace(text.find("%E"), 2, error);
        text.replace(text.find("%W"), 2, warning);
        return "\r\nThe date range is between 01-05-2026 and 01-06-2026\r\n\r\n" + text;
    };

    TriggerSink plain;
    EXPECT_EQ(ReportCtgStatThread(request({address, "10.99.0.1"}, plain)), 1);
    EXPECT_EQ(plain.text().rfind("Starting cartridge statistics report on ", 0), 0u);
    EXPECT_EQ(afterHeader(plain.text()), expected("", "") + "Done!\r\n");

    LifetimeThresholds thresholds;
    thresholds.filtersEnabled = true;
    *thresholds.find("LIFE_MOUNTS") = {true, 8, 10};
    theApp().setLifetimeThresholds(thresholds);
    TextReportSink body;
    ReportRequest mail = request({address, "10.99.0.1"}, body);
    mail.mode = ReportMode::Mail;
    mail.flags = nullptr;
    EXPECT_EQ(ReportCtgStatThread(mail), 1);
    EXPECT_EQ(afterHeader(body.text()), expected(" (ERROR)", " (WARNING)") + "Done!");
}

TEST_P(ReportTexts, EncryptionStatusGroupsByAddress)
{
    TriggerSink sink;
    EXPECT_EQ(ReportEncThread(request({"10.99.0.1", address, "10.77.0.2"}, sink)), 1);
    EXPECT_EQ(sink.text().rfind("Starting encryption status report on ", 0), 0u);
    EXPECT_EQ(afterHeader(sink.text()),
              "\r\nThe date range is between 01-05-2026 and 01-06-2026\r\n\r\n"
              "No entries found for IP address 10.99.0.1 between dates 01-05-2026 and 01-06-2026\r\n\r\n"
              "\r\n"
                  + address
                  + ":\r\n"
                    "Volser: AB'C01   Last Demount: 2026-01-05 10:00:00       Encrypted   ReKeys: 1\r\n"
                    "Volser: VOL002   Last Demount: 2026-01-06 05:00:00       Encrypted   ReKeys: 0\r\n"
                    "Volser: VOL003   Last Demount: 2026-01-05 09:15:00   Not Encrypted   ReKeys: 1\r\n"
                    "\r\n10.77.0.2:\r\n"
                    "Volser: VOL009   Last Demount: 2026-01-06 12:00:00       Encrypted   ReKeys: 0\r\n"
                    "\r\nDone!\r\n");
}

TEST_P(ReportTexts, RetriesAndPermsList)
{
    QueryListData list;
    QueryListSink sink(list);
    TriggerSink unused;
    std::vector<int> marks;
    EXPECT_EQ(ReportThresholdThread(request({address, "10.77.0.2"}, unused), sink,
                                    [&](std::vector<int> m) { marks = std::move(m); }),
              1);
    ASSERT_EQ(list.columnCount(), 11);
    EXPECT_EQ(list.column(10).title, "LIFE_READ_PERMS");
    EXPECT_TRUE(list.column(10).numeric);
    ASSERT_EQ(list.rowCount(), 1);
    std::vector<std::string> cells;
    for (int column = 0; column < 11; ++column)
        cells.emplace_back(list.cell(0, column));
    EXPECT_EQ(cells, (std::vector<std::string>{"1", address, "01-05-2026", "10:00:00", "AB'C01", "1", "1", "0", "0",
                                               "0", "2"}));
    EXPECT_EQ(marks, std::vector<int>{0});
    EXPECT_EQ(sink.buttonRestores(), 1);
    EXPECT_EQ(sink.updateDepth(), 0);
}

// Rows another program wrote: a NULL counter between two equal values is no growth (on both
// databases); on SQLite, which keeps what it is given, values past 32 bits are read exactly
// and a text in a counter column is left out and named in the debug log.
TEST_P(ReportTexts, RowsAnotherProgramWrote)
{
    const std::string hostile = "10.66.0.1";
    std::vector<std::string> rows = {
        "'%A', '2026-01-05', '01:00:00', 'NUL001', 1, 1, 1, 1, 0, 0, 1, 0, 0",
        "'%A', '2026-01-05', '02:00:00', 'NUL001', 1, 1, 2, NULL, 0, 0, NULL, 0, 0",
        "'%A', '2026-01-05', '03:00:00', 'NUL001', 1, 1, 3, 1, 0, 0, 1, 0, 0",
    };
    const bool sqlite = GetParam().name == "SQLite";
    if (sqlite) {
        rows.push_back("'%A', '2026-01-05', '04:00:00', 'BIG001', 1, 2, 4294967301, -2147483648, 0, 0, 0, 0, 0");
        rows.push_back("'%A', '2026-01-05', '05:00:00', 'BIG001', 1, 2, 5, 2147483647, 'abc', 0, 0, 0, 0");
        // MAX prefers a text to every number: the true maximum is still the one printed.
        rows.push_back("'%A', '2026-01-05', '06:00:00', 'TXT001', 1, 2, 1, 0, 15000000000, 0, 0, 0, 0");
        rows.push_back("'%A', '2026-01-05', '07:00:00', 'TXT001', 1, 2, 1, 0, 'x', 0, 0, 0, 0");
    }
    insertReportRows(GetParam(), theApp().settings.mountHistoryTableName, hostile, rows);

    QueryListData list;
    QueryListSink sink(list);
    TriggerSink unused;
    EXPECT_EQ(ReportThresholdThread(request({hostile}, unused), sink), 1);
    std::vector<std::string> listed;
    for (int row = 0; row < list.rowCount(); ++row)
        for (int column = 2; column < 11; ++column)
            listed.emplace_back(list.cell(row, column));
    if (!sqlite) {
        EXPECT_TRUE(listed.empty()) << listed.size();
        return;
    }
    EXPECT_EQ(listed,
              (std::vector<std::string>{"01-05-2026", "05:00:00", "BIG001", "1", "2", "4294967295", "0", "0", "0"}));
    const std::string skipped = "Skipped a stored value that is not a whole number: ";
    EXPECT_NE(scoped.logText().find(skipped + hostile + " BIG001 2026-01-05 05:00:00, LIFE_WRITE_PERMS: 'abc'\n"),
              std::string::npos)
        << scoped.logText();

    LifetimeThresholds thresholds;
    thresholds.filtersEnabled = true;
    *thresholds.find("LIFE_MOUNTS") = {true, 8, 10};
    theApp().setLifetimeThresholds(thresholds);
    TriggerSink text;
    EXPECT_EQ(ReportCtgStatThread(request({hostile}, text)), 1);
    EXPECT_NE(text.text().find("Volser: BIG001\r\n   MAX LIFE_MOUNTS: 4294967301 (ERROR)\r\n"
                               "   MAX LIFE_WRITE_RETRIES: 2147483647\r\n   MAX LIFE_WRITE_PERMS: 0\r\n"),
              std::string::npos)
        << text.text();
    EXPECT_NE(text.text().find("Volser: TXT001\r\n   MAX LIFE_MOUNTS: 1\r\n   MAX LIFE_WRITE_RETRIES: 0\r\n"
                               "   MAX LIFE_WRITE_PERMS: 15000000000\r\n"),
              std::string::npos)
        << text.text();
    EXPECT_NE(scoped.logText().find(skipped + hostile + " TXT001 2026-01-05 07:00:00, LIFE_WRITE_PERMS: 'x'\n"),
              std::string::npos)
        << scoped.logText();
}

// Dates, times and volsers as another program stored them (SQLite keeps any text): a date counts
// as the day of its first ten characters, a time past 23:59:59 is in no hour, a date that is no
// day is named and left out, and a volser of 200 characters is looked up whole. The batched and
// the per-date counts agree.
TEST_P(ReportTexts, StoredDatesTimesAndVolsersCountAsWhatTheyAre)
{
    if (GetParam().name != "SQLite")
        GTEST_SKIP() << "PostgreSQL's date, time and volser columns hold no such values";
    const std::string days = "10.66.0.2";
    const std::string hours = "10.66.0.3";
    const std::string longVolser = "L" + std::string(199, 'v');
    insertReportRows(GetParam(), theApp().settings.mountHistoryTableName, days,
                     {"'%A', '2026-01-05', '01:00:00', 'DAY001', 1, 1, 0, 0, 0, 0, 0, 0, 0",
                      "'%A', '2026-01-05 10:00:00', '02:00:00', 'DAY001', 1, 1, 0, 0, 0, 0, 0, 0, 0",
                      "'%A', '2026-01-05T10:00:00', '03:00:00', 'DAY001', 1, 1, 0, 0, 0, 0, 0, 0, 0",
                      "'%A', '2026-01-32', '04:00:00', 'BAD001', 1, 1, 0, 0, 0, 0, 0, 0, 0",
                      "'%A', '2026-01-05', '05:00:00', '" + longVolser + "', 1, 1, 0, 0, 0, 0, 0, 1, 0"});
    insertReportRows(GetParam(), theApp().settings.mountHistoryTableName, hours,
                     {"'%A', '2026-01-05', '23:10:00', 'HR0001', 1, 1, 0, 0, 0, 0, 0, 0, 0",
                      "'%A', '2026-01-05', '25:99:99', 'HR0001', 1, 1, 0, 0, 0, 0, 0, 0, 0",
                      "'%A', '2026-01-05', 'x', 'HR0001', 1, 1, 0, 0, 0, 0, 0, 0, 0"});
    auto run = [&](bool reference) {
        TriggerSink sink;
        ReportRequest made = ReportRequest::fromSettings("2026-01-05", "2026-02-28", {days, hours});
        made.flags = &flags;
        made.sink = &sink;
        made.referenceCounts = reference;
        EXPECT_EQ(ReportLibThread(made), 1);
        return afterHeader(sink.text());
    };
    const std::string batched = run(false);
    EXPECT_EQ(batched, run(true));
    EXPECT_NE(batched.find("Volser: DAY001   Average Mounts/Day = 3.00   Standard Deviation = 0.00\r\n"),
              std::string::npos)
        << batched;
    EXPECT_NE(batched.find("Volser: " + longVolser + "   Average Mounts/Day = 1.00   Standard Deviation = 0.00\r\n"),
              std::string::npos)
        << batched;
    EXPECT_NE(batched.find("Volser: BAD001   Average Mounts/Day = 0.00   Standard Deviation = 0.00\r\n"),
              std::string::npos)
        << "its one mount has no day";
    EXPECT_NE(scoped.logText().find("Skipped a stored date that is not a day: " + days + ", '2026-01-32'\n"),
              std::string::npos)
        << scoped.logText();
    // Of the three times only 23:10:00 is one: hour 23 averages 1.00 on the one day.
    const auto hourPart = batched.find("IP ADDRESS: " + hours);
    ASSERT_NE(hourPart, std::string::npos);
    EXPECT_NE(batched.find("Hour: 23:00:00   Average Mounts = 1.00   Standard Deviation = 0.00\r\n", hourPart),
              std::string::npos)
        << batched;
    EXPECT_NE(scoped.logText().find("Skipped stored times that are not a time of day: " + hours
                                    + " 2026-01-05, hour 'x': 1 rows\n"),
              std::string::npos)
        << scoped.logText();

    TriggerSink encryption;
    ReportRequest status = ReportRequest::fromSettings("2026-01-05", "2026-02-28", {days});
    status.flags = &flags;
    status.sink = &encryption;
    EXPECT_EQ(ReportEncThread(status), 1);
    EXPECT_NE(encryption.text().find("Volser: " + longVolser
                                     + "   Last Demount: 2026-01-05 05:00:00       Encrypted   ReKeys: 0\r\n"),
              std::string::npos)
        << encryption.text();
}

INSTANTIATE_TEST_SUITE_P(Databases, ReportTexts, ::testing::ValuesIn(testBackends()), BackendName());
} // namespace
