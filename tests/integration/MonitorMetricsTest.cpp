// vaultlinectl monitor --metrics-listen as a process: what a scrape says against what the
// database holds and what the simulated libraries did.

#include "CliProcess.h"
#include "MonitorTestSupport.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cmath>
#include <memory>
#include <sstream>

using namespace std::chrono_literals;

namespace {
class MonitorMetricsProcess : public MonitorProcessTest {
protected:
    MonitorMetricsProcess() : MonitorProcessTest("metr") {}
};

// The port of "metrics at http://127.0.0.1:PORT/metrics" in the command's errors; 0 if none.
int metricsPort(const CliProcess& process)
{
    const std::string marker = "metrics at http://127.0.0.1:";
    const std::string errors = process.errors();
    const std::size_t at = errors.find(marker);
    return at == std::string::npos ? 0 : std::atoi(errors.c_str() + at + marker.size());
}

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

std::string scrape(int port)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(5, 0);
    const auto response = client.Get("/metrics");
    return response && response->status == 200 ? response->body : std::string();
}

// Scrapes until the sample reaches the value (bounded).
bool waitForSample(int port, const std::string& series, double atLeast, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (sampleValue(scrape(port), series) >= atLeast)
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

std::string series(const std::string& name, const std::string& library, const std::string& labels)
{
    return name + "{library=\"" + library + "\"," + labels + "}";
}
} // namespace

TEST_F(MonitorMetricsProcess, ScrapesAgreeWithTheTableAndNameEachLibrarysFailure)
{
    auto good = startLibrary();
    auto failing = startLibrary();
    ASSERT_EQ(failing->control("http500", {{"file", library_texts::MountHistoryFileName}}), "");
    auto refusing = startLibrary();
    // A name as hostile as the user may type: a quote and a backslash.
    const std::string oddName = "q\"b\\s";
    CliProcess monitor(m_folder, {"monitor", "--retry-period", "100", "--metrics-listen", "127.0.0.1:0",
                                  good->address(), failing->address(), refusing->address(), oddName});
    ASSERT_TRUE(CliProcess::waitForText(m_folder.file("cli.err"), "/metrics\n", 1, 30s)) << monitor.errors();
    const int port = metricsPort(monitor);
    ASSERT_GT(port, 0) << monitor.errors();

    // The refusing library goes away after its configuration was read: its mount history
    // downloads fail to connect.
    ASSERT_TRUE(waitForSample(
        port, series("vaultline_download_attempts_total", refusing->address(), "file=\"configuration\""), 1, 30s));
    refusing->setRefusing(true);

    ASSERT_TRUE(monitor.waitForOutput(good->address() + ": " + InsertedMountHistory, 1, 60s)) << monitor.output();
    const std::string mountHistory = "table=\"mount_history\"";
    std::string text = scrape(port);
    EXPECT_EQ(sampleValue(text, series("vaultline_rows_inserted_total", good->address(), mountHistory)),
              static_cast<double>(countRows(m_backend, m_base)));
    EXPECT_GT(countRows(m_backend, m_base), 0);
    EXPECT_EQ(sampleValue(text, series("vaultline_rows_failed_total", good->address(), mountHistory)), 0);
    EXPECT_GT(sampleValue(text, series("vaultline_last_insert_timestamp_seconds", good->address(), mountHistory)), 0);
    EXPECT_EQ(sampleValue(text, series("vaultline_cycle_duration_seconds_count", good->address(), mountHistory)), 1);
    // Every drive of the served file, with its mounts stored.
    double mounts = 0;
    std::size_t drives = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("vaultline_drive_mounts_total{library=\"" + good->address() + "\"", 0) == 0) {
            ++drives;
            mounts += std::strtod(line.c_str() + line.rfind(' '), nullptr);
        }
    EXPECT_GT(drives, 0u);
    EXPECT_EQ(mounts, static_cast<double>(countRows(m_backend, m_base)));

    EXPECT_TRUE(waitForSample(port,
                              series("vaultline_download_failures_total", failing->address(),
                                     "file=\"mount_history\",reason=\"http_status\""),
                              2, 60s));
    EXPECT_TRUE(waitForSample(
        port,
        series("vaultline_download_failures_total", refusing->address(), "file=\"mount_history\",reason=\"connect\""),
        1, 60s));
    EXPECT_TRUE(waitForSample(
        port, series("vaultline_download_consecutive_failures", refusing->address(), "file=\"mount_history\""), 1,
        60s));
    text = scrape(port);
    EXPECT_EQ(sampleValue(text, series("vaultline_rows_inserted_total", failing->address(), mountHistory)), 0);
    EXPECT_GE(sampleValue(text, series("vaultline_download_attempts_total", "q\\\"b\\\\s", "file=\"configuration\"")),
              0)
        << text.substr(0, 3000);

    // Nothing but GET and HEAD of /metrics.
    httplib::Client client("127.0.0.1", port);
    const auto head = client.Head("/metrics");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->get_header_value("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
    const auto other = client.Get("/metrics/x");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
    EXPECT_EQ(client.Get("/")->status, 404);
    const auto posted = client.Post("/metrics", "x", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 405);
    EXPECT_EQ(posted->get_header_value("Allow"), "GET, HEAD");
    EXPECT_EQ(client.Delete("/metrics")->status, 405);

    // A connection that says nothing is closed by the server.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(silent, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    pollfd waiting{silent, POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, 30000), 1) << "the silent connection was kept";
    char byte = 0;
    EXPECT_EQ(recv(silent, &byte, 1, 0), 0);
    close(silent);

    // SIGTERM ends the endpoint with the monitor.
    ASSERT_EQ(kill(monitor.pid(), SIGTERM), 0);
    EXPECT_EQ(monitor.waitForExit(10s), 0) << monitor.errors();
    httplib::Client after("127.0.0.1", port);
    after.set_connection_timeout(2, 0);
    EXPECT_FALSE(after.Get("/metrics"));
}

TEST_F(MonitorMetricsProcess, PromtoolFindsNothingToComplainAbout)
{
    if (std::system("command -v promtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "promtool (Debian's prometheus package) is not installed: the exposition text is not checked";
    auto library = startLibrary();
    CliProcess monitor(m_folder, {"monitor", "--metrics-listen", "127.0.0.1:0", library->address(), "q\"b\\s"});
    ASSERT_TRUE(CliProcess::waitForText(m_folder.file("cli.err"), "/metrics\n", 1, 30s)) << monitor.errors();
    const int port = metricsPort(monitor);
    ASSERT_TRUE(monitor.waitForOutput(library->address() + ": " + InsertedMountHistory, 1, 60s)) << monitor.output();
    const std::string text = scrape(port);
    ASSERT_NE(text.find("vaultline_drive_rating{"), std::string::npos);
    std::ofstream(m_folder.file("scrape.txt"), std::ios::binary) << text;
    const std::string command =
        "promtool check metrics <'" + m_folder.file("scrape.txt") + "' >'" + m_folder.file("promtool.txt") + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readWholeFile(m_folder.file("promtool.txt"));
    EXPECT_EQ(readWholeFile(m_folder.file("promtool.txt")), "");
    ASSERT_EQ(kill(monitor.pid(), SIGTERM), 0);
    EXPECT_EQ(monitor.waitForExit(10s), 0) << monitor.errors();
}
