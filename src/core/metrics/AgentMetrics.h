#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>

// The reports agent's counters and their Prometheus text: each report's runs by outcome and
// when it last ended. Every report the agent knows is shown from the start, at zero.
class AgentMetrics {
public:
    // Seconds since the epoch; the system clock's when empty.
    using Clock = std::function<double()>;

    explicit AgentMetrics(Clock clock = {});

    // A report of a run ended; succeeded: its text was mailed. report: its command name.
    void runEnded(const std::string& report, bool succeeded);
    std::string exposition() const;

private:
    struct ReportState {
        unsigned long long successes = 0;
        unsigned long long failures = 0;
        double lastRun = 0;
    };

    Clock m_clock;
    mutable std::mutex m_mutex;
    std::map<std::string, ReportState> m_reports;
};
