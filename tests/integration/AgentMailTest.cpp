// The reports agent end to end: its mail goes to Debian's SMTP server (aiosmtpd, run on
// loopback with a handler that writes every accepted message to a folder), from the agent's
// run in this process and from vaultlinectl agent as its own process.

#include "LibraryFileServer.h"
#include "ScopedApp.h"
#include "agent/AgentReports.h"
#include "agent/AgentRuns.h"
#include "agent/AgentScheduler.h"
#include "agent/AgentTexts.h"
#include "db/Tables.h"
#include "library/Import.h"
#include "library/LibraryFileText.h"
#include "library/LibraryTexts.h"

#include <gtest/gtest.h>

#include <atomic>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

extern char** environ;

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int freeLoopbackPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

bool accepts(int port)
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return connected;
}

// A child process with its standard output on a pipe that the test reads line by line.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 const std::string& directory)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        std::vector<std::string> env(environment);
        for (char** entry = environ; *entry != nullptr; ++entry)
            env.emplace_back(*entry);
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        if (posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_output = out[0];
    }
    ~ChildProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_output >= 0)
            ::close(m_output);
    }
    bool running() const { return m_pid > 0; }

    // Reads the output until it holds the text (true), the child closes it or the bound passes.
    bool waitForOutput(const std::string& text, std::chrono::seconds bound = std::chrono::seconds(60))
    {
        const auto deadline = Clock::now() + bound;
        while (m_seen.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd entry{m_output, POLLIN, 0};
            if (left <= 0 || ::poll(&entry, 1, static_cast<int>(left)) != 1)
                return false;
            char buffer[512];
            const ssize_t count = ::read(m_output, buffer, sizeof buffer);
            if (count <= 0)
                return false;
            m_seen.append(buffer, static_cast<std::size_t>(count));
        }
        return true;
    }
    // Sends the signal and waits for the end: the exit status, or -1 when it did not exit.
    int stop(int signal)
    {
        ::kill(m_pid, signal);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        waitForOutput("\x01", std::chrono::seconds(5)); // drain what is left
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& output() const { return m_seen; }

private:
    pid_t m_pid = -1;
    int m_output = -1;
    std::string m_seen;
};

// Debian's SMTP server on a free loopback port, writing what it accepts into a folder.
class SmtpSink {
public:
    explicit SmtpSink(const std::string& folder) : m_folder(folder), m_port(freeLoopbackPort())
    {
        fs::create_directories(folder);
        m_server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/python3", "-m", "aiosmtpd", "-n", "-l",
                                     "127.0.0.1:" + std::to_string(m_port), "-c", "smtp_folder_sink.FolderSink",
                                     folder},
            std::vector<std::string>{std::string("PYTHONPATH=") + VAULTLINE_TEST_SUPPORT_DIR}, folder);
        // Ready when it accepts a connection; a server that never does fails the test.
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!(m_ready = accepts(m_port)) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    bool ready() const { return m_ready; }
    std::string server() const { return "127.0.0.1:" + std::to_string(m_port); }

    // Each accepted mail's file, by name.
    std::map<std::string, std::string> mails() const
    {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(m_folder))
            if (entry.path().filename().string().starts_with("mail-") && entry.path().extension() != ".part")
                found[entry.path().filename().string()] = readWholeFile(entry.path().string());
        return found;
    }

private:
    std::string m_folder;
    int m_port;
    bool m_ready = false;
    std::unique_ptr<ChildProcess> m_server;
};

// A stored mail's subject and its body, the text after the empty line that ends the header.
std::pair<std::string, std::string> subjectAndBody(const std::string& mail)
{
    const std::size_t field = mail.find("\r\nSubject: ");
    if (field == std::string::npos)
        return {"", mail};
    const std::size_t subject = field + 11;
    const std::size_t end = mail.find("\r\n", subject);
    if (end == std::string::npos || mail.compare(end, 4, "\r\n\r\n") != 0)
        return {"", mail};
    return {mail.substr(subject, end - subject), mail.substr(end + 4)};
}

