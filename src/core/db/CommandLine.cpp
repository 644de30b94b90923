#include "CommandLine.h"

#include "DbTexts.h"
#include "app/DebugLog.h"
#include "app/SystemError.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

void runCommandLine(int /*showWindow*/, const std::string& commandLine, int waitMode)
{
    std::vector<std::string> words;
    std::istringstream in(commandLine);
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.empty()) {
        WriteDebugLine("createProcess failed (" + std::to_string(EINVAL) + ")");
        return;
    }
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    int error = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        WriteDebugLine("createProcess failed (" + std::to_string(error) + ")");
        pid = 0;
    }
    // A process here has one id for itself and its first thread.
    const std::string id = std::to_string(pid);
    WriteDebugLine("1. Handle to the newly created process - " + id + " ");
    WriteDebugLine("2. Handle to the primary thread of the newly created process. - " + id + " ");
    WriteDebugLine("3. Value that can be used to identify a process. - " + id + " ");
    WriteDebugLine("4. Value that can be used to identify a thread - " + id + " ");
    if (pid == 0)
        return;

    int status = 0;
    if (waitMode == -1) {
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(10000);
    while (std::chrono::steady_clock::now() < deadline) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Still running after the limit: it is left to run, but reaped when it ends so that it
    // does not stay behind as a zombie.
    std::thread([pid] {
        int ignored = 0;
        waitpid(pid, &ignored, 0);
    }).detach();
}

bool commandOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr)
        return false;
    std::istringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, ':');) {
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

namespace {
const std::string Tool = db_texts::NimbusTool;
void run(const std::string& line)
{
    runCommandLine(HiddenWindow, line, -1);
}
} // namespace

void uncatalogNimbus(const std::string& /*ipAddress*/, const std::string& /*ipPort*/, const std::string& nodeName,
                     const std::string& databaseName)
{
    run(Tool + " /w /i /c nimbus uncatalog database " + databaseName);
    run(Tool + " /c /w /i nimbus uncatalog node " + nodeName);
    run(Tool + " /w /i /c nimbus terminate");
    run(Tool + " /w /i /c nimbus stop database manager");
    run(Tool + " /w /i /c nimbus start database manager");
}

void catalogNode(const std::string& ipAddress, const std::string& ipPort, const std::string& nodeName)
{
    run(Tool + " /c /w /i nimbus catalog tcpip node " + nodeName + " remote " + ipAddress + " server " + ipPort);
}

void catalogDatabase(const std::string& nodeName, const std::string& databaseName)
{
    run(Tool + " /w /i /c nimbus catalog db " + databaseName + " at node " + nodeName + " authentication server");
    run(Tool + " /w /i /c nimbus catalog system odbc data source " + databaseName);
}

void runNimbusCatalogSequence(const std::string& databaseName, const std::string& nodeName,
                              const std::string& ipAddress, const std::string& ipPort)
{
    if (!commandOnPath(Tool)) {
        WriteDebugLine(Tool + " is not installed on this machine: the database was not catalogued");
        return;
    }
    uncatalogNimbus(ipAddress, ipPort, nodeName, databaseName);
    catalogNode(ipAddress, ipPort, nodeName);
    catalogDatabase(nodeName, databaseName);
}
