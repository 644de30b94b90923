// The agent service's configuration file.

#include "ScopedApp.h"
#include "agent/AgentConfig.h"
#include "agent/AgentDatabaseWatch.h"
#include "agent/AgentReports.h"
#include "agent/AgentService.h"
#include "agent/AgentTexts.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
const std::string Good = "; the site's agent\n"
                         "[Other]\nKey=ignored\n"
                         "[Agent]\r\n"
                         "Reports=mount-rates, cartridge-statistics\r\n"
                         "Weekdays=mon,Friday,sun\n"
                         "StartTime=06:30:05\n"
                         "Range=1 week\n"
                         "Libraries=10.20.1.15, 10.20.1.16\n"
                         "SmtpServer=mail.example.net:2525\n"
                         "Recipients=ops@example.net,backup@example.net\n";

TEST(AgentConfig, ReadsEveryField)
{
    const auto parsed = parseAgentConfig(Good);
    ASSERT_TRUE(std::holds_alternative<AgentConfig>(parsed)) << std::get<std::string>(parsed);
    const AgentConfig& config = std::get<AgentConfig>(parsed);
    const AgentSettings& settings = config.settings;
    EXPECT_TRUE(settings.enabled);
    EXPECT_TRUE(settings.mountRates && settings.driveStatistics);
    EXPECT_FALSE(settings.driveHealth || settings.cartridgeHealth || settings.encryptionStatus);
    EXPECT_EQ(settings.weekdays, (std::array<bool, 7>{true, false, false, false, true, false, true}));
    EXPECT_EQ(settings.startHour * 10000 + settings.startMinute * 100 + settings.startSecond, 63005);
    EXPECT_EQ(config.range, AgentRange::Week);
    EXPECT_EQ(settings.ipList, "10.20.1.15,10.20.1.16,");
    EXPECT_EQ(settings.smtpServer, "mail.example.net:2525");
    EXPECT_EQ(agentSender(settings), DefaultAgentSender);

    const auto withSender = parseAgentConfig(Good + "Sender=reports@example.net\n");
    EXPECT_EQ(agentSender(std::get<AgentConfig>(withSender).settings), "reports@example.net");
}

// A bad file is refused with the key that is wrong.
TEST(AgentConfig, RefusalNamesTheKey)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Reports=mount-rates,drive-stats", "[Agent] Reports: unknown report \"drive-stats\""},
        {"Weekdays=mon,funday", "[Agent] Weekdays: unknown day \"funday\""},
        {"StartTime=6:30", "[Agent] StartTime:"},
        {"StartTime=24:00:00", "[Agent] StartTime:"},
        {"Range=2 Weeks", "[Agent] Range:"},
        {"SmtpServer=mail:99999", "[Agent] SmtpServer:"},
        {"Recipients=,", "[Agent] Recipients: missing"},
        {"Libraries=", "[Agent] Libraries: missing"},
        {"Colour=blue", "[Agent] Colour: unknown key"},
        {"StartTime=+6:-0:00", "[Agent] StartTime:"},
        {"StartTime= 6:30:00x", "[Agent] StartTime:"},
        {"Recipients=ops@example.net\rRCPT TO: <x@y>", "[Agent] Recipients: holds a control character"},
        {"Sender=agent@x\rMAIL FROM: <y>", "[Agent] Sender: holds a control character"},
    };
    for (const auto& [line, expected] : cases) {
        const std::string key = line.substr(0, line.find('='));
        std::string text;
        // The good file with this one key replaced (or added).
        std::stringstream in(Good);
        std::string original;
        bool replaced = false;
        while (std::getline(in, original)) {
            if (original.starts_with(key + "=")) {
                text += line + "\n";
                replaced = true;
            } else {
                text += original + "\n";
            }
        }
        if (!replaced)
            text += line + "\n";
        const auto parsed = parseAgentConfig(text);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << line;
        EXPECT_TRUE(std::get<std::string>(parsed).starts_with(expected)) << std::get<std::string>(parsed);
    }
    const auto missing = parseAgentConfig("[Agent]\nReports=mount-rates\n");
    EXPECT_EQ(std::get<std::string>(missing), "[Agent] Weekdays: missing");
    // An editor's byte-order mark in front of the first line is no part of it.
    const auto marked = parseAgentConfig("\xEF\xBB\xBF[Agent]\n" + Good.substr(Good.find("Reports=")));
    EXPECT_TRUE(std::holds_alternative<AgentConfig>(marked)) << std::get<std::string>(marked);
}
} // namespace

namespace {
// The service asks the database only when a run is due, says once a day that the run waits
// for it, runs when it answers, and reports the range back from each run's own day.
TEST(AgentService, WaitsForTheDatabaseAndRollsThePeriod)
{
    AgentConfig config = std::get<AgentConfig>(parseAgentConfig(Good));     // mon, fri, sun at 06:30:05, 1 week
    AgentServiceSchedule schedule(config, localTime(2026, 12, 7, 0, 0, 0)); // a Monday
    int asked = 0;
    bool answers = false;
    const auto database = [&] {
        ++asked;
        return answers;
    };
    EXPECT_FALSE(schedule.tick(localTime(2026, 12, 7, 6, 30, 4), database).startRun);
    EXPECT_EQ(asked, 0);

    int told = 0;
    for (std::time_t now = localTime(2026, 12, 7, 6, 30, 5); now < localTime(2026, 12, 7, 6, 35, 0); ++now) {
        const auto tick = schedule.tick(now, database);
        EXPECT_FALSE(tick.startRun);
        told += tick.tellWaiting ? 1 : 0;
    }
    EXPECT_EQ(told, 1);
    EXPECT_EQ(asked, 295);
    answers = true;
    EXPECT_TRUE(schedule.tick(localTime(2026, 12, 7, 6, 35, 0), database).startRun);
    EXPECT_EQ(schedule.settings().startDate, "11-30-2026");
    EXPECT_FALSE(schedule.tick(localTime(2026, 12, 7, 6, 35, 1), database).startRun);

    // Friday's run covers the week back from Friday.
    EXPECT_TRUE(schedule.tick(localTime(2026, 12, 11, 6, 30, 5), database).startRun);
    EXPECT_EQ(schedule.settings().startDate, "12-04-2026");
}
} // namespace

namespace {
// A five-minute outage asked every second: the full account at its start and once a minute,
// quiet tries in between, one line when the database answers again, and the next outage is
// said at once.
TEST(AgentService, OutageIsSaidOnceAMinute)
{
    int full = 0;
    int quiet = 0;
    bool up = false;
    std::vector<std::string> told;
    AgentDatabaseWatch watch({[&] { return ++full, up; }, [&] { return ++quiet, up; },
                              [&](const std::string& line) { told.push_back(line); }});
    const std::time_t start = localTime(2026, 12, 7, 6, 30, 5);
    for (std::time_t now = start; now < start + 290; ++now)
        EXPECT_FALSE(watch.answers(now));
    EXPECT_EQ(full, 5);
    EXPECT_EQ(quiet, 285);
    EXPECT_TRUE(told.empty());
    up = true;
    EXPECT_TRUE(watch.answers(start + 290)); // a quiet try finds it back
    EXPECT_EQ(quiet, 286);
    EXPECT_EQ(told, std::vector<std::string>{agent_texts::DatabaseAnswersAgain});
    EXPECT_TRUE(watch.answers(start + 291));
    EXPECT_EQ(full, 6); // quiet tries only during an outage
    up = false;
    EXPECT_FALSE(watch.answers(start + 292));
    EXPECT_EQ(full, 7);
    EXPECT_EQ(told.size(), 1u);
}
} // namespace
