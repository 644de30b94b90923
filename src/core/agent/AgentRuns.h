#pragma once

#include "AgentReports.h"
#include "SendMail.h"

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct AgentRunOptions {
    MailReportRunner runner = runMailReport;
    SmtpLimits limits;
    // Told of each report's start and end ("started", the success or failure line); called
    // on the report's thread.
    std::function<void(const std::string&)> progress;
    // Told of each report's outcome as it ends (mailed or not); called on the report's thread.
    std::function<void(ReportKind, bool mailed)> finished;
};

// The report threads of agent runs. Each run starts one thread per chosen report, in order,
// side by side; each mails its text and logs the outcome. Going away stops and waits for them.
class AgentRuns {
public:
    explicit AgentRuns(AgentRunOptions options = {});
    ~AgentRuns();
    AgentRuns(const AgentRuns&) = delete;
    AgentRuns& operator=(const AgentRuns&) = delete;

    // Starts a run on a copy of the settings: the period from their start date to now's day.
    // Returns how many reports it started.
    int start(const AgentSettings& settings, std::time_t now);

    // Reports still running.
    int running() const;
    // Waits until every report started so far has ended (and mailed).
    void waitUntilDone();
    // Asks the running reports to stop at their next step, then waits for them.
    void stopAndWait();

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void runOne(ReportKind report, const AgentSettings& settings, const MailReportRequest& request);
    void tell(const std::string& line) const;

    AgentRunOptions m_options;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Worker> m_workers;
};

// The request of a run started at now.
MailReportRequest agentRunRequest(const AgentSettings& settings, std::time_t now, const std::atomic<bool>* stop);