// The run of one scheduled day: every report, each text mailed to two recipients with the
// header fields a mail reader needs. The texts come from a runner at the report seam;
// each holds a line of a single period.
TEST(AgentMail, EveryReportReachesTheServer)
{
    ScopedApp app;
    TemporaryFolder folder;
    SmtpSink sink(folder.file("mail"));
    ASSERT_TRUE(sink.ready()) << "aiosmtpd did not start (is python3-aiosmtpd installed?)";

    AgentSettings settings;
    settings.enabled = true;
    settings.weekdays.fill(true);
    settings.startHour = 6;
    for (const ReportKindInfo& info : agentReports())
        setAgentReportChosen(settings, info.kind, true);
    settings.ipList = "10.0.0.1,";
    settings.smtpServer = sink.server();
    settings.recipients = "ops@example.net, backup@example.net";
    settings.startDate = "12-01-2026";

    // The scheduler on an injected clock starts the run at 06:00:00.
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 6;
    when.tm_isdst = -1;
    const std::time_t six = std::mktime(&when);
    AgentSchedulerState state = agentSchedulerStart(six - 60);
    ASSERT_FALSE(agentTick(six - 1, settings, state, true));
    ASSERT_TRUE(agentTick(six, settings, state, true));

    std::map<std::string, std::string> texts;
    for (const ReportKindInfo& info : agentReports())
        texts[info.subject] = std::string("Starting ") + info.mailName + " report\r\n\r\n.\r\n.. two\r\nDone!";
    AgentRunOptions options;
    options.runner = [&](ReportKind report, const MailReportRequest&) -> std::optional<std::string> {
        return texts.at(reportKindInfo(report).subject);
    };
    const std::time_t before = std::time(nullptr);
    {
        AgentRuns runs(options);
        EXPECT_EQ(runs.start(settings, six), static_cast<int>(agentReports().size()));
        runs.waitUntilDone();
    }
    // Every mail was accepted before its sender returned, so all of them are in the folder.
    const std::time_t after = std::time(nullptr);
    const auto mails = sink.mails();
    ASSERT_EQ(mails.size(), agentReports().size()) << app.logText();
    std::map<std::string, std::string> received;
    for (const auto& [name, mail] : mails) {
        EXPECT_TRUE(mail.starts_with("From: " + std::string(DefaultAgentSender)
                                     + "\nTo: ops@example.net,backup@example.net\n\nDate: "))
            << mail;
        // The header as a mail reader sees it: no defects, each field as written.
        ChildProcess parser({"/usr/bin/python3", std::string(VAULTLINE_TEST_SUPPORT_DIR) + "/mail_headers.py",
                             folder.file("mail") + "/" + name},
                            {}, folder.path());
        ASSERT_TRUE(parser.waitForOutput("\nend\n")) << parser.output();
        const std::string& fields = parser.output();
        EXPECT_TRUE(fields.starts_with("defects: 0 []\nDate: ")) << fields;
        EXPECT_NE(fields.find("\nFrom: " + std::string(DefaultAgentSender)
                              + "\n"
                                "To: ops@example.net, backup@example.net\nSubject: QMX Auto Reports Agent for "),
                  std::string::npos)
            << fields;
        const std::size_t date = fields.find("\ndate: ") + 7;
        const std::time_t sent = std::stoll(fields.substr(date, fields.find('\n', date) - date));
        EXPECT_LE(before, sent);
        EXPECT_LE(sent, after);
        const auto [subject, body] = subjectAndBody(mail);
        received[subject] = body;
    }
    for (const auto& [subject, text] : texts)
        EXPECT_EQ(received[subject], text + "\r\n") << subject;
    for (const ReportKindInfo& info : agentReports())
        EXPECT_NE(app.logText().find(info.successLine), std::string::npos) << info.successLine;
}

// The report workers of this build in mail mode, on a simulated library's mount history
// stored by the test: each mail's body is the report's text (the header's time aside).
class AgentMailReports : public BackendTest {
protected:
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }
    ScopedApp scoped;
    std::string m_base;
};

