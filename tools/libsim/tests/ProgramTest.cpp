// The vaultline-libsim program as tests start it: a subprocess that names its port on its
// first line, and the mode that only writes the files.
#include "LibraryFiles.h"
#include "LibrarySimulation.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

extern char** environ;

using namespace libsim;

namespace {

// A running program with its standard output (and, when asked, its standard input) on a
// pipe; killed if the test forgets.
class ChildProgram {
public:
    explicit ChildProgram(std::vector<std::string> arguments, bool pipeInput = false)
    {
        arguments.insert(arguments.begin(), LIBSIM_PROGRAM);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return;
        }
        int inputEnds[2] = {-1, -1};
        if (pipeInput && pipe2(inputEnds, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        if (pipeInput) {
            posix_spawn_file_actions_adddup2(&actions, inputEnds[0], STDIN_FILENO);
        }
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        m_output = pipeEnds[0];
        if (pipeInput) {
            close(inputEnds[0]);
            m_input = inputEnds[1];
        }
    }

    ~ChildProgram()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_output >= 0) {
            close(m_output);
        }
        closeInput();
    }

    void closeInput()
    {
        if (m_input >= 0) {
            close(m_input);
            m_input = -1;
        }
    }

    // The first line of standard output, waiting at most the given time.
    std::string firstLine(std::chrono::milliseconds limit)
    {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd ready{m_output, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) {
                continue;
            }
            char c = 0;
            if (read(m_output, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

    // The exit status, waiting at most the given time; -1 when it did not end normally.
    int wait(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(20000);
        }
        return -1;
    }

    void terminate() { kill(m_pid, SIGTERM); }
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    int m_output = -1;
    int m_input = -1;
};

std::string readWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

LibraryOptions programLibrary()
{
    LibraryOptions options;
    options.seed = 5;
    options.days = 2;
    options.end = *parseLibraryTime("2024-03-10 06:30");
    return options;
}

const std::vector<std::string> ProgramLibraryArguments = {"--seed", "5", "--days", "2", "--end", "2024-03-10 06:30"};

} // namespace

TEST(LibsimProgram, NamesItsPortFirstAndServesTheSeedsLibrary)
{
    std::vector<std::string> arguments = ProgramLibraryArguments;
    arguments.insert(arguments.end(), {"--port", "0", "--http-status", "LIBLG_01_DS.bin=500"});
    ChildProgram program(arguments);
    ASSERT_TRUE(program.running());
    const std::string line = program.firstLine(std::chrono::seconds(10));
    ASSERT_EQ(line.rfind("listening 127.0.0.1:", 0), 0u) << line;
    const int port = std::stoi(line.substr(line.rfind(':') + 1));
    ASSERT_GT(port, 0);

    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(5, 0);
    const LibrarySimulation expected(programLibrary());
    const httplib::Result history = client.Get("/FS/LIBLG_01_CS.bin");
    ASSERT_TRUE(history);
    EXPECT_EQ(history->body, renderMountHistoryFile(expected));
    const httplib::Result statistics = client.Get("/FS/LIBLG_01_DS.bin");
    ASSERT_TRUE(statistics);
    EXPECT_EQ(statistics->status, 500);

    program.terminate();
    EXPECT_EQ(program.wait(std::chrono::seconds(10)), 0);
}

TEST(LibsimProgram, WritesTheFilesIntoAFolderAndExits)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("libsim-files-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::vector<std::string> arguments = ProgramLibraryArguments;
    arguments.insert(arguments.end(), {"--write-files", folder.string(), "--no-performance-model"});
    ChildProgram program(arguments);
    ASSERT_EQ(program.wait(std::chrono::seconds(30)), 0);

    const LibrarySimulation expected(programLibrary());
    ConfigurationSwitches switches;
    switches.performanceModel = false;
    for (const std::string& name : libraryFileNames()) {
        EXPECT_EQ(readWhole(folder / name), *renderLibraryFile(name, expected, switches)) << name;
    }
    EXPECT_EQ(readWhole(folder / file_names::SavedMountHistory), renderSavedMountHistory(expected));
    EXPECT_EQ(readWhole(folder / file_names::SavedLibraryStatistics), renderSavedLibraryStatistics(expected));
    std::filesystem::remove_all(folder);
}

TEST(LibsimProgram, EndsWhenItsStandardInputCloses)
{
    // As the demonstration starts it: the program holding the other end has ended.
    std::vector<std::string> arguments = ProgramLibraryArguments;
    arguments.insert(arguments.end(), {"--port", "0", "--live", "--stop-at-eof"});
    ChildProgram program(arguments, true);
    const std::string line = program.firstLine(std::chrono::seconds(10));
    ASSERT_EQ(line.rfind("listening 127.0.0.1:", 0), 0u) << line;
    httplib::Client client("127.0.0.1", std::stoi(line.substr(line.rfind(':') + 1)));
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(5, 0);
    const httplib::Result state = client.Get("/control/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->status, 200);
    program.closeInput();
    EXPECT_EQ(program.wait(std::chrono::seconds(10)), 0);
}

TEST(LibsimProgram, BadOptionsEndWithStatusTwo)
{
    ChildProgram unknown({"--frames", "none"});
    EXPECT_EQ(unknown.wait(std::chrono::seconds(10)), 2);
    // A history cannot start after the end given, nor after now when no end is given.
    ChildProgram startAfterEnd({"--start", "2024-03-02 10:00", "--end", "2024-03-01 10:00"});
    EXPECT_EQ(startAfterEnd.wait(std::chrono::seconds(10)), 2);
    ChildProgram startInFuture({"--start", "2999-01-01 00:00", "--write-files", "/nonexistent"});
    EXPECT_EQ(startInFuture.wait(std::chrono::seconds(10)), 2);
    ChildProgram help({"--help"});
    EXPECT_EQ(help.firstLine(std::chrono::seconds(10)).rfind("usage:", 0), 0u);
    EXPECT_EQ(help.wait(std::chrono::seconds(10)), 0);
}
