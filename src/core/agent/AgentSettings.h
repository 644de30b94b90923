#pragma once

#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// What the auto reports agent runs, when, on which libraries and to whom it mails. Held by
// the application object for the life of the process only, and touched on the window's
// thread only: a run works on a copy taken when it starts.
struct AgentSettings {
    bool enabled = false;
    bool mountRates = false;
    bool driveHealth = false;
    bool driveStatistics = false; // the cartridge statistics report
    bool encryptionStatus = false;
    bool cartridgeHealth = false;
    bool libraryOverview = false;
    std::array<bool, 7> weekdays{}; // Monday first
    int startHour = 0;
    int startMinute = 0;
    int startSecond = 0;
    std::string smtpServer; // "host" or "host:port"
    std::string recipients; // addresses separated by commas, as typed
    std::string ipList;     // library addresses, each followed by ","
    std::string startDate;  // first day reported, "%m-%d-%Y"
    std::string sender;     // the From address; empty for the agent's own
};

// The library addresses of ipList in order, blanks around each removed; empty pieces are
// skipped and the last address counts with or without its comma.
std::vector<std::string> GetAgentIpList(const AgentSettings& settings);
// startDate as "%Y-%m-%d"; empty when startDate is not "mm-dd-yyyy".
std::string GetAgentStartDate(const AgentSettings& settings);

// The dialog's "Range" choices and how far back each reaches.
enum class AgentRange { Day, Week, Month };
inline constexpr const char* AgentRangeTexts[] = {"1 Day", "1 Week", "1 Month"};
long agentRangeSeconds(AgentRange range);
// One of the range texts, compared without regard to case.
std::optional<AgentRange> parseAgentRange(const std::string& text);
// The start date for a range reaching back from now: "%m-%d-%Y" in local time; the time of
// day is dropped.
std::string agentStartDate(std::time_t now, AgentRange range);

// The checked addresses, each followed by "," (the form ipList keeps).
std::string agentIpListText(const std::vector<std::string>& checkedAddresses);
// Whether an address of the list is in ipList, without regard to case.
bool agentIpListHolds(const AgentSettings& settings, const std::string& address);

// The mail sender: the site's own or the agent's fixed one.
std::string agentSender(const AgentSettings& settings);
