// vaultlinectl delete, and the database's messages of any command, run as their own processes
// on each test database, as a user runs them.

#include "CliProcess.h"
#include "ScopedApp.h"
#include "db/Tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {
namespace fs = std::filesystem;

class CliCommand : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(fs::exists(cliProgramPath())) << cliProgramPath() << " is not built";
        m_base = uniqueTableName("clidel");
        ASSERT_EQ(createTables(m_base, "DEFAULT", GetParam().dsn, GetParam().user, GetParam().password), 1);
        writeSettings(GetParam().dsn, GetParam().user);
        for (const char* values : {"('10.0.0.1', '2026-12-07', '10:00:00', 'CL0001', 3, 12)",
                                   "('10.0.0.1', '2026-12-07', '10:05:00', 'CL0002', 3, 12)",
                                   "('10.0.0.1', '2026-12-07', '10:10:00', 'O''K1', 1, 1)",
                                   "('10.0.0.2', '2026-12-07', '10:00:00', 'CL0001', 3, 12)"})
            ASSERT_TRUE(executeSql(GetParam(), "INSERT INTO " + m_base
                                                   + " (ipAddress, Date, Time, Volser, Frame, Drive) VALUES "
                                                   + values));
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, GetParam().dsn, GetParam().user, GetParam().password, nullptr);
    }

    // The settings file the desktop program would have written.
    void writeSettings(const std::string& dsn, const std::string& user)
    {
        TestBackend backend = GetParam();
        backend.dsn = dsn;
        backend.user = user;
        writeCliSettings(m_folder, backend, m_base);
    }

    // Runs the program in the temporary folder with the given standard input.
    CliRun run(const std::string& arguments, const std::string& input = "", const std::string& password = "")
    {
        return runCli(m_folder, arguments, input, password);
    }

    long long rowsOf(const std::string& where)
    {
        const auto rows = querySql(GetParam(), "select count(*) from " + m_base + " where " + where);
        return rows.empty() || !rows[0][0] ? -1 : std::stoll(*rows[0][0]);
    }

    std::string m_base;
    TemporaryFolder m_folder;
};
} // namespace

TEST_P(CliCommand, DeleteAsksThenRemovesOneDriveOrCartridgeOfOneLibrary)
{
    // Asked on the terminal; anything but yes deletes nothing.
    CliRun refused = run("delete --library 10.0.0.1 --drive 3:12", "n\n");
    EXPECT_EQ(refused.status, 2);
    // The question names the rows it would take, counted before asking.
    EXPECT_NE(refused.errors.find("Are you sure you want to delete data entries including:\nIP: 10.0.0.1  Frame: 3  "
                                  "Drive: 12\n2 entries will be deleted from "
                                  + m_base + ".\n(y/n) "),
              std::string::npos)
        << refused.errors;
    EXPECT_EQ(countRows(GetParam(), m_base), 4);

    CliRun drive = run("delete --library 10.0.0.1 --drive 3:12", "y\n");
    EXPECT_EQ(drive.status, 0) << drive.errors;
    EXPECT_EQ(drive.output, "2 entries deleted from " + m_base + "\n");
    EXPECT_EQ(rowsOf("frame = 3 and drive = 12"), 1) << "the other library's drive stays";

    CliRun quoted = run("delete --library=10.0.0.1 --volser \"O'K1\" --yes");
    EXPECT_EQ(quoted.status, 0) << quoted.errors;
    EXPECT_EQ(quoted.output, "1 entries deleted from " + m_base + "\n");
    EXPECT_EQ(countRows(GetParam(), m_base), 1);

    CliRun nothing = run("delete --library 10.0.0.9 --volser CL0001 --yes");
    EXPECT_EQ(nothing.status, 0) << nothing.errors;
    EXPECT_EQ(nothing.output, "0 entries deleted from " + m_base + "\n");
    EXPECT_EQ(countRows(GetParam(), m_base), 1);
}

