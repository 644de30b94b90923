#include "library/Download.h"
#include "metrics/AgentMetrics.h"
#include "metrics/ExpositionText.h"
#include "metrics/MonitorMetrics.h"

#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace {
// The value of the sample whose name and labels are exactly `series`; NaN when absent.
double sampleValue(const std::string& text, const std::string& series)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(series + " ", 0) == 0)
            return std::strtod(line.c_str() + series.size() + 1, nullptr);
    return std::nan("");
}

std::size_t countLines(const std::string& text, const std::string& prefix)
{
    std::istringstream lines(text);
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line))
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

// A mount history data line as the monitor reads it (after the byte replacement): every
// counter holds its field number except the drive rating (field 18).
std::string mountLine(const std::string& stamp, const std::string& volser, int frame, int drive, int rating)
{
    std::string line =
        stamp + "," + volser + ", " + std::to_string(frame) + ", " + std::to_string(drive) + ",PRODBKUP,  260,0,0";
    for (int field = 9; field <= 36; ++field)
        line += "," + std::to_string(field == 18 ? rating : field);
    return line;
}

DownloadResult failed(DownloadResult::Status status, int internetError = 0)
{
    DownloadResult result;
    result.status = status;
    result.internetError = internetError;
    return result;
}

DownloadResult complete(std::size_t bytes)
{
    DownloadResult result;
    result.status = DownloadResult::Status::Complete;
    result.text.assign(bytes, 'x');
    return result;
}

const std::string Library = "10.0.0.1";
std::string series(const std::string& name, const std::string& labels)
{
    return name + "{library=\"" + Library + "\"," + labels + "}";
}
} // namespace

TEST(ExpositionText, LabelValuesAreEscapedAndAlwaysUtf8)
{
    EXPECT_EQ(ExpositionText::escapeLabelValue("lib\"a\\b\nc"), "lib\\\"a\\\\b\\nc");
    // Valid UTF-8 passes; a lone Latin-1 byte (the system's 8-bit texts) becomes its character,
    // and so does a byte of a cut or overlong sequence.
    EXPECT_EQ(ExpositionText::escapeLabelValue("K\xC3\xB6ln"), "K\xC3\xB6ln");
    EXPECT_EQ(ExpositionText::escapeLabelValue("K\xF6ln"), "K\xC3\xB6ln");
    EXPECT_EQ(ExpositionText::escapeLabelValue("\xE2\x82"), "\xC3\xA2\xC2\x82");
    EXPECT_EQ(ExpositionText::escapeLabelValue("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(ExpositionText::escapeHelp("a\\b\nc \"d\""), "a\\\\b\\nc \"d\"");

    EXPECT_EQ(ExpositionText::formatValue(0), "0");
    EXPECT_EQ(ExpositionText::formatValue(1733700000), "1733700000");
    EXPECT_EQ(ExpositionText::formatValue(1e300), "1e+300");
    EXPECT_EQ(ExpositionText::formatValue(0.25), "0.25");
    EXPECT_EQ(ExpositionText::formatValue(1.0 / 0.0), "+Inf");
    EXPECT_EQ(ExpositionText::formatValue(-1.0 / 0.0), "-Inf");
    EXPECT_EQ(ExpositionText::formatValue(std::nan("")), "NaN");
}

TEST(ExpositionText, HistogramBucketsCumulateUpToTheCount)
{
    ExpositionText out;
    out.family("x_seconds", "histogram", "X.");
    out.histogram("x_seconds", {{"library", "a\"b"}}, {0.5, 1}, {2, 0, 3}, 7.5);
    EXPECT_EQ(out.text(), "# HELP x_seconds X.\n# TYPE x_seconds histogram\n"
                          "x_seconds_bucket{library=\"a\\\"b\",le=\"0.5\"} 2\n"
                          "x_seconds_bucket{library=\"a\\\"b\",le=\"1\"} 2\n"
                          "x_seconds_bucket{library=\"a\\\"b\",le=\"+Inf\"} 5\n"
                          "x_seconds_sum{library=\"a\\\"b\"} 7.5\n"
                          "x_seconds_count{library=\"a\\\"b\"} 5\n");
}

