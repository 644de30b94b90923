#include "MonitorCommand.h"

#include "CommandOptions.h"
#include "CommandSettings.h"
#include "MetricsServer.h"
#include "app/CQmxApp.h"
#include "app/TimeFormat.h"
#include "library/MonitorAddressList.h"
#include "library/MonitorEngine.h"
#include "library/MonitorSink.h"
#include "library/MonitorTexts.h"
#include "metrics/MonitorMetrics.h"

#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>

namespace {
// Standard output, one whole line per write: "<stamp> <library>: <text>". Lines from several
// libraries and threads never interleave, and a stop never leaves half a line behind.
class StandardOutputSink final : public MonitorSink {
public:
    explicit StandardOutputSink(std::string address) : m_address(std::move(address)) {}

    void writeMonitorLine(const std::string& text) override
    {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                print(line);
            start = end + 1;
        }
    }

private:
    void print(const std::string& line)
    {
        const std::string whole =
            formatLocalTime(StampFormat, std::time(nullptr)) + " " + m_address + ": " + line + "\n";
        std::lock_guard lock(outputMutex());
        std::fwrite(whole.data(), 1, whole.size(), stdout);
        std::fflush(stdout);
    }
    static std::mutex& outputMutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    std::string m_address;
};

std::optional<long> milliseconds(const std::string& text)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value <= 0)
        return std::nullopt;
    return value;
}
} // namespace

int monitorCommand(const std::vector<std::string>& args)
{
    CommandOptions parsed({{"all", OptionKind::Switch},
                           {"metrics-listen", OptionKind::Once, "ADDRESS:PORT"},
                           {"retry-period", OptionKind::Once, "a number of milliseconds"},
                           {"mount-history-period", OptionKind::Once, "a number of milliseconds"},
                           {"library-performance-period", OptionKind::Once, "a number of milliseconds"}});
    if (!parsed.parse({args.begin() + 1, args.end()})) {
        std::cerr << "vaultlinectl monitor: " << parsed.error() << "\n" << MonitorCommandUsage;
        return 2;
    }
    const bool all = parsed.has("all");
    const std::optional<std::string> metricsListen = parsed.value("metrics-listen");
    MonitorPeriods periods;
    for (auto [name, period] : {std::pair{"retry-period", &periods.retry},
                                {"mount-history-period", &periods.mountHistory},
                                {"library-performance-period", &periods.libraryPerformance}}) {
        const auto given = parsed.value(name);
        if (!given)
            continue;
        const auto value = milliseconds(*given);
        if (!value) {
            std::cerr << "vaultlinectl monitor: --" << name << " needs a number of milliseconds\n";
            return 2;
        }
        *period = std::chrono::milliseconds(*value);
    }
    std::vector<std::string> addresses;
    for (const std::string& word : parsed.positionals())
        if (const std::string address = cleanLibraryAddress(word); !address.empty()) {
            // Every row carries the address: one the tables cannot hold is refused before any work.
            if (const std::string problem = libraryAddressProblem(address); !problem.empty()) {
                std::cerr << "vaultlinectl monitor: " << problem << "\n";
                return 2;
            }
            addresses.push_back(address);
        }
    if (all == !addresses.empty()) {
        std::cerr << "usage: vaultlinectl monitor ADDRESS... | --all\n" << MonitorCommandUsage;
        return 2;
    }

    // Taken with sigwait below by this thread alone; the monitor threads inherit the blocked set.
    sigset_t stopSignals = blockStopSignals();

    const RunningCommandSettings commandSettings;

    std::vector<MonitorStart> starts;
    if (all) {
        const auto list = setupIPCombo();
        if (!list) {
            std::cerr << "vaultlinectl monitor: the libraries of \"" << theApp().settings.mountHistoryTableName
                      << "\" cannot be read: see " << theApp().debugLog().path() << "\n";
            return 1;
        }
        starts = monitorStarts(monitor_texts::AllLibraries, *list);
        // A store that does not enforce the column's width may hold a longer name from before.
        std::erase_if(starts, [](const MonitorStart& start) {
            const std::string problem = libraryAddressProblem(start.address);
            if (!problem.empty())
                std::cerr << "vaultlinectl monitor: not monitored: " << problem << "\n";
            return !problem.empty();
        });
        if (starts.empty()) {
            std::cerr << "vaultlinectl monitor: no library is stored yet; name one\n";
            return 1;
        }
    } else {
        for (const std::string& address : addresses)
            starts.push_back(MonitorStart{address, std::chrono::milliseconds{0}});
    }

    // Declared before the engines, which report to it until they are gone.
    MonitorMetrics metrics;
    std::optional<MetricsServer> metricsServer;
    if (metricsListen) {
        for (const MonitorStart& start : starts)
            metrics.addLibrary(start.address);
        metricsServer.emplace([&metrics] { return metrics.exposition(); });
        std::string why;
        if (!metricsServer->start(*metricsListen, why)) {
            std::cerr << "vaultlinectl monitor: cannot serve metrics: " << why << "\n";
            return 1;
        }
        std::cerr << "vaultlinectl monitor: metrics at " << metricsServer->url() << "\n";
    }

    std::vector<std::unique_ptr<StandardOutputSink>> sinks;
    std::vector<std::unique_ptr<MonitorEngine>> engines;
    for (const MonitorStart& start : starts) {
        MonitorOptions options;
        options.periods = periods;
        options.startOffset = start.startOffset;
        if (metricsServer)
            options.observer = &metrics;
        sinks.push_back(std::make_unique<StandardOutputSink>(start.address));
        engines.push_back(std::make_unique<MonitorEngine>(start.address, *sinks.back(), std::move(options)));
        engines.back()->start();
    }

    int received = 0;
    sigwait(&stopSignals, &received);
    std::cerr << "vaultlinectl monitor: " << (received == SIGTERM ? "SIGTERM" : "SIGINT")
              << ", stopping after the current line\n";
    for (auto& engine : engines)
        engine->requestStop();
    if (metricsServer)
        metricsServer->stop();
    for (auto& engine : engines)
        engine->join();
    engines.clear();
    return 0;
}