TEST_P(CliCommand, DeleteRefusesWrongArgumentsAndReportsTheDatabase)
{
    for (const char* wrong :
         {"delete --drive 3:12 --yes", "delete --library 10.0.0.1 --yes",
          "delete --library 10.0.0.1 --drive 3:12 --volser CL0001 --yes", "delete --library 10.0.0.1 --drive 3 --yes",
          "delete --library 10.0.0.1 --drive 3:1x", "delete --library 10.0.0.1 --volser CL0001 --force",
          "delete --library 10.0.0.1 --library 10.0.0.2 --volser CL0001 --yes",
          "delete --library 10.0.0.1 --volser '' --yes", "delete --library 10.0.0.1 --volser= --yes"}) {
        CliRun result = run(wrong, "y\n");
        EXPECT_EQ(result.status, 2) << wrong;
        EXPECT_NE(result.errors.find("usage: vaultlinectl delete"), std::string::npos) << wrong << result.errors;
    }
    EXPECT_EQ(countRows(GetParam(), m_base), 4);

    // A table the database does not have: its message on the error stream, status 1.
    std::filesystem::remove(m_folder.file("config/Kestrix/Kestrix Vaultline.ini"));
    const std::string kept = m_base;
    m_base += "_none";
    writeSettings(GetParam().dsn, GetParam().user);
    m_base = kept;
    CliRun failed = run("delete --library 10.0.0.1 --volser CL0001 --yes");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.output, "");
    EXPECT_NE(failed.errors.find("The table does not exist in the database."), std::string::npos) << failed.errors;
    EXPECT_NE(failed.errors.find("Unsuccessful deletion."), std::string::npos) << failed.errors;
    // Without --yes the count fails first: nothing is asked.
    CliRun uncounted = run("delete --library 10.0.0.1 --volser CL0001", "y\n");
    EXPECT_EQ(uncounted.status, 1);
    EXPECT_EQ(uncounted.errors.find("Are you sure"), std::string::npos) << uncounted.errors;
    EXPECT_NE(uncounted.errors.find("Unsuccessful deletion."), std::string::npos) << uncounted.errors;
}

TEST_P(CliCommand, ImportSaysWhyTheServerRefusedIt)
{
    if (GetParam().name != "PostgreSQL")
        GTEST_SKIP() << "password and port refusals are the server's";
    std::ofstream(m_folder.file("mounts.csv")) << "Mount History" << std::string(35, ',') << "\nh2\nh3\nh4\nh5\n";

    const TestBackend role = postgresVariant(PostgresVariant::PasswordRole);
    writeSettings(role.dsn, role.user);
    CliRun wrongPassword = run("import mounts.csv --library 10.0.0.1", "", "vaultline-wrong");
    EXPECT_EQ(wrongPassword.status, 1);
    EXPECT_NE(wrongPassword.errors.find("The database refused the user name or password."), std::string::npos)
        << wrongPassword.errors;
    EXPECT_NE(wrongPassword.errors.find("password authentication failed"), std::string::npos) << wrongPassword.errors;

    writeSettings(postgresVariant(PostgresVariant::ClosedPort).dsn, GetParam().user);
    CliRun closed = run("import mounts.csv --library 10.0.0.1");
    EXPECT_EQ(closed.status, 1);
    EXPECT_NE(closed.errors.find("The database server could not be reached."), std::string::npos) << closed.errors;
    EXPECT_NE(closed.errors.find("Connection refused"), std::string::npos) << closed.errors;
}

INSTANTIATE_TEST_SUITE_P(Backends, CliCommand, ::testing::ValuesIn(testBackends()), BackendName());

// Help is printed before anything is opened or written: no option word is ever taken for a data
// source, a file or an address, and neither settings nor a debug log appear.
TEST(CliHelp, EveryCommandPrintsItsUsageAndTouchesNothing)
{
    TemporaryFolder folder;
    for (const char* command : {"prepare-embedded-db --help", "import -h", "monitor --help", "report --help",
                                "custom --help", "delete --library 10.0.0.1 --help", "agent --help"}) {
        const CliRun run = runCli(folder, command);
        EXPECT_EQ(run.status, 0) << command << run.errors;
        EXPECT_NE(run.output.find("usage: vaultlinectl"), std::string::npos) << command;
    }
    EXPECT_FALSE(fs::exists(folder.file("lvr_debug.txt")));
    // Nor is another option word taken for the data source to seed the settings with.
    const CliRun option = runCli(folder, "prepare-embedded-db -x");
    EXPECT_EQ(option.status, 2);
    EXPECT_FALSE(fs::exists(folder.file("config/Kestrix")));
}