TEST_P(AgentMailReports, EachReportIsMailedWithItsText)
{
    std::vector<ReportKind> available;
    for (const ReportKindInfo& info : agentReports())
        available.push_back(info.kind);

    libsim::LibraryOptions library;
    library.frames = 1;
    library.drives = 3;
    library.days = 2;
    libsim::LibraryFileServer server(library);
    ASSERT_TRUE(server.start());
    m_base = uniqueTableName("agentmail");
    scoped.useBackend(GetParam(), m_base);
    ASSERT_EQ(createTables(m_base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
    TemporaryFolder folder;
    const std::string saved = folder.file("mounts.csv");
    // Saved as the library's page shows it: the downloaded file as text.
    std::ofstream(saved, std::ios::binary) << libraryFileText(server.currentFile(library_texts::MountHistoryFileName));
    const ImportResult imported = importSavedFile(saved, server.address());
    ASSERT_GT(imported.inserted, 0);

    SmtpSink sink(folder.file("mail"));
    ASSERT_TRUE(sink.ready());
    AgentSettings settings;
    for (const ReportKind report : available)
        setAgentReportChosen(settings, report, true);
    settings.ipList = server.address() + ",";
    settings.startDate = "01-01-1990";
    settings.smtpServer = sink.server();
    settings.recipients = "ops@example.net";
    const std::time_t now = std::time(nullptr);
    {
        AgentRuns runs;
        EXPECT_EQ(runs.start(settings, now), static_cast<int>(available.size()));
        runs.waitUntilDone();
    }
    std::map<std::string, std::string> received;
    for (const auto& [name, mail] : sink.mails()) {
        const auto [subject, body] = subjectAndBody(mail);
        received[subject] = body;
    }
    ASSERT_EQ(received.size(), available.size()) << scoped.logText();
    // Each subject's mail holds that report and no other.
    const std::map<std::string, std::string> openings = {
        {"Cartridge Health Statistics", "Starting Cartridge Last 10 Mount Moving Average report on "},
        {"Drive Statistics", "Starting cartridge statistics report on "},
        {"Drive Health Statistics", "Starting Drive Last 10 Mount Moving Average report on "},
        {"Encryption Status", "Starting encryption status report on "},
        {"Mount Rates", "Starting mount rates report on "},
        {"Library Overview", "Starting library overview on "}};
    ASSERT_EQ(openings.size(), available.size());
    for (const auto& [name, opening] : openings)
        EXPECT_TRUE(received["QMX Auto Reports Agent for " + name].starts_with(opening)) << name;
    const auto afterHeader = [](const std::string& text) { return text.substr(text.find("\r\n") + 2); };
    for (const ReportKind report : available) {
        const ReportKindInfo& info = reportKindInfo(report);
        const auto direct = runMailReport(report, agentRunRequest(settings, now, nullptr));
        ASSERT_TRUE(direct) << info.mailName;
        EXPECT_NE(direct->find(server.address()), std::string::npos) << *direct;
        ASSERT_TRUE(received.contains(info.subject)) << info.subject;
        // The line end in front of the end-of-data "." arrives as the body's last.
        const std::string body = received[info.subject];
        EXPECT_EQ(afterHeader(body), afterHeader(*direct + "\r\n")) << info.mailName;
        EXPECT_NE(scoped.logText().find(info.successLine), std::string::npos) << info.successLine;
    }
    // An agent that is ending leaves its reports at their next step and mails none of them,
    // not even one cut short.
    const std::atomic<bool> ending{true};
    for (const ReportKind report : available)
        EXPECT_FALSE(runMailReport(report, agentRunRequest(settings, now, &ending))) << reportKindInfo(report).mailName;
}

INSTANTIATE_TEST_SUITE_P(Backends, AgentMailReports, ::testing::ValuesIn(testBackends()), BackendName());

// vaultlinectl agent as a service: a bad file is refused naming its key; a good one runs the
// day's schedule at its first tick, then SIGTERM ends it with status 0.
TEST(AgentMail, ServiceRunsItsScheduleAndStopsOnSigterm)
{
    const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/cli/vaultlinectl";
    ASSERT_TRUE(fs::exists(cli)) << cli << " is not built";
    TemporaryFolder folder;
    SmtpSink sink(folder.file("mail"));
    ASSERT_TRUE(sink.ready());

    const TestBackend backend = testBackends().front(); // SQLite
    const std::string base = uniqueTableName("agent");
    ASSERT_EQ(createTables(base, "DEFAULT", backend.dsn, backend.user, backend.password), 1);
    fs::create_directories(folder.file("config/Kestrix"));
    std::ofstream(folder.file("config/Kestrix/Kestrix Vaultline.ini"))
        << "[Connection]\nUsername=" << backend.user << "\n\n[Setup]\nDatabase%20Name=" << backend.dsn
        << "\nDatabase%20Type=2\nMount%20History%20Table%20Name=" << base
        << "\nLibrary%20Performance%20Table%20Name=" << tableNameFor(TableKind::LibraryPerformance, base)
        << "\nReports%20Table%20Name=" << tableNameFor(TableKind::Reports, base) << "\nDate%20Format=2\n";
    const std::string config = "[Agent]\nReports=mount-rates\nWeekdays=mon,tue,wed,thu,fri,sat,sun\n"
                               "StartTime=00:00:00\nRange=1 Week\nLibraries=10.0.0.1\nSmtpServer="
                               + sink.server() + "\nRecipients=ops@example.net\nSender=agent@example.net\n";
    std::ofstream(folder.file("agent.ini")) << config;
    std::ofstream(folder.file("bad.ini")) << config << "Range=1 Year\n";
    const std::vector<std::string> environment{"XDG_CONFIG_HOME=" + folder.file("config")};

    {
        ChildProcess refused({cli.string(), "agent", "--config", folder.file("bad.ini")}, environment, folder.path());
        EXPECT_EQ(refused.stop(0), 2);
    }

    ChildProcess agent({cli.string(), "agent", "--config", folder.file("agent.ini")}, environment, folder.path());
    ASSERT_TRUE(agent.running());
    EXPECT_TRUE(agent.waitForOutput("QMX Auto Reports Successful for Mount Rates")) << agent.output();
    EXPECT_EQ(agent.stop(SIGTERM), 0);
    EXPECT_NE(agent.output().find(" agent: SIGTERM, stopping after the running reports"), std::string::npos)
        << agent.output();
    EXPECT_EQ(sink.mails().size(), 1u);
    dropTables(base, backend.dsn, backend.user, backend.password, nullptr);
}
} // namespace
