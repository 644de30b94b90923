#include "AgentCommand.h"

#include "CommandOptions.h"
#include "CommandSettings.h"
#include "MetricsServer.h"
#include "agent/AgentConfig.h"
#include "agent/AgentDatabaseWatch.h"
#include "agent/AgentRuns.h"
#include "agent/AgentService.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "app/TimeFormat.h"
#include "db/qmxDB.h"
#include "metrics/AgentMetrics.h"

#include <pthread.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>

namespace {
// "<stamp> agent: <line>", one whole line per write, from any thread.
void printLine(const std::string& line)
{
    static std::mutex mutex;
    const std::string whole = formatLocalTime(StampFormat, std::time(nullptr)) + " agent: " + line + "\n";
    std::lock_guard lock(mutex);
    std::fwrite(whole.data(), 1, whole.size(), stdout);
    std::fflush(stdout);
}

// "Connected" for the service: the database answers a connection now; a failure is said the
// usual way (the message on standard error, the diagnostics in the debug log).
bool databaseAnswers()
{
    const CQmxApp& app = theApp();
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(app.settings.databaseName, app.settings.userName, app.password, handles, Diagnostics::ShowUser))
        return false;
    db.disconnectDB(handles);
    return true;
}

bool databaseAnswersQuietly()
{
    const CQmxApp& app = theApp();
    return dataSourceAnswers(app.settings.databaseName, app.settings.userName, app.password);
}

constexpr std::streamsize MaxConfigBytes = std::streamsize{64} * 1024;

std::optional<std::string> readConfig(const std::string& path, std::string& why)
{
    // A directory opens as an empty file here, and a pipe would hold the start: neither is read.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        why = "is a directory, not an agent file";
        return std::nullopt;
    }
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
        why = "is not a regular file";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot be read";
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(MaxConfigBytes) + 1, '\0');
    in.read(text.data(), MaxConfigBytes + 1);
    if (in.gcount() > MaxConfigBytes) {
        why = "is larger than 64 KiB";
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}
} // namespace

int agentCommand(const std::vector<std::string>& args)
{
    CommandOptions commandLine({{"config"}, {"metrics-listen", OptionKind::Once, "ADDRESS:PORT"}});
    const bool read = commandLine.parse({args.begin() + 1, args.end()});
    const std::string path = commandLine.value("config").value_or("");
    if (!read || path.empty() || !commandLine.positionals().empty()) {
        if (!read)
            std::cerr << "vaultlinectl agent: " << commandLine.error() << "\n";
        std::cerr << "usage: vaultlinectl agent --config FILE [--metrics-listen ADDRESS:PORT]\n" << AgentCommandUsage;
        return 2;
    }
    const std::optional<std::string> metricsListen = commandLine.value("metrics-listen");
    std::string why;
    const auto text = readConfig(path, why);
    if (!text) {
        std::cerr << "vaultlinectl agent: " << path << " " << why << "\n";
        return 2;
    }
    const auto parsed = parseAgentConfig(*text);
    if (const auto* refusal = std::get_if<std::string>(&parsed)) {
        std::cerr << "vaultlinectl agent: " << path << ": " << *refusal << "\n";
        return 2;
    }
    // Taken below by this thread alone; the report threads inherit the blocked set.
    sigset_t stopSignals = blockStopSignals();

    const RunningCommandSettings commandSettings;

    AgentMetrics metrics;
    std::optional<MetricsServer> metricsServer;
    if (metricsListen) {
        metricsServer.emplace([&metrics] { return metrics.exposition(); });
        std::string reason;
        if (!metricsServer->start(*metricsListen, reason)) {
            std::cerr << "vaultlinectl agent: cannot serve metrics: " << reason << "\n";
            return 1;
        }
        std::cerr << "vaultlinectl agent: metrics at " << metricsServer->url() << "\n";
    }

    int received = 0;
    {
        AgentRunOptions options;
        options.progress = printLine;
        options.finished = [&metrics](ReportKind report, bool mailed) {
            metrics.runEnded(reportKindInfo(report).commandName, mailed);
        };
        AgentRuns runs(options);
        AgentServiceSchedule schedule(std::get<AgentConfig>(parsed), std::time(nullptr));
        // While the database is down it is tried every second, but said only once a minute.
        AgentDatabaseWatch watch({databaseAnswers, databaseAnswersQuietly, [](const std::string& line) {
                                      printLine(line);
                                      WriteDebugLine(line);
                                  }});
        printLine("Agent started with " + path);
        for (;;) {
            // Up to the next whole second, or a stop signal.
            using namespace std::chrono;
            const auto sinceEpoch = system_clock::now().time_since_epoch();
            const auto toNext = seconds(1) - (duration_cast<nanoseconds>(sinceEpoch) % seconds(1));
            const timespec wait{0, static_cast<long>(toNext.count())};
            received = sigtimedwait(&stopSignals, nullptr, &wait);
            if (received > 0)
                break;
            const std::time_t now = std::time(nullptr);
            const AgentServiceSchedule::Tick tick = schedule.tick(now, [&] { return watch.answers(now); });
            if (tick.tellWaiting)
                printLine("The database does not answer; today's run waits for it (see lvr_debug.txt)");
            if (tick.startRun)
                printLine("Run from " + schedule.settings().startDate + " with "
                          + std::to_string(runs.start(schedule.settings(), now)) + " reports");
        }
        printLine(std::string(received == SIGTERM ? "SIGTERM" : "SIGINT") + ", stopping after the running reports");
        if (metricsServer)
            metricsServer->stop();
        runs.stopAndWait();
    }
    return 0;
}