// Every command reads its command line with the one parser: an option takes its value after a
// blank or after "=", and an unknown one is named, with the command's usage, before anything
// is read or written.
TEST(CliStart, EveryCommandNamesAnUnknownOption)
{
    TemporaryFolder folder;
    for (const auto& [command, usage] : std::vector<std::pair<std::string, std::string>>{
             {"prepare-embedded-db", "usage: vaultlinectl COMMAND"},
             {"import f.csv --library=10.0.0.1", "usage: vaultlinectl import FILE --library ADDR\n"},
             {"monitor --retry-period=100 10.0.0.1", "  monitor ADDRESS... | --all"},
             {"agent --config=agent.ini --metrics-listen=127.0.0.1:0", "usage: vaultlinectl agent --config FILE"},
             {"report mount-rates --from=2026-01-01", "usage: vaultlinectl report KIND"},
             {"custom --template=x", "usage: vaultlinectl custom --template NAME"},
             {"delete --volser=x", "usage: vaultlinectl delete --library ADDR"}}) {
        const std::string name = command.substr(0, command.find(' '));
        const CliRun run = runCli(folder, command + " --bogus=1");
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.errors.rfind("vaultlinectl " + name + ": unknown option --bogus\n" + usage, 0), 0u) << run.errors;
    }
    const CliRun period = runCli(folder, "monitor --mount-history-period=0 10.0.0.1");
    EXPECT_EQ(period.status, 2);
    EXPECT_EQ(period.errors.rfind("vaultlinectl monitor: --mount-history-period needs a number of milliseconds\n", 0),
              0u)
        << period.errors;
    EXPECT_FALSE(fs::exists(folder.file("config/Kestrix")));
}

// The agent's file is checked before anything runs: each bad one is refused naming its key
// with status 2; a byte-order mark in front is accepted. A debug log name that is a symbolic
// link stops every command before it writes through it.
TEST(CliStart, AgentFileAndDebugLogAreCheckedFirst)
{
    TemporaryFolder folder;
    const std::string good = "[Agent]\nReports=mount-rates\nWeekdays=mon\nStartTime=06:00:00\nRange=1 Week\n"
                             "Libraries=10.0.0.1\nSmtpServer=127.0.0.1:1\nRecipients=ops@example.net\n";
    const std::vector<std::pair<std::string, std::string>> refused{
        {good + "Sender=agent@x\rRCPT TO: <y@z>\n", "[Agent] Sender: holds a control character (a carriage return?)"},
        {"[Agent]\nRecipients=a@x\rDATA\n", "[Agent] Recipients: holds a control character (a carriage return?)"},
        {"[Agent]\nStartTime=+6:-0:00\n" + good.substr(good.find("Range=")) + "Reports=mount-rates\nWeekdays=mon\n",
         "[Agent] StartTime: not a time of day HH:MM:SS"},
    };
    for (std::size_t index = 0; index < refused.size(); ++index) {
        const std::string name = "bad" + std::to_string(index) + ".ini";
        std::ofstream(folder.file(name), std::ios::binary) << refused[index].first;
        const CliRun run = runCli(folder, "agent --config " + name);
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.errors, "vaultlinectl agent: " + name + ": " + refused[index].second + "\n") << run.errors;
    }
    fs::create_directories(folder.file("agent.d"));
    const CliRun directory = runCli(folder, "agent --config agent.d");
    EXPECT_EQ(directory.status, 2);
    EXPECT_EQ(directory.errors, "vaultlinectl agent: agent.d is a directory, not an agent file\n");

    // Behind the mark the group is read: the refusal is of the key that follows it.
    std::ofstream(folder.file("marked.ini"), std::ios::binary) << "\xEF\xBB\xBF" << good << "Colour=blue\n";
    const CliRun marked = runCli(folder, "agent --config marked.ini");
    EXPECT_EQ(marked.status, 2);
    EXPECT_EQ(marked.errors, "vaultlinectl agent: marked.ini: [Agent] Colour: unknown key\n");

    const std::string target = folder.file("target.txt");
    std::ofstream(target) << "keep me\n";
    fs::remove(folder.file("lvr_debug.txt"));
    fs::create_symlink(target, folder.file("lvr_debug.txt"));
    const CliRun linked = runCli(folder, "agent --config marked.ini");
    EXPECT_NE(linked.status, 0);
    EXPECT_NE(linked.errors.find("lvr_debug.txt is a symbolic link, and the debug log is never written through one"),
              std::string::npos)
        << linked.errors;
    EXPECT_EQ(readWholeFile(target), "keep me\n");
}
