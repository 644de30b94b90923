// vaultlinectl agent --metrics-listen as a process: a run whose mail cannot be sent counts as
// a failure of its report.

#include "CliProcess.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace std::chrono_literals;

namespace {
// A loopback port that nothing listens on: bound, read, closed.
int closedPort()
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(probe);
    return port;
}
} // namespace

TEST(AgentMetricsProcess, AReportThatCouldNotBeMailedCountsAsAFailure)
{
    const TestBackend backend = testBackends().front(); // SQLite
    const std::string base = uniqueTableName("agmet");
    ASSERT_EQ(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
    TemporaryFolder folder;
    writeCliSettings(folder, backend, base);
    const int smtpPort = closedPort();
    ASSERT_GT(smtpPort, 0);
    std::ofstream(folder.file("agent.ini"))
        << "[Agent]\nReports=encryption-status\nWeekdays=mon,tue,wed,thu,fri,sat,sun\nStartTime=00:00:00\n"
           "Range=1 Week\nLibraries=10.0.0.1\nSmtpServer=127.0.0.1:"
        << smtpPort << "\nRecipients=ops@example.net\n";

    CliProcess agent(folder, {"agent", "--config", folder.file("agent.ini"), "--metrics-listen", "127.0.0.1:0"});
    ASSERT_TRUE(CliProcess::waitForText(folder.file("cli.err"), "/metrics\n", 1, 30s)) << agent.errors();
    const std::string marker = "metrics at http://127.0.0.1:";
    const std::string errors = agent.errors();
    const int port = std::atoi(errors.c_str() + errors.find(marker) + marker.size());
    ASSERT_TRUE(agent.waitForOutput("QMX Auto Reports Failed for Encryption Status", 1, 60s)) << agent.output();

    httplib::Client client("127.0.0.1", port);
    const auto response = client.Get("/metrics");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    const std::string& text = response->body;
    EXPECT_NE(text.find("\nvaultline_agent_runs_total{report=\"encryption-status\",result=\"failure\"} 1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nvaultline_agent_runs_total{report=\"encryption-status\",result=\"success\"} 0\n"),
              std::string::npos);
    EXPECT_EQ(text.find("vaultline_agent_last_run_timestamp_seconds{report=\"encryption-status\"} 0\n"),
              std::string::npos);
    EXPECT_EQ(client.Post("/metrics", "", "text/plain")->status, 405);

    ASSERT_EQ(kill(agent.pid(), SIGTERM), 0);
    EXPECT_EQ(agent.waitForExit(10s), 0) << agent.errors();
    dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
}
