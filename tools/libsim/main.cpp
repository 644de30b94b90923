// vaultline-libsim: a simulated tape library that serves its log files on the loopback
// address, for tests and demonstrations of the monitor, the import and the reports.
#include "LibraryFileServer.h"
#include "LibraryFiles.h"
#include "SimulatorCommandLine.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <thread>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopSignal = 0;
std::atomic<bool> inputEnded{false};

void onStopSignal(int)
{
    stopSignal = 1;
}

// The library's clock reads local time without a zone.
libsim::LibraryMinute localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return libsim::fromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min});
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    libsim::SimulatorCommandLine command;
    std::string error;
    if (!libsim::parseSimulatorCommandLine(arguments, command, error)) {
        std::fprintf(stderr, "vaultline-libsim: %s\n(--help lists the options)\n", error.c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(libsim::simulatorUsage().c_str(), stdout);
        return 0;
    }
    if (!command.endGiven) {
        command.library.end = localNow();
        error = command.library.validate();
        if (!error.empty()) {
            std::fprintf(stderr, "vaultline-libsim: %s\n", error.c_str());
            return 2;
        }
    }

    if (!command.writeFolder.empty()) {
        const libsim::LibrarySimulation simulation(command.library);
        if (!libsim::writeLibraryFiles(command.writeFolder, simulation, command.faults.configuration(), error)) {
            std::fprintf(stderr, "vaultline-libsim: %s\n", error.c_str());
            return 1;
        }
        std::printf("wrote %zu mounts and %zu performance intervals to %s\n", simulation.mounts().size(),
                    simulation.intervals().size(), command.writeFolder.c_str());
        return 0;
    }

    libsim::ServerOptions options;
    options.port = command.port;
    options.speed = command.speed;
    options.faults = command.faults;
    options.refuseAtStart = std::chrono::seconds(command.refuseSeconds);
    options.maxStall = std::chrono::seconds(command.maxStallSeconds);
    libsim::LibraryFileServer server(command.library, options);
    if (!server.start(&error)) {
        std::fprintf(stderr, "vaultline-libsim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    // Tests read this first line to learn the port.
    std::printf("listening %s\n", server.address().c_str());
    std::printf("library time %s, %s\n", libsim::formatLibraryTime(server.libraryTime()).c_str(),
                command.speed > 0 ? "live" : "standing still");
    std::fflush(stdout);
    if (command.stopAtEndOfInput) {
        // Detached: a read cannot be interrupted portably, and the process ends right after.
        std::thread([] {
            char buffer[256];
            ssize_t count = 0;
            while ((count = read(STDIN_FILENO, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
            }
            inputEnded = true;
        }).detach();
    }
    while (stopSignal == 0 && !inputEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    server.stop();
    return 0;
}
