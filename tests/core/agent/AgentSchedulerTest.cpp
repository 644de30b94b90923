// The agent's scheduler tick and settings texts, on an injected clock in local time.

#include "ScopedApp.h"
#include "agent/AgentReports.h"
#include "agent/AgentRuns.h"
#include "agent/AgentScheduler.h"
#include "agent/AgentSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <set>

namespace {
// 7 December 2026 is a Monday.
AgentSettings mondayAt(int hour, int minute, int second)
{
    AgentSettings settings;
    settings.enabled = true;
    settings.weekdays[0] = true;
    settings.startHour = hour;
    settings.startMinute = minute;
    settings.startSecond = second;
    return settings;
}

// Ticks once a second from..to; the times at which a run started.
std::vector<std::time_t> runsBetween(std::time_t from, std::time_t to, const AgentSettings& settings,
                                     AgentSchedulerState& state, bool connected = true)
{
    std::vector<std::time_t> runs;
    for (std::time_t now = from; now <= to; ++now)
        if (agentTick(now, settings, state, connected))
            runs.push_back(now);
    return runs;
}

TEST(AgentScheduler, RunsOnceOnTheChosenWeekdayAtOrAfterTheStartTime)
{
    const AgentSettings settings = mondayAt(8, 0, 0);
    // Confirmed on Monday at 09:00: the first tick runs.
    const std::time_t confirmed = localTime(2026, 12, 7, 9, 0, 0);
    AgentSchedulerState state = agentSchedulerStart(confirmed - 3600);
    agentConfirmed(state);
    EXPECT_TRUE(agentTick(confirmed + 1, settings, state, true));
    // Not again that day, nor on Tuesday to Sunday, then next Monday at 08:00 sharp.
    const auto runs = runsBetween(confirmed + 2, localTime(2026, 12, 14, 12, 0, 0), settings, state);
    EXPECT_EQ(runs, std::vector<std::time_t>{localTime(2026, 12, 14, 8, 0, 0)});
}

TEST(AgentScheduler, ConfirmingAgainRunsAgainTheSameDay)
{
    const AgentSettings settings = mondayAt(8, 0, 0);
    AgentSchedulerState state = agentSchedulerStart(localTime(2026, 12, 7, 7, 0, 0));
    EXPECT_TRUE(agentTick(localTime(2026, 12, 7, 9, 0, 0), settings, state, true));
    agentConfirmed(state);
    EXPECT_TRUE(agentTick(localTime(2026, 12, 7, 9, 5, 0), settings, state, true));
    EXPECT_FALSE(agentTick(localTime(2026, 12, 7, 9, 5, 1), settings, state, true));

    // Disabled: nothing, whatever the day and time.
    AgentSettings disabled = settings;
    disabled.enabled = false;
    agentConfirmed(state);
    EXPECT_FALSE(agentTick(localTime(2026, 12, 7, 9, 6, 0), disabled, state, true));
}

TEST(AgentScheduler, LastSecondOfTheDayAndALateConnection)
{
    const AgentSettings settings = mondayAt(23, 59, 59);
    AgentSchedulerState state = agentSchedulerStart(localTime(2026, 12, 7, 0, 0, 0));
    EXPECT_EQ(runsBetween(localTime(2026, 12, 7, 23, 59, 0), localTime(2026, 12, 8, 0, 0, 30), settings, state),
              std::vector<std::time_t>{localTime(2026, 12, 7, 23, 59, 59)});

    // Connected only after midnight: that Monday's run is lost.
    state = agentSchedulerStart(localTime(2026, 12, 14, 0, 0, 0));
    EXPECT_FALSE(agentTick(localTime(2026, 12, 14, 23, 59, 59), settings, state, false));
    EXPECT_TRUE(
        runsBetween(localTime(2026, 12, 15, 0, 0, 0), localTime(2026, 12, 15, 0, 1, 0), settings, state).empty());

    // Not connected at 08:00: the run waits for the connection, the same day.
    const AgentSettings morning = mondayAt(8, 0, 0);
    state = agentSchedulerStart(localTime(2026, 12, 21, 0, 0, 0));
    EXPECT_TRUE(runsBetween(localTime(2026, 12, 21, 8, 0, 0), localTime(2026, 12, 21, 8, 10, 0), morning, state, false)
                    .empty());
    EXPECT_TRUE(agentTick(localTime(2026, 12, 21, 8, 10, 1), morning, state, true));
    EXPECT_FALSE(agentTick(localTime(2026, 12, 21, 8, 10, 2), morning, state, true));
}

TEST(AgentSettings, AddressListAndStartDate)
{
    AgentSettings settings;
    settings.ipList = "10.0.0.1,10.0.0.2,";
    EXPECT_EQ(GetAgentIpList(settings), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    settings.ipList = "10.0.0.1,, 10.0.0.2"; // the last address counts without its comma
    EXPECT_EQ(GetAgentIpList(settings), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_TRUE(agentIpListHolds(settings, "10.0.0.2"));
    EXPECT_FALSE(agentIpListHolds(settings, "10.0.0."));

    settings.startDate = "11-30-2026";
    EXPECT_EQ(GetAgentStartDate(settings), "2026-11-30");
    settings.startDate = "2026-11-30";
    EXPECT_EQ(GetAgentStartDate(settings), "");

    // "1 Month" reaches back 30 days, 10 hours, 33 minutes and 36 seconds; only the date stays.
    EXPECT_EQ(agentStartDate(localTime(2026, 12, 31, 10, 33, 35), AgentRange::Month), "11-30-2026");
    EXPECT_EQ(agentStartDate(localTime(2026, 12, 31, 10, 33, 36), AgentRange::Month), "12-01-2026");
    EXPECT_EQ(agentStartDate(localTime(2026, 12, 8, 0, 0, 0), AgentRange::Week), "12-01-2026");
    EXPECT_EQ(parseAgentRange("1 MONTH"), AgentRange::Month);
    EXPECT_FALSE(parseAgentRange("2 Weeks"));
}

// A run mails what each chosen report wrote; a report without a text is neither mailed nor
// logged as mailed. The mail server here refuses connections, so every mail fails.
TEST(AgentRuns, EachChosenReportRunsOnceWithTheRunsPeriod)
{
    ScopedApp app;
    std::mutex mutex;
    std::vector<std::pair<ReportKind, MailReportRequest>> calls;
    AgentRunOptions options;
    options.runner = [&](ReportKind report, const MailReportRequest& request) -> std::optional<std::string> {
        std::lock_guard lock(mutex);
        calls.emplace_back(report, request);
        if (report == ReportKind::DriveHealth)
            return std::nullopt;
        return std::string("text\r\nDone!");
    };
    AgentSettings settings;
    settings.mountRates = settings.driveHealth = settings.encryptionStatus = true;
    settings.ipList = "10.0.0.1,10.0.0.2,";
    settings.startDate = "12-01-2026";
    settings.smtpServer = "127.0.0.1:1";
    settings.recipients = "ops@example.net";
    {
        AgentRuns runs(options);
        EXPECT_EQ(runs.start(settings, localTime(2026, 12, 8, 6, 30, 0)), 3);
        runs.waitUntilDone();
        EXPECT_EQ(runs.running(), 0);
    }
    ASSERT_EQ(calls.size(), 3u);
    std::set<ReportKind> reports;
    for (const auto& [report, request] : calls) {
        reports.insert(report);
        EXPECT_EQ(request.beginDate, "2026-12-01");
        EXPECT_EQ(request.beginDateShown, "12-01-2026");
        EXPECT_EQ(request.endDate, "2026-12-08");
        EXPECT_EQ(request.ipList, (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    }
    EXPECT_EQ(reports, (std::set{ReportKind::MountRates, ReportKind::DriveHealth, ReportKind::EncryptionStatus}));
    const std::string log = app.logText();
    EXPECT_NE(log.find("QMX Auto Reports Failed for Mount Rates"), std::string::npos);
    EXPECT_NE(log.find("QMX Auto Reports Failed for Encryption Status"), std::string::npos);
    EXPECT_EQ(log.find("for Drive Health Statistics"), std::string::npos);
    EXPECT_EQ(log.find("Successful"), std::string::npos);
}
} // namespace

namespace {
// Stopping a run (the program ends) reaches the running report through its request, and the
// mail it then offers is not waited for.
TEST(AgentRuns, StopReachesTheReportAndTheMail)
{
    ScopedApp app;
    std::atomic<bool> reportSawStop{false};
    AgentRunOptions options;
    options.runner = [&](ReportKind, const MailReportRequest& request) -> std::optional<std::string> {
        while (!request.stop->load())
            std::this_thread::yield();
        reportSawStop = true;
        return std::string("partial");
    };
    AgentSettings settings;
    settings.mountRates = true;
    settings.smtpServer = "192.0.2.1"; // never answers: only the stop ends the connect
    settings.recipients = "ops@example.net";
    AgentRuns runs(options);
    ASSERT_EQ(runs.start(settings, std::time(nullptr)), 1);
    runs.stopAndWait();
    EXPECT_TRUE(reportSawStop);
    EXPECT_NE(app.logText().find("QMX Auto Reports Failed for Mount Rates"), std::string::npos) << app.logText();
}
} // namespace
