#pragma once

#include "AgentSettings.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

// What the agent's dialog shows and what OK decides; the window only moves values between
// its controls and these.
struct AgentDialogEntry {
    AgentSettings fields;                      // every field but ipList and startDate
    std::vector<std::string> checkedAddresses; // in list order
    std::string rangeText;                     // the Range list's text ("" when none is chosen)
};

struct AgentDialogOutcome {
    std::optional<std::string> refusal; // the message shown; the dialog stays open
    AgentSettings settings;             // what OK stores
    std::string startDateMessage;       // "New calculated start date: ..."
};

// OK at now: the checks in order (an address, a range, a usable server port), then the new
// settings with the start date reaching back the range from now.
AgentDialogOutcome confirmAgentDialog(const AgentDialogEntry& entry, std::time_t now);

// The library addresses of the mount history table, in order; nothing when they cannot be
// read (logged with the statement).
std::optional<std::vector<std::string>> agentLibraryAddresses();
