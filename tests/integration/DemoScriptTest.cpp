// scripts/demo.sh as a user runs it: the history is imported once into the demonstration's own
// database, never twice, without touching the user's settings; the library it starts ends
// with the program, however the program ends.

#include "TestDatabases.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <signal.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

struct ScriptRun {
    int status = -1;
    std::string output;
};

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A loopback port nobody listens on at the moment.
int freePort()
{
    const int socketHandle = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(socketHandle, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(socketHandle, reinterpret_cast<sockaddr*>(&address), &length);
    close(socketHandle);
    return ntohs(address.sin_port);
}

bool answers(int port)
{
    const int socketHandle = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected = connect(socketHandle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(socketHandle);
    return connected;
}

class DemoScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path build = fs::read_symlink("/proc/self/exe").parent_path().parent_path();
        m_environment = "VAULTLINE_BUILD='" + build.string() + "' VAULTLINE_DEMO_DIR='" + demoDir()
                        + "' VAULTLINE_DEMO_DAYS=2 VAULTLINE_DEMO_PORT=" + std::to_string(m_port) + " ODBCINI='"
                        + m_folder.file("odbc.ini") + "' XDG_CONFIG_HOME='" + m_folder.file("user-config") + "'";
    }

    std::string demoDir() const { return m_folder.file("demo"); }

    // The demonstration prepared in the temporary folder (the debug log goes there too).
    // more: variables set after the test's own, which they replace.
    ScriptRun prepare(const std::string& more = "")
    {
        const std::string command = "cd '" + m_folder.path() + "' && " + m_environment + more + " bash '"
                                    + VAULTLINE_SOURCE_DIR + "/scripts/demo.sh' prepare >out.txt 2>&1";
        ScriptRun result;
        const int status = std::system(command.c_str());
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.output = readWhole(m_folder.file("out.txt"));
        return result;
    }

    std::string sql(const std::string& statement) { return sqlIn(demoDir(), statement); }
    std::string sqlIn(const std::string& dir, const std::string& statement)
    {
        const std::string command = "sqlite3 '" + dir + "/demo.sqlite' \"" + statement + "\"";
        std::string text;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[256];
            while (fgets(buffer, sizeof buffer, pipe) != nullptr)
                text += buffer;
            pclose(pipe);
        }
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }

    TemporaryFolder m_folder;
    int m_port = freePort();
    std::string m_environment;
};
} // namespace

TEST_F(DemoScript, ImportsTheHistoryOnceAndNeverStoresALineTwice)
{
    const ScriptRun first = prepare();
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("Imported the history since"), std::string::npos) << first.output;
    const std::string address = "127.0.0.1:" + std::to_string(m_port);
    const int mounts = std::stoi(sql("select count(*) from VAULTLINE"));
    const int intervals = std::stoi(sql("select count(*) from VAULTLINE_LP"));
    EXPECT_GT(mounts, 1000); // two days of about 960 mounts
    EXPECT_GT(intervals, 4 * 40);
    EXPECT_EQ(sql("select distinct ipAddress from VAULTLINE"), address);
    // The demonstration has settings of its own; the user's are not written.
    EXPECT_FALSE(fs::exists(m_folder.file("user-config")));
    EXPECT_NE(readWhole(demoDir() + "/config/Kestrix/Kestrix Vaultline.ini").find("VaultlineDemo"), std::string::npos);
    const std::string start = readWhole(demoDir() + "/history-start");

    const ScriptRun second = prepare();
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(second.output.find("Imported"), std::string::npos) << second.output;
    EXPECT_EQ(std::stoi(sql("select count(*) from VAULTLINE")), mounts);

    // An import that was cut short has left no mark: the next run imports again, from the same
    // start, and the lines already stored stay single.
    fs::remove(demoDir() + "/imported");
    const ScriptRun resumed = prepare();
    ASSERT_EQ(resumed.status, 0) << resumed.output;
    EXPECT_NE(resumed.output.find("Imported the history since"), std::string::npos) << resumed.output;
    EXPECT_EQ(readWhole(demoDir() + "/history-start"), start);
    EXPECT_GE(std::stoi(sql("select count(*) from VAULTLINE")), mounts);
    EXPECT_EQ(sql("select count(*) from (select ipAddress, Volser, Date, Time from VAULTLINE"
                  " group by ipAddress, Volser, Date, Time having count(*) > 1)"),
              "0");
    EXPECT_EQ(sql("select count(*) from (select Logical_Library, Date, Time from VAULTLINE_LP"
                  " group by Logical_Library, Date, Time having count(*) > 1)"),
              "0");

    // A run on another folder stores the year there, though the data source was registered
    // for the first folder's database, which keeps what it had.
    const std::string stored = sql("select count(*) from VAULTLINE");
    const std::string other = m_folder.file("other-demo");
    const ScriptRun elsewhere = prepare(" VAULTLINE_DEMO_DIR='" + other + "'");
    ASSERT_EQ(elsewhere.status, 0) << elsewhere.output;
    EXPECT_GT(std::stoi(sqlIn(other, "select count(*) from VAULTLINE")), 1000);
    EXPECT_EQ(sql("select count(*) from VAULTLINE"), stored);
}

