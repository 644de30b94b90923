#pragma once

// vaultlinectl run as a process of its own, in a temporary folder, on settings that name a
// test database: started, watched through its output files, and signalled.

#include "TestDatabases.h"
#include "db/Tables.h"

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string readWholeFile(const std::string& path);

// The program next to the test program in the build tree, or where VAULTLINE_CLI says.
inline std::string cliProgramPath()
{
    if (const char* given = std::getenv("VAULTLINE_CLI"); given != nullptr && *given != '\0')
        return given;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/cli/vaultlinectl")
        .string();
}

// The settings file the desktop program would have written for this database and table base
// name, under <folder>/config.
inline void writeCliSettings(const TemporaryFolder& folder, const TestBackend& backend, const std::string& base)
{
    std::filesystem::create_directories(folder.file("config/Kestrix"));
    std::ofstream(folder.file("config/Kestrix/Kestrix Vaultline.ini"))
        << "[Connection]\nUsername=" << backend.user << "\n\n[Setup]\nDatabase%20Name=" << backend.dsn
        << "\nDatabase%20Type=2\nMount%20History%20Table%20Name=" << base
        << "\nLibrary%20Performance%20Table%20Name=" << tableNameFor(TableKind::LibraryPerformance, base)
        << "\nReports%20Table%20Name=" << tableNameFor(TableKind::Reports, base) << "\nDate%20Format=2\n";
}

// A finished run of vaultlinectl.
struct CliRun {
    int status = -1;
    std::string output;
    std::string errors;
};

// Runs vaultlinectl to its end in the folder on the folder's settings, through the shell: the
// arguments as a shell reads them, `input` on standard input, VAULTLINE_DB_PASSWORD set to
// `password`, standard output into `outputPath` (read back when it is the folder's out.txt).
inline CliRun runCli(const TemporaryFolder& folder, const std::string& arguments, const std::string& input = "",
                     const std::string& password = "", const std::string& outputPath = "out.txt")
{
    std::ofstream(folder.file("in.txt")) << input;
    const std::string command = "cd '" + folder.path() + "' && XDG_CONFIG_HOME='" + folder.file("config")
                                + "' VAULTLINE_DB_PASSWORD='" + password + "' '" + cliProgramPath() + "' " + arguments
                                + " <in.txt >'" + outputPath + "' 2>err.txt";
    CliRun result;
    const int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (outputPath == "out.txt")
        result.output = readWholeFile(folder.file("out.txt"));
    result.errors = readWholeFile(folder.file("err.txt"));
    return result;
}

// One running vaultlinectl: standard output and error go to files in the folder.
class CliProcess {
public:
    CliProcess(const TemporaryFolder& folder, const std::vector<std::string>& arguments,
               const std::string& name = "cli")
        : m_output(folder.file(name + ".out")), m_errors(folder.file(name + ".err"))
    {
        // Everything is prepared before the fork: the child of a threaded process only calls
        // what is safe there.
        const std::string program = cliProgramPath();
        const std::string folderPath = folder.path();
        std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + folder.file("config")};
        for (char** variable = environ; *variable != nullptr; ++variable)
            if (std::string(*variable).rfind("XDG_CONFIG_HOME=", 0) != 0)
                environment.emplace_back(*variable);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            const int out = open(m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = open(m_errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (chdir(folderPath.c_str()) != 0 || out < 0 || err < 0)
                _exit(126);
            dup2(out, 1);
            dup2(err, 2);
            execve(program.c_str(), argv.data(), envp.data());
            _exit(127);
        }
    }
    ~CliProcess()
    {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return m_pid; }
    std::string output() const { return readWholeFile(m_output); }
    std::string errors() const { return readWholeFile(m_errors); }

    // Waits (bounded) until the text occurs `count` times in a file the process writes.
    static bool waitForText(const std::string& path, const std::string& text, std::size_t count,
                            std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const std::string written = readWholeFile(path);
            std::size_t seen = 0;
            for (std::size_t at = written.find(text); at != std::string::npos; at = written.find(text, at + 1))
                ++seen;
            if (seen >= count)
                return true;
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    bool waitForOutput(const std::string& text, std::size_t count, std::chrono::milliseconds limit) const
    {
        return waitForText(m_output, text, count, limit);
    }

    // Waits (bounded) for the process to end; its exit status, or -1 (still running or killed).
    int waitForExit(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_ended = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (std::chrono::steady_clock::now() > deadline)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    // The most resident memory the process has had, in kB (0 when it cannot be read).
    long peakResidentKilobytes() const
    {
        std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("VmHWM:", 0) == 0)
                return std::stol(line.substr(6));
        return 0;
    }

private:
    std::string m_output;
    std::string m_errors;
    pid_t m_pid = -1;
    bool m_ended = false;
};