TEST(MonitorMetrics, DownloadFailuresCountByReasonAndStreaksEndWithASuccess)
{
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::InternetError, CURLE_COULDNT_CONNECT)),
                 "connect");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::InternetError, CURLE_COULDNT_RESOLVE_HOST)),
                 "connect");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::InternetError, CURLE_OPERATION_TIMEDOUT)),
                 "timeout");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::InternetError, CURLE_PARTIAL_FILE)), "cut");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::InternetError, CURLE_RECV_ERROR)), "cut");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::InternetError, CURLE_SSL_CONNECT_ERROR)),
                 "other");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::NoFile)), "http_status");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::NotLibraryFile)), "not_a_library_file");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::TooLarge)), "too_large");
    EXPECT_STREQ(downloadFailureReason(failed(DownloadResult::Status::TimedOut)), "timeout");

    double clock = 1000;
    MonitorMetrics metrics([&] { return clock; });
    metrics.addLibrary(Library);
    const MonitorFile file = MonitorFile::MountHistory;
    metrics.downloadEnded(Library, file, failed(DownloadResult::Status::NoFile));
    metrics.downloadEnded(Library, file, failed(DownloadResult::Status::NoFile));
    // A stop says nothing about the library.
    metrics.downloadEnded(Library, file, failed(DownloadResult::Status::Stopped));
    std::string text = metrics.exposition();
    const std::string mountHistory = "file=\"mount_history\"";
    EXPECT_EQ(sampleValue(text, series("vaultline_download_attempts_total", mountHistory)), 2);
    EXPECT_EQ(sampleValue(text, series("vaultline_download_failures_total", mountHistory + ",reason=\"http_status\"")),
              2);
    EXPECT_EQ(sampleValue(text, series("vaultline_download_failures_total", mountHistory + ",reason=\"connect\"")), 0);
    EXPECT_EQ(sampleValue(text, series("vaultline_download_consecutive_failures", mountHistory)), 2);
    EXPECT_EQ(sampleValue(text, series("vaultline_last_download_success_timestamp_seconds", mountHistory)), 0);

    clock = 2000;
    metrics.downloadEnded(Library, file, complete(34483));
    text = metrics.exposition();
    EXPECT_EQ(sampleValue(text, series("vaultline_download_consecutive_failures", mountHistory)), 0);
    EXPECT_EQ(sampleValue(text, series("vaultline_last_download_success_timestamp_seconds", mountHistory)), 2000);
    EXPECT_EQ(sampleValue(text, series("vaultline_download_bytes_total", mountHistory)), 34483);
    // The other files of the library are untouched.
    EXPECT_EQ(sampleValue(text, series("vaultline_download_attempts_total", "file=\"configuration\"")), 0);
}

TEST(MonitorMetrics, AStoreTimeNeedsACycleWithoutFailedLines)
{
    double clock = 1000;
    MonitorMetrics metrics([&] { return clock; });
    const MonitorTable table = MonitorTable::MountHistory;
    metrics.lineStored(Library, table, mountLine("2024  06  03  09.41", "CP0001", 1, 2, 200), 1);
    metrics.lineStored(Library, table, mountLine("2024  06  03  09.42", "CP0002", 1, 2, 200), 2);
    metrics.lineStored(Library, table, mountLine("2024  06  03  09.43", "CP0003", 1, 2, 200), 0);
    metrics.cycleEnded(Library, table, std::chrono::milliseconds(300), true);
    std::string text = metrics.exposition();
    const std::string labels = "table=\"mount_history\"";
    EXPECT_EQ(sampleValue(text, series("vaultline_rows_inserted_total", labels)), 1);
    EXPECT_EQ(sampleValue(text, series("vaultline_rows_duplicate_total", labels)), 1);
    EXPECT_EQ(sampleValue(text, series("vaultline_rows_failed_total", labels)), 1);
    EXPECT_EQ(sampleValue(text, series("vaultline_last_insert_timestamp_seconds", labels)), 0);
    EXPECT_EQ(sampleValue(text, series("vaultline_cycle_duration_seconds_bucket", labels + ",le=\"0.25\"")), 0);
    EXPECT_EQ(sampleValue(text, series("vaultline_cycle_duration_seconds_bucket", labels + ",le=\"0.5\"")), 1);

    // A failed cycle (the database was away) sets no time either; the next whole one does.
    clock = 2000;
    metrics.databaseFailed(Library, table);
    metrics.cycleEnded(Library, table, std::chrono::seconds(1), false);
    clock = 3000;
    metrics.lineStored(Library, table, mountLine("2024  06  03  09.44", "CP0004", 1, 2, 200), 1);
    metrics.cycleEnded(Library, table, std::chrono::seconds(1), true);
    text = metrics.exposition();
    EXPECT_EQ(sampleValue(text, series("vaultline_last_insert_timestamp_seconds", labels)), 3000);
    EXPECT_EQ(sampleValue(text, "vaultline_database_errors_total{library=\"" + Library + "\"}"), 1);
    EXPECT_EQ(sampleValue(text, series("vaultline_cycle_duration_seconds_count", labels)), 3);
    EXPECT_DOUBLE_EQ(sampleValue(text, series("vaultline_cycle_duration_seconds_sum", labels)), 2.3);
    EXPECT_EQ(sampleValue(text, series("vaultline_last_insert_timestamp_seconds", "table=\"library_performance\"")), 0);
}