TEST_F(DemoScript, TheFirstRunImportsTheYearInTheWindowAndMarksItOnceBothFilesAreStored)
{
    // The script becomes the program, which imports the year as its window opens.
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        const std::string command = "cd '" + m_folder.path() + "' && " + m_environment
                                    + " QT_QPA_PLATFORM=offscreen exec bash '" + VAULTLINE_SOURCE_DIR
                                    + "/scripts/demo.sh' >window-out.txt 2>&1";
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string mark = demoDir() + "/imported";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    int status = 0;
    bool ended = false;
    while (!fs::exists(mark) && std::chrono::steady_clock::now() < deadline && !ended) {
        ended = waitpid(program, &status, WNOHANG) == program;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const bool marked = fs::exists(mark);
    if (!ended) {
        kill(program, SIGKILL);
        waitpid(program, &status, 0);
    }
    ASSERT_TRUE(marked) << readWhole(m_folder.file("window-out.txt"));
    EXPECT_NE(readWhole(m_folder.file("window-out.txt")).find("the window imports it"), std::string::npos);
    // The mark comes after both files: both are there whole.
    EXPECT_GT(std::stoi(sql("select count(*) from VAULTLINE")), 1000);
    EXPECT_GT(std::stoi(sql("select count(*) from VAULTLINE_LP")), 4 * 40);
    const int mounts = std::stoi(sql("select count(*) from VAULTLINE"));

    // The next run finds the year there and lets go of the files it was imported from.
    const ScriptRun next = prepare();
    ASSERT_EQ(next.status, 0) << next.output;
    EXPECT_NE(next.output.find("already in"), std::string::npos) << next.output;
    EXPECT_FALSE(fs::exists(demoDir() + "/year"));
    EXPECT_EQ(std::stoi(sql("select count(*) from VAULTLINE")), mounts);
}

TEST_F(DemoScript, TheLibraryEndsWithTheProgramEvenWhenTheProgramIsKilled)
{
    ASSERT_EQ(prepare().status, 0);
    // The script becomes the program; the library it started runs beside it.
    int outputPipe[2];
    ASSERT_EQ(pipe(outputPipe), 0);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        dup2(outputPipe[1], STDOUT_FILENO);
        close(outputPipe[0]);
        close(outputPipe[1]);
        const std::string command = "cd '" + m_folder.path() + "' && " + m_environment
                                    + " QT_QPA_PLATFORM=offscreen exec bash '" + VAULTLINE_SOURCE_DIR
                                    + "/scripts/demo.sh'";
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(outputPipe[1]);
    // The script says so once the library listens, just before it starts the program.
    std::string output;
    char c = 0;
    while (output.find("Start Monitoring") == std::string::npos && read(outputPipe[0], &c, 1) == 1)
        output += c;
    close(outputPipe[0]);
    ASSERT_NE(output.find("Start Monitoring"), std::string::npos) << output;
    const std::string programPath =
        fs::read_symlink("/proc/self/exe").parent_path().parent_path().string() + "/src/app/vaultline";
    const std::string self = "/proc/" + std::to_string(program);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::error_code error;
    while (fs::read_symlink(self + "/exe", error) != programPath && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(fs::read_symlink(self + "/exe", error), programPath);

    // The library is the program's child, and the program holds the other end of its input.
    std::ifstream childList(self + "/task/" + std::to_string(program) + "/children");
    pid_t library = 0;
    ASSERT_TRUE(childList >> library);
    const fs::path libraryInput = fs::read_symlink("/proc/" + std::to_string(library) + "/fd/0", error);
    ASSERT_EQ(libraryInput.string().rfind("pipe:", 0), 0u) << libraryInput;
    bool held = false;
    for (const fs::directory_entry& descriptor : fs::directory_iterator(self + "/fd", error))
        held = held || fs::read_symlink(descriptor.path(), error) == libraryInput;
    EXPECT_TRUE(held);
    EXPECT_TRUE(answers(m_port));

    kill(program, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    // The library notices the end of its input and closes its port.
    const auto closedBy = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (answers(m_port) && std::chrono::steady_clock::now() < closedBy)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(answers(m_port));
}