TEST(MonitorMetrics, DrivesAreThoseOfTheLastFileWithTheirLatestMount)
{
    setenv("TZ", "UTC", 1);
    tzset();
    MonitorMetrics metrics;
    // Demount order: drive 1:3's later mount comes first in the file.
    metrics.mountHistoryRead(Library, {mountLine("2024  06  03  10.00", "CP0001", 1, 3, 180),
                                       mountLine("2024  06  03  09.00", "CP0002", 1, 3, 250),
                                       mountLine("2024  06  03  09.30", "CP0003", 2, 1, 90)});
    metrics.lineStored(Library, MonitorTable::MountHistory, mountLine("2024  06  03  10.00", "CP0001", 1, 3, 180), 1);
    metrics.lineStored(Library, MonitorTable::MountHistory, mountLine("2024  06  03  09.00", "CP0002", 1, 3, 250), 2);
    std::string text = metrics.exposition();
    const auto drive = [](const std::string& name) { return "vaultline_drive_" + name; };
    EXPECT_EQ(sampleValue(text, series(drive("last_mount_timestamp_seconds"), "drive=\"1:3\"")), 1717408800);
    EXPECT_EQ(sampleValue(text, series(drive("rating"), "drive=\"1:3\"")), 180);
    EXPECT_EQ(sampleValue(text, series(drive("rating"), "drive=\"2:1\"")), 90);
    EXPECT_EQ(sampleValue(text, series(drive("mounts_total"), "drive=\"1:3\"")), 1);
    EXPECT_EQ(sampleValue(text, series(drive("mounts_total"), "drive=\"2:1\"")), 0);

    // The next file no longer names drive 2:1; a line without a frame names no drive.
    std::string noFrame = mountLine("2024  06  03  11.00", "CP0004", 1, 3, 170);
    noFrame.replace(noFrame.find(", 1,"), 4, ", ,");
    metrics.mountHistoryRead(Library, {mountLine("2024  06  03  10.30", "CP0005", 1, 3, 175), noFrame});
    text = metrics.exposition();
    EXPECT_EQ(sampleValue(text, series(drive("rating"), "drive=\"1:3\"")), 175);
    EXPECT_EQ(sampleValue(text, series(drive("mounts_total"), "drive=\"1:3\"")), 1);
    EXPECT_TRUE(std::isnan(sampleValue(text, series(drive("rating"), "drive=\"2:1\""))));
    EXPECT_EQ(countLines(text, drive("rating{")), 1u);
    unsetenv("TZ");
    tzset();
}

TEST(MonitorMetrics, SeriesStayBoundedWhateverTheFilesName)
{
    MonitorMetrics metrics;
    // A hostile library names new drives in every file; each file is read whole.
    for (int file = 0; file < 20; ++file) {
        std::vector<std::string> lines;
        for (int line = 0; line < 100; ++line)
            lines.push_back(mountLine("2024  06  03  10.00", "CP0001", file, line, 100));
        metrics.mountHistoryRead(Library, lines);
    }
    std::string text = metrics.exposition();
    EXPECT_EQ(countLines(text, "vaultline_drive_rating{"), 100u);
    // A file with more drives than the limit shows as many as the limit allows.
    std::vector<std::string> lines;
    for (int line = 0; line < 2000; ++line)
        lines.push_back(mountLine("2024  06  03  10.00", "CP0001", line / 100, line % 100, 100));
    metrics.mountHistoryRead(Library, lines);
    EXPECT_EQ(countLines(metrics.exposition(), "vaultline_drive_rating{"), MonitorMetrics::MaxDrivesPerLibrary);

    for (std::size_t library = 0; library < MonitorMetrics::MaxLibraries + 10; ++library)
        metrics.databaseFailed("lib" + std::to_string(library), MonitorTable::MountHistory);
    EXPECT_EQ(countLines(metrics.exposition(), "vaultline_database_errors_total{"), MonitorMetrics::MaxLibraries);
}

TEST(MonitorMetrics, LibraryLabelsNeverHoldAPassword)
{
    EXPECT_EQ(metricsLibraryLabel("ops:s3cret@lib1"), "ops@lib1");
    EXPECT_EQ(metricsLibraryLabel("ops@lib1"), "ops@lib1");
    EXPECT_EQ(metricsLibraryLabel("lib1:8080"), "lib1:8080");
    MonitorMetrics metrics;
    metrics.addLibrary("ops:s3cret@lib1");
    const std::string text = metrics.exposition();
    EXPECT_EQ(text.find("s3cret"), std::string::npos);
    EXPECT_NE(text.find("library=\"ops@lib1\""), std::string::npos);
}

TEST(AgentMetrics, RunsCountByReportAndOutcome)
{
    double clock = 500;
    AgentMetrics metrics([&] { return clock; });
    metrics.runEnded("mount-rates", true);
    clock = 600;
    metrics.runEnded("mount-rates", false);
    metrics.runEnded("no-such-report", true);
    const std::string text = metrics.exposition();
    EXPECT_EQ(sampleValue(text, "vaultline_agent_runs_total{report=\"mount-rates\",result=\"success\"}"), 1);
    EXPECT_EQ(sampleValue(text, "vaultline_agent_runs_total{report=\"mount-rates\",result=\"failure\"}"), 1);
    EXPECT_EQ(sampleValue(text, "vaultline_agent_last_run_timestamp_seconds{report=\"mount-rates\"}"), 600);
    EXPECT_EQ(sampleValue(text, "vaultline_agent_runs_total{report=\"drive-health\",result=\"failure\"}"), 0);
    EXPECT_EQ(text.find("no-such-report"), std::string::npos);
}
